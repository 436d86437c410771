#include "dialogs/thumbnails/thumbs_grid.h"

#include "dialogs/thumbnails/thumb_geometry.h"
#include "editor/document/thumbnail_drop.h"

#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>
#include <qdrawutil.h>

namespace dialogs {

namespace {

constexpr int DragDistance = 10;
constexpr int Margin = 2;

} // namespace

TThumbGrid::TThumbGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName("grdThumbs");
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
}

void TThumbGrid::SetThumbSize(int size) {
    thumbSize_ = size;
    UpdateScrollBar();
    viewport()->update();
}

void TThumbGrid::Clear() {
    records_.clear();
    pictures_.clear();
    selected_ = -1;
    pressedOnThumb_ = false;
    UpdateScrollBar();
    viewport()->update();
}

void TThumbGrid::Append(const TThumbRecord& record, const QImage& square) {
    records_.push_back(record);
    pictures_.push_back(QPixmap::fromImage(square));
    UpdateScrollBar();
    // Only the new cell needs painting.
    viewport()->update(CellRect(Count() - 1));
}

void TThumbGrid::SetSelected(int index) {
    const int old = selected_;
    selected_ = (index >= 0 && index < Count()) ? index : -1;
    if (old >= 0) viewport()->update(CellRect(old));
    if (selected_ >= 0) {
        const QRect cell = CellRect(selected_);
        viewport()->update(cell);
        // Keep it in view.
        if (cell.top() < 0)
            verticalScrollBar()->setValue(verticalScrollBar()->value() + cell.top());
        else if (cell.bottom() > viewport()->height())
            verticalScrollBar()->setValue(verticalScrollBar()->value() + cell.bottom() -
                                          viewport()->height() + 1);
    }
}

int TThumbGrid::CellSize() const {
    return ThumbCellSize(fontMetrics().boundingRect("Pq").height(), thumbSize_);
}

int TThumbGrid::Columns() const {
    return ThumbColumns(viewport()->width(), CellSize());
}

int TThumbGrid::Rows() const {
    // An empty grid still shows one (empty) cell.
    return std::max(1, ThumbRows(Count(), Columns()));
}

QRect TThumbGrid::CellRect(int index) const {
    if (index < 0) return {};
    const int cell = CellSize();
    const int columns = Columns();
    return QRect((index % columns) * cell, (index / columns) * cell - verticalScrollBar()->value(),
                 cell, cell);
}

int TThumbGrid::IndexAt(const QPoint& position) const {
    const int cell = CellSize();
    const int y = position.y() + verticalScrollBar()->value();
    if (position.x() < 0 || y < 0) return -1;
    const int column = position.x() / cell;
    const int columns = Columns();
    if (column >= columns) return -1;
    const int index = (y / cell) * columns + column;
    return index < Count() ? index : -1;
}

void TThumbGrid::UpdateScrollBar() {
    const int total = Rows() * CellSize();
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(CellSize() / 3);
    verticalScrollBar()->setRange(0, std::max(0, total - viewport()->height()));
}

void TThumbGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBar();
}

void TThumbGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPalette& pal = palette();
    const int cell = CellSize();
    const int columns = Columns();
    const int first = std::max(0, (event->rect().top() + verticalScrollBar()->value()) / cell);
    const int last = (event->rect().bottom() + verticalScrollBar()->value()) / cell;
    const QFontMetrics metrics = fontMetrics();
    const int textHeight = metrics.boundingRect("Pq").height();
    for (int row = first; row <= last; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int index = row * columns + column;
            if (index >= Count()) return; // cells past the last thumbnail stay empty
            const QRect rect = CellRect(index);
            if (!rect.intersects(event->rect())) continue;
            const QRect inner = rect.adjusted(Margin, Margin, -Margin, -Margin);
            const bool selected = index == selected_;
            painter.fillRect(inner, pal.color(selected ? QPalette::Highlight : QPalette::Button));
            const QPixmap& picture = pictures_[size_t(index)];
            const QRect square((rect.width() - thumbSize_) / 2 + rect.left(), rect.top() + 6,
                               thumbSize_, thumbSize_);
            qDrawShadePanel(&painter, square.adjusted(-2, -2, 2, 2), pal, false, 2);
            painter.drawPixmap(square.topLeft(), picture);
            painter.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::ButtonText));
            const TThumbRecord& record = records_[size_t(index)];
            const QRect sizeLine(inner.left(), square.bottom() + 3, inner.width(), textHeight);
            painter.drawText(sizeLine, Qt::AlignHCenter | Qt::AlignTop,
                             QString("%1 x %2").arg(record.Width).arg(record.Height));
            const QRect nameLine(inner.left() + 2, inner.bottom() - textHeight, inner.width() - 4,
                                 textHeight);
            painter.drawText(nameLine, Qt::AlignHCenter | Qt::AlignBottom,
                             metrics.elidedText(record.Name, Qt::ElideRight, nameLine.width()));
        }
    }
}

void TThumbGrid::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const int index = IndexAt(event->position().toPoint());
    pressedOnThumb_ = index >= 0;
    dragArmed_ = false;
    if (index >= 0) {
        SetSelected(index);
        emit Chosen(index);
        if (event->button() == Qt::LeftButton) {
            dragArmed_ = true;
            pressAt_ = event->position().toPoint();
        }
    }
    event->accept();
}

void TThumbGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!dragArmed_ || !(event->buttons() & Qt::LeftButton)) return;
    if ((event->position().toPoint() - pressAt_).manhattanLength() < DragDistance) return;
    dragArmed_ = false;
    StartDrag();
}

void TThumbGrid::StartDrag() {
    if (selected_ < 0 || !PathOf) return;
    const QString path = PathOf(selected_);
    if (path.isEmpty()) return;
    auto* data = new QMimeData;
    data->setData(editor::ThumbnailMimeType, path.toUtf8());
    // Other programs (a file manager, another editor) take the file itself.
    data->setUrls({QUrl::fromLocalFile(path)});
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const QPixmap& picture = pictures_[size_t(selected_)];
    drag->setPixmap(picture.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    drag->exec(Qt::CopyAction);
}

void TThumbGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (Count() > 0) emit DoubleClicked();
}

void TThumbGrid::keyPressEvent(QKeyEvent* event) {
    if (Count() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int columns = Columns();
    int index = selected_ < 0 ? 0 : selected_;
    switch (event->key()) {
    case Qt::Key_Left: index -= 1; break;
    case Qt::Key_Right: index += 1; break;
    case Qt::Key_Up: index -= columns; break;
    case Qt::Key_Down: index += columns; break;
    case Qt::Key_Home: index = 0; break;
    case Qt::Key_End: index = Count() - 1; break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit DoubleClicked();
        return;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    index = std::clamp(index, 0, Count() - 1);
    if (index != selected_ || selected_ < 0) {
        SetSelected(index);
        emit Chosen(index);
    }
}

void TThumbGrid::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse) pressedOnThumb_ = selected_ >= 0;
    emit MenuRequested(event->globalPos());
}

} // namespace dialogs
