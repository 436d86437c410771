#include "dialogs/palette/palette_swatches.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace dialogs {

QColor ToQColor(gif::TColor colour) {
    return QColor(gif::GetRValue(colour), gif::GetGValue(colour), gif::GetBValue(colour));
}

TPaletteSwatches::TPaletteSwatches(QWidget* parent) : QWidget(parent) {
    setObjectName("pbPalette");
    setMouseTracking(true);
    setFixedSize(sizeHint());
}

QSize TPaletteSwatches::sizeHint() const {
    return {Origin * 2 + Columns * Cell, Origin * 2 + Columns * Cell};
}

void TPaletteSwatches::SetColors(const std::vector<gif::TColor>& colors) {
    colors_ = colors;
    update();
}

void TPaletteSwatches::SetSelected(int index) {
    selected_ = index;
    update();
}

int TPaletteSwatches::IndexAt(QPoint point) {
    const int last = Origin + Columns * Cell;   // 243
    if (point.x() < Origin || point.x() > last || point.y() < Origin || point.y() > last) return -1;
    const int column = std::min((point.x() - Origin) / Cell, Columns - 1);
    const int row = std::min((point.y() - Origin) / Cell, Columns - 1);
    return column + row * Columns;
}

void TPaletteSwatches::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    qDrawShadePanel(&painter, rect(), palette(), true, 2);
    for (int k = 0; k < int(colors_.size()); ++k) {
        const QRect cell(Origin + (k % Columns) * Cell, Origin + (k / Columns) * Cell, Cell, Cell);
        painter.fillRect(cell, ToQColor(colors_[size_t(k)]));
        qDrawShadePanel(&painter, cell, palette(), true, 1);
    }
    if (selected_ >= 0 && selected_ < int(colors_.size())) {
        const QRect marker(Origin + (selected_ % Columns) * Cell - 1,
                           Origin + (selected_ / Columns) * Cell - 1, Cell + 1, Cell + 1);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(marker);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(marker.adjusted(1, 1, -1, -1));
    }
}

void TPaletteSwatches::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int index = IndexAt(event->position().toPoint());
    if (index >= 0) emit Clicked(index);
}

void TPaletteSwatches::mouseMoveEvent(QMouseEvent* event) {
    const int index = IndexAt(event->position().toPoint());
    setCursor(index >= 0 && index < int(colors_.size()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

} // namespace dialogs
