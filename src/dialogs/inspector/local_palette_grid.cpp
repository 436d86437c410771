#include "dialogs/inspector/local_palette_grid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

#include "dialogs/inspector/inspector_model.h"
#include "dialogs/palette/palette_swatches.h"

namespace dialogs {

TLocalPaletteGrid::TLocalPaletteGrid(QWidget* parent) : QWidget(parent) {
    setObjectName("grdPalette");
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(64, 64);
}

void TLocalPaletteGrid::SetColors(const std::vector<gif::TColor>& colors) {
    colors_ = colors;
    if (selected_ >= int(colors_.size())) selected_ = -1;
    update();
}

void TLocalPaletteGrid::SetSelected(int index) {
    selected_ = index >= 0 && index < int(colors_.size()) ? index : -1;
    update();
}

QRect TLocalPaletteGrid::CellRect(int index) const {
    const TPaletteLayout layout = PaletteLayout(int(colors_.size()));
    const int cellWidth = width() / layout.Columns;
    const int cellHeight = height() / layout.Rows;
    return {(index % layout.Columns) * cellWidth, (index / layout.Columns) * cellHeight, cellWidth, cellHeight};
}

int TLocalPaletteGrid::IndexAt(QPoint point) const {
    if (colors_.empty()) return -1;
    const TPaletteLayout layout = PaletteLayout(int(colors_.size()));
    const int cellWidth = std::max(1, width() / layout.Columns);
    const int cellHeight = std::max(1, height() / layout.Rows);
    const int column = point.x() / cellWidth;
    const int row = point.y() / cellHeight;
    if (column >= layout.Columns || row >= layout.Rows || point.x() < 0 || point.y() < 0) return -1;
    const int index = row * layout.Columns + column;
    return index < int(colors_.size()) ? index : -1;
}

void TLocalPaletteGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (colors_.empty()) {
        painter.fillRect(rect(), QColor(0, 96, 96));
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, "No Local Palette");
        return;
    }
    for (int k = 0; k < int(colors_.size()); ++k) {
        const QRect cell = CellRect(k);
        painter.fillRect(cell, ToQColor(colors_[size_t(k)]));
        qDrawShadePanel(&painter, cell, palette(), true, 1);
    }
    if (selected_ >= 0) {
        const QRect cell = CellRect(selected_).adjusted(2, 2, -3, -3);
        painter.setPen(QPen(Qt::red, 2));
        painter.drawRect(cell);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = cell.adjusted(2, 2, -2, -2);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

void TLocalPaletteGrid::mousePressEvent(QMouseEvent* event) {
    const int index = IndexAt(event->position().toPoint());
    if (index < 0) return;
    SetSelected(index);
    emit Picked(index);
}

void TLocalPaletteGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = IndexAt(event->position().toPoint());
    if (index >= 0) emit DoubleClicked(index);
}

void TLocalPaletteGrid::keyPressEvent(QKeyEvent* event) {
    if (colors_.empty()) return QWidget::keyPressEvent(event);
    const int columns = PaletteLayout(int(colors_.size())).Columns;
    int next = selected_ < 0 ? 0 : selected_;
    switch (event->key()) {
    case Qt::Key_Left: next -= 1; break;
    case Qt::Key_Right: next += 1; break;
    case Qt::Key_Up: next -= columns; break;
    case Qt::Key_Down: next += columns; break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected_ >= 0) emit DoubleClicked(selected_);
        return;
    default: return QWidget::keyPressEvent(event);
    }
    if (next < 0 || next >= int(colors_.size())) return;
    SetSelected(next);
    emit Picked(next);
}

} // namespace dialogs
