// The swatch grid of the palette dialog (pbPalette): 16 swatches of 15 x 15 pixels a row
// inside a sunken edge, the selected one framed by a hollow marker.
#pragma once

#include <QWidget>
#include <vector>

#include "gif/base/types.h"

namespace dialogs {

class TPaletteSwatches : public QWidget {
    Q_OBJECT
public:
    static constexpr int Columns = 16;
    static constexpr int Cell = 15;
    static constexpr int Origin = 3;   // the first swatch's top-left corner, inside the edge

    explicit TPaletteSwatches(QWidget* parent = nullptr);

    void SetColors(const std::vector<gif::TColor>& colors);
    void SetSelected(int index);
    int Selected() const { return selected_; }
    // The swatch under a point: (x - 3) div 15 and (y - 3) div 15, for 3 <= x, y <= 243;
    // -1 outside (whether or not an entry sits there).
    static int IndexAt(QPoint point);
    QSize sizeHint() const override;

signals:
    // A left click on a place of the grid (the index may be past the last entry).
    void Clicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    std::vector<gif::TColor> colors_;
    int selected_ = -1;
};

// A TColor as a Qt colour.
QColor ToQColor(gif::TColor colour);

} // namespace dialogs
