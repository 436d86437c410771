#include "editor/window/player.h"

#include <QPainter>
#include <QPointer>

#include "editor/window/qt_colors.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/model/image.h"
#include "gif/render/painter.h"

namespace editor {

TPlayer::TPlayer(std::shared_ptr<gif::TGIFDispatcher> dispatcher, QWidget* parent)
    : QWidget(parent), dispatcher_(std::move(dispatcher)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TPlayer::~TPlayer() { DropPicture(); }

void TPlayer::SetPicture(std::unique_ptr<gif::TGIFImage> picture) {
    DropPicture();
    picture_ = std::move(picture);
    if (!picture_) return;
    picture_->Dispatcher = dispatcher_;
    picture_->SetDrawOptions(gif::doAsync | gif::doTransparent | gif::doAnimate | gif::doLoop |
                             gif::doDither | gif::doAutoDither);
    // The events run on the UI thread (through the dispatcher); the control may be gone
    // by the time a late one arrives.
    QPointer<TPlayer> self(this);
    picture_->OnAfterFrame = [self](gif::TObject*) {
        if (self) self->update();
    };
    auto progress = [self](gif::TObject* sender) {
        if (self && self->OnProgress) self->OnProgress(sender);
    };
    picture_->OnBeforeFrame = progress;
    picture_->OnPlayEnd = progress;
    update();
}

void TPlayer::StopAllPainters() {
    if (picture_) picture_->StopAllPainters();
}

void TPlayer::DropPicture() {
    if (!picture_) return;
    picture_->StopAllPainters();
    picture_->StopDraw();
    picture_.reset();
    canvas_.reset();
    update();
}

void TPlayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!picture_ || picture_->Empty()) {
        painter.fillRect(rect(), Background);
        return;
    }
    const int w = picture_->Width(), h = picture_->Height();
    if (!canvas_ || canvas_->Width() != w || canvas_->Height() != h) {
        canvas_ = std::make_unique<gif::TBitmap>(w, h, gif::pf24bit);
        canvas_->Canvas().Brush.Color =
            gif::RGB(uint8_t(Background.red()), uint8_t(Background.green()),
                     uint8_t(Background.blue()));
        canvas_->Canvas().FillRect(gif::Rect(0, 0, w, h));
    }
    picture_->Draw(canvas_->Canvas(), gif::Rect(0, 0, w, h));
    painter.fillRect(rect(), Background);
    painter.drawImage(QPoint(0, 0), BitmapImage(*canvas_));
}

} // namespace editor
