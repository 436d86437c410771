// Nearest palette entry through an inverse table of 5-5-5 colour cells.
#pragma once

#include <array>
#include <vector>

#include "gif/graphics/palette.h"
#include "gif/reduce/color_lookup.h"

namespace gif {

// The table starts with each palette entry in its own cell (the first entry of a cell
// wins). A colour whose cell is still unresolved is matched by the smallest sum of
// absolute channel differences (first entry wins on ties) and the result is stored in
// the cell, so every later colour of that cell takes it without a search.
class TFastColorLookup final : public TColorLookup {
public:
    // Uses the first 256 entries of `palette`; none or an empty one gives 0 colours.
    explicit TFastColorLookup(const HPALETTE& palette);
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TRGB& chosen) override {
        int16_t& cell = inverse_[size_t(CellOf(red, green, blue))];
        if (cell < 0) cell = Search(red, green, blue);
        chosen = entries_[size_t(cell)];
        return uint8_t(cell);
    }

    bool Entry(int index, TRGB& color) const override {
        color = entries_[size_t(index)];
        return true;
    }

    // Cell of a colour in the inverse table.
    static int CellOf(uint8_t red, uint8_t green, uint8_t blue) {
        return ((blue >> 3) << 10) | ((green >> 3) << 5) | (red >> 3);
    }

private:
    uint8_t Search(uint8_t red, uint8_t green, uint8_t blue) const;

    std::array<TRGB, 256> entries_{};
    std::vector<int16_t> inverse_;   // 32768 cells, -1 = not resolved yet
};

} // namespace gif
