#include "dialogs/palette/frame_preview.h"

#include <QMouseEvent>
#include <QPainter>

namespace dialogs {

TFramePreview::TFramePreview(QWidget* parent) : QWidget(parent) { setObjectName("imgFrame"); }

void TFramePreview::SetPicture(const QImage& picture) {
    picture_ = picture.convertToFormat(QImage::Format_RGB32);
    setFixedSize(sizeHint());
    update();
}

void TFramePreview::SetHiddenColour(QRgb colour, bool hide) {
    hidden_ = colour;
    hide_ = hide;
    update();
}

QSize TFramePreview::sizeHint() const { return picture_.size() + QSize(2, 2); }

void TFramePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QImage shown = picture_;
    if (hide_) {
        const QRgb background = palette().window().color().rgb();
        for (int y = 0; y < shown.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(shown.scanLine(y));
            for (int x = 0; x < shown.width(); ++x)
                if ((row[x] & 0xFFFFFF) == (hidden_ & 0xFFFFFF)) row[x] = background;
        }
    }
    painter.drawImage(1, 1, shown);
    painter.setPen(palette().windowText().color());
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

void TFramePreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    emit Clicked(event->position().toPoint() - QPoint(1, 1));
}

} // namespace dialogs
