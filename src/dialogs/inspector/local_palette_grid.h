// The inspector's local palette grid (grdPalette): the table laid out as rows of
// floor(sqrt(n)) and ceil(n / rows) columns filling the area, or a "No Local Palette" cell.
#pragma once

#include <QWidget>
#include <vector>

#include "gif/base/types.h"

namespace dialogs {

class TLocalPaletteGrid : public QWidget {
    Q_OBJECT
public:
    explicit TLocalPaletteGrid(QWidget* parent = nullptr);
    // No colours: the "No Local Palette" cell.
    void SetColors(const std::vector<gif::TColor>& colors);
    const std::vector<gif::TColor>& Colors() const { return colors_; }
    int Selected() const { return selected_; }
    void SetSelected(int index);
    // The entry under a point of the widget, -1 when none.
    int IndexAt(QPoint point) const;
    QRect CellRect(int index) const;

signals:
    void Picked(int index);
    void DoubleClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<gif::TColor> colors_;
    int selected_ = -1;
};

} // namespace dialogs
