#include "editor/window/mdi_child.h"

#include "editor/core/format.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "editor/window/elided_label.h"
#include "editor/window/frame_list_widget.h"
#include "editor/window/qt_colors.h"
#include "gif/graphics/bitmap.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QHBoxLayout>
#include "editor/document/thumbnail_drop.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace editor {

namespace {

constexpr int ScrollMargin = 8;

// The picture with every pixel of `transparent` colour replaced by `fill`.
QImage WithTransparentFilled(const gif::TBitmap& bitmap, gif::TColor transparent, QColor fill) {
    QImage image = BitmapImage(bitmap).convertToFormat(QImage::Format_RGB32);
    const QRgb key =
        qRgb(gif::GetRValue(transparent), gif::GetGValue(transparent), gif::GetBValue(transparent));
    const QRgb with = fill.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF)) row[x] = with;
    }
    return image;
}

} // namespace

TPaintBox::TPaintBox(TMDIChild& child, QWidget* parent) : QWidget(parent), child_(child) {
    setObjectName("pb");
}

void TPaintBox::paintEvent(QPaintEvent*) {
    const TDocument* document = child_.Document();
    if (!document || !document->Shown.Bitmap) return;
    const TShownFrame& shown = document->Shown;
    QPainter painter(this);
    const gif::TBitmap& bitmap = *shown.Bitmap;
    const QRect area(0, 0, bitmap.Width(), bitmap.Height());
    if (shown.DrawTransparent && shown.TransparentColor != gif::clNone) {
        painter.fillRect(area, TransparentFill);
        painter.drawImage(0, 0,
                          WithTransparentFilled(bitmap, shown.TransparentColor, TransparentFill));
    } else {
        painter.drawImage(0, 0, BitmapImage(bitmap));
    }
    QPen dotted(Qt::black, 1, Qt::DotLine);
    painter.setPen(dotted);
    painter.drawPolygon(
        QPolygon({QPoint(0, 0), QPoint(area.width() - 1, 0),
                  QPoint(area.width() - 1, area.height() - 1), QPoint(0, area.height() - 1)}));
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    pressing_ = event->button() == Qt::LeftButton;
    pressed_ = event->position().toPoint();
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (!pressing_ || !(event->buttons() & Qt::LeftButton)) return;
    if ((event->position().toPoint() - pressed_).manhattanLength() < 10) return;
    pressing_ = false;
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setData(FrameMimeType, QByteArray());
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

TMDIChild::TMDIChild(TWorkspace& workspace, TDocument& document, QWidget* parent)
    : QWidget(parent), workspace_(workspace), document_(&document) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    sbFrame_ = new QScrollArea(this);
    sbFrame_->setObjectName("sbFrame");
    sbFrame_->setWidgetResizable(false);
    sbFrame_->setFrameShape(QFrame::NoFrame);
    sbFrame_->viewport()->installEventFilter(this);
    canvas_ = new QWidget;
    canvas_->setAutoFillBackground(true);
    sbFrame_->setWidget(canvas_);
    pnlFrame_ = new QWidget(canvas_);
    pnlFrame_->setObjectName("pnlFrame");
    pnlFrame_->setAutoFillBackground(true);
    pb_ = new TPaintBox(*this, pnlFrame_);
    layout->addWidget(sbFrame_, 1);

    auto* status = new QWidget(this);
    status->setObjectName("StatusBarMDI");
    auto* statusLayout = new QHBoxLayout(status);
    statusLayout->setContentsMargins(4, 2, 4, 2);
    statusLayout->setSpacing(6);
    modifiedIcon_ = new QLabel(status);
    modifiedIcon_->setFixedWidth(20);
    modifiedText_ = new QLabel(status);
    modifiedText_->setFixedWidth(75);
    caption_ = new TElidedLabel(status);
    caption_->setObjectName("lblCaption");
    caption_->setMinimumWidth(50);
    statusLayout->addWidget(modifiedIcon_);
    statusLayout->addWidget(modifiedText_);
    damaged_ = new QLabel(status);
    damaged_->setObjectName("lblDamaged");
    damaged_->setStyleSheet("QLabel { color: #b00000; font-weight: bold; }");
    damaged_->hide();
    statusLayout->addWidget(caption_, 1);
    statusLayout->addWidget(damaged_);
    layout->addWidget(status);

    setWindowTitle(document.FileName());
    Refresh();
}

QString TMDIChild::StatusText() const {
    return caption_->FullText();
}

void TMDIChild::SetStatusText(const QString& text) {
    caption_->SetFullText(text);
}

void TMDIChild::Refresh() {
    if (!document_) return;
    setWindowTitle(document_->FileName());
    const bool modified = document_->Modified();
    modifiedText_->setText(modified ? msg::ModifiedPanel : "");
    modifiedIcon_->setPixmap(
        modified ? style()->standardIcon(QStyle::SP_DialogSaveButton).pixmap(16, 16) : QPixmap());
    const QString hint = modified ? msg::ModifiedHint : "";
    modifiedIcon_->setToolTip(hint);
    modifiedText_->setToolTip(hint);
    caption_->SetFullText(document_->StatusText);
    const bool damaged = document_->DamagedFrames >= 0;
    damaged_->setText(damaged ? Format(msg::DamagedNotice, document_->DamagedFrames) : QString());
    damaged_->setVisible(damaged);
    FitDamagedNotice();
}

void TMDIChild::FitDamagedNotice() {
    const bool damaged = !damaged_->isHidden();
    // Never cut: the frame caption beside it gives way first. The width counts only once
    // the label is polished (its bold face comes from its style sheet).
    damaged_->setMinimumWidth(damaged ? damaged_->sizeHint().width() : 0);
    // The status bar's minimum is otherwise only learnt from a later layout request.
    damaged_->parentWidget()->updateGeometry();
    QWidget* frame = parentWidget();
    const int missing = minimumSizeHint().width() - width();
    if (damaged && frame && isVisible() && missing > 0)
        frame->resize(frame->width() + missing, frame->height());
}

void TMDIChild::ShowFrame() {
    if (!document_) return;
    const TShownFrame& shown = document_->Shown;
    setUpdatesEnabled(false);
    pnlFrame_->resize(shown.ImageWidth, shown.ImageHeight);
    QPalette palette = pnlFrame_->palette();
    palette.setColor(QPalette::Window, ToQColor(shown.Background));
    pnlFrame_->setPalette(palette);
    pb_->setGeometry(shown.Bounds.Left, shown.Bounds.Top, shown.Bounds.Width(),
                     shown.Bounds.Height());
    CentreInScrollBox();
    Refresh();
    setUpdatesEnabled(true);
    pb_->update();
}

void TMDIChild::CentreInScrollBox() {
    const QSize client = sbFrame_->viewport()->size();
    const QSize panel = pnlFrame_->size();
    const int left =
        client.width() < panel.width() ? ScrollMargin : (client.width() - panel.width()) / 2;
    const int top =
        client.height() < panel.height() ? ScrollMargin : (client.height() - panel.height()) / 2;
    canvas_->resize(std::max(client.width(), panel.width() + 2 * ScrollMargin),
                    std::max(client.height(), panel.height() + 2 * ScrollMargin));
    pnlFrame_->move(left, top);
    sbFrame_->horizontalScrollBar()->setValue(0);
    sbFrame_->verticalScrollBar()->setValue(0);
}

bool TMDIChild::event(QEvent* event) {
    if (event->type() == LoadEventType) {
        if (document_) workspace_.LoadDocument(*document_);
        return true;
    }
    return QWidget::event(event);
}

void TMDIChild::closeEvent(QCloseEvent* event) {
    if (document_ && !workspace_.DocumentCloseQuery(*document_)) {
        event->ignore();
        return;
    }
    if (TDocument* closing = document_) {
        document_ = nullptr;
        emit Closing(closing);
        workspace_.DocumentClosed(*closing);
    }
    event->accept();
}

void TMDIChild::dragEnterEvent(QDragEnterEvent* event) {
    workspace_.DropOnMainWindow = false;
    if (document_ && event->mimeData()->hasFormat(ThumbnailMimeType)) {
        event->acceptProposedAction();
        return;
    }
    if (!document_ || !event->mimeData()->hasFormat(FrameMimeType)) return;
    // Another document's picture, or the frame list while it shows another document.
    QObject* source = event->source();
    const bool otherPaintBox = qobject_cast<TPaintBox*>(source) && source != pb_;
    const bool frameList =
        qobject_cast<TFrameListWidget*>(source) && workspace_.ActiveDocument() != document_;
    if (otherPaintBox || frameList) event->acceptProposedAction();
}

void TMDIChild::dropEvent(QDropEvent* event) {
    if (!document_) return;
    event->acceptProposedAction();
    const QString thumbnail = ThumbnailPath(*event->mimeData());
    if (!thumbnail.isEmpty()) {
        DropThumbnail(workspace_, thumbnail, TThumbnailDropTarget::Document, document_);
        return;
    }
    workspace_.Host().StopPlayback(true);
    CopyFrameAcross(workspace_, *document_);
}

bool TMDIChild::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == sbFrame_->viewport()) CentreInScrollBox();
    return QWidget::eventFilter(watched, event);
}

void TMDIChild::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FitDamagedNotice();
}

void TMDIChild::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    CentreInScrollBox();
}

} // namespace editor
