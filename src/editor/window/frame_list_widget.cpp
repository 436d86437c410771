#include "editor/window/frame_list_widget.h"

#include "editor/window/mdi_child.h"
#include "gif/model/image.h"

#include "editor/document/thumbnail_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <algorithm>

namespace editor {

namespace {

constexpr int SizeRole = Qt::UserRole + 1;

// Each item: its number at the top left, the thumbnail centred, "height x width" below.
class TFrameItemDelegate : public QStyledItemDelegate {
  public:
    explicit TFrameItemDelegate(TFrameListWidget& list) : QStyledItemDelegate(&list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        // Shrunk by 3 pixels, its right edge at FrameSize + 20 whatever the list's width.
        QRect item = option.rect.adjusted(3, 3, -3, -3);
        item.setRight(option.rect.left() + list_.FrameSize() + 20);
        const QPalette& palette = option.palette;
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->fillRect(item, palette.base());
        painter->setPen(palette.mid().color());
        painter->drawRect(item.adjusted(0, 0, -1, -1));
        const int text = option.fontMetrics.height() + 3;
        const QRect top(item.left() + 3, item.top() + 3, item.width() - 6, text);
        const QRect bottom(item.left() + 3, item.bottom() - 2 - text, item.width() - 6, text);
        if (selected) painter->fillRect(bottom, palette.highlight());
        const QPixmap thumb = index.data(Qt::DecorationRole).value<QPixmap>();
        if (!thumb.isNull()) {
            const QRect area(item.left(), top.bottom() + 1, item.width(),
                             bottom.top() - top.bottom() - 1);
            QRect place(QPoint(0, 0), thumb.size());
            place.moveCenter(area.center());
            painter->drawPixmap(place, thumb);
            painter->setPen(selected ? palette.highlight().color() : palette.mid().color());
            painter->drawRect(place.adjusted(-1, -1, 0, 0));
            if (selected) painter->drawRect(place.adjusted(-3, -3, 2, 2));
        }
        painter->setPen(palette.text().color());
        painter->drawText(top, Qt::AlignLeft | Qt::AlignVCenter, QString::number(index.row()));
        painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
        painter->drawText(bottom, Qt::AlignCenter, index.data(SizeRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {list_.FrameSize() + 26, list_.FrameSize() + 65};
    }

  private:
    TFrameListWidget& list_;
};

} // namespace

TFrameListWidget::TFrameListWidget(QWidget* parent) : QListWidget(parent) {
    setObjectName("lbFrames");
    setItemDelegate(new TFrameItemDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    // Always a copy: after a move the view would delete the dragged item itself, and the
    // frame commands keep the list in step with the animation.
    setDefaultDropAction(Qt::CopyAction);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!selecting_ && row >= 0) ShowFrame(row);
    });
}

QStringList TFrameListWidget::mimeTypes() const {
    return {FrameMimeType};
}

QMimeData* TFrameListWidget::mimeData(const QList<QListWidgetItem*>&) const {
    auto* data = new QMimeData;
    data->setData(FrameMimeType, QByteArray());
    return data;
}

Qt::DropActions TFrameListWidget::supportedDropActions() const {
    return Qt::CopyAction;
}

// The list's own items and documents' pictures are accepted over an item; the frame
// commands, not the view, then change the list.
int TFrameListWidget::DropTarget(const QDropEvent& event) const {
    if (!event.mimeData()->hasFormat(FrameMimeType)) return -1;
    const QModelIndex target = indexAt(event.position().toPoint());
    if (!target.isValid()) return -1;
    QObject* source = event.source();
    if (source == this) return target.row() == currentRow() ? -1 : target.row();
    return qobject_cast<TPaintBox*>(source) ? target.row() : -1;
}

void TFrameListWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(FrameMimeType) ||
        event->mimeData()->hasFormat(ThumbnailMimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TFrameListWidget::dragMoveEvent(QDragMoveEvent* event) {
    // Thumbnails are taken anywhere over the list.
    if (DropTarget(*event) >= 0 || event->mimeData()->hasFormat(ThumbnailMimeType)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TFrameListWidget::dropEvent(QDropEvent* event) {
    const QString thumbnail = ThumbnailPath(*event->mimeData());
    if (!thumbnail.isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        if (OnThumbnailDropped) OnThumbnailDropped(thumbnail);
        return;
    }
    const int target = DropTarget(*event);
    if (target < 0) {
        event->ignore();
        return;
    }
    const bool own = event->source() == this;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (own) {
        if (OnMoveFrame) OnMoveFrame(currentRow(), target);
    } else if (OnPictureDropped) {
        OnPictureDropped(target);
    }
}

void TFrameListWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QListWidget::mousePressEvent(event);
        return;
    }
    const QModelIndex under = indexAt(event->position().toPoint());
    if (under.isValid()) {
        setCurrentRow(under.row()); // shows the frame
        if (OnContextMenu) OnContextMenu(event->globalPosition().toPoint());
    }
}

void TFrameListWidget::SetFrameSize(int size) {
    frameSize_ = size;
    RefreshThumbnails();
    doItemsLayout();
}

QPixmap TFrameListWidget::Thumbnail(int index) const {
    if (!image_ || index < 0 || index >= image_->FrameCount()) return {};
    const gif::TGIFSubImage& frame = *image_->Frame(index);
    if (frame.IsBlank()) return {};
    const int w = frame.FrameWidth(), h = frame.FrameHeight();
    // Larger pictures shrink so that their longer side is FrameSize; the aspect stays.
    int tw = w, th = h;
    if (w > frameSize_ + 1 || h > frameSize_ + 1) {
        if (w >= h) {
            tw = frameSize_;
            th = std::max(1, int(double(h) * frameSize_ / w + 0.5));
        } else {
            th = frameSize_;
            tw = std::max(1, int(double(w) * frameSize_ / h + 0.5));
        }
    }
    // Sampled straight from the colour indices: no full-size bitmap is made.
    QList<QRgb> colors(256, qRgb(0, 0, 0));
    const auto entries = frame.EffectiveTable().Entries();
    for (size_t i = 0; i < entries.size(); ++i)
        colors[int(i)] = qRgb(entries[i].Red, entries[i].Green, entries[i].Blue);
    const int transparent = frame.TransparentIndex();
    QImage thumb(tw, th, QImage::Format_ARGB32_Premultiplied);
    const uint8_t* pixels = frame.Pixels();
    for (int y = 0; y < th; ++y) {
        auto* row = reinterpret_cast<QRgb*>(thumb.scanLine(y));
        const uint8_t* source = pixels + size_t(int64_t(y) * h / th) * w;
        for (int x = 0; x < tw; ++x) {
            const int value = source[int64_t(x) * w / tw];
            row[x] = value == transparent ? qRgb(255, 255, 255) : colors[value];
        }
    }
    return QPixmap::fromImage(thumb);
}

void TFrameListWidget::RefreshThumbnails() {
    for (int i = 0; i < count(); ++i) {
        item(i)->setData(Qt::DecorationRole, Thumbnail(i));
        if (image_ && i < image_->FrameCount()) {
            const gif::TGIFSubImage& frame = *image_->Frame(i);
            item(i)->setData(SizeRole,
                             QString("%1 x %2").arg(frame.FrameHeight()).arg(frame.FrameWidth()));
        }
    }
}

void TFrameListWidget::InsertItem(int index) {
    auto* created = new QListWidgetItem("Frame");
    created->setData(Qt::DecorationRole, Thumbnail(index));
    if (image_ && index >= 0 && index < image_->FrameCount()) {
        const gif::TGIFSubImage& frame = *image_->Frame(index);
        created->setData(SizeRole,
                         QString("%1 x %2").arg(frame.FrameHeight()).arg(frame.FrameWidth()));
    }
    QSignalBlocker block(this);
    insertItem(std::clamp(index, 0, count()), created);
}

void TFrameListWidget::DeleteItem(int index) {
    QSignalBlocker block(this);
    delete takeItem(index);
}

void TFrameListWidget::MoveItem(int from, int to) {
    if (from < 0 || from >= count()) return;
    QSignalBlocker block(this);
    QListWidgetItem* moved = takeItem(from);
    insertItem(std::clamp(to, 0, count()), moved);
}

void TFrameListWidget::Clear() {
    QSignalBlocker block(this);
    clear();
}

void TFrameListWidget::Select(int index) {
    selecting_ = true;
    setCurrentRow(index);
    selecting_ = false;
    if (QListWidgetItem* selected = item(index)) scrollToItem(selected);
}

void TFrameListWidget::ShowFrame(int index) {
    if (OnShowFrame) OnShowFrame(index);
}

} // namespace editor
