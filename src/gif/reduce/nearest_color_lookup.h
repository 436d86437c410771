// Exact nearest palette colour by squared distance in RGB, with the lowest index winning
// among equally near entries: the same answer a search through every entry gives.
#pragma once

#include "gif/graphics/palette.h"
#include "gif/reduce/color_lookup.h"

#include <array>
#include <cstdint>
#include <vector>

namespace gif {

// Colour space is divided into cells of 8 x 8 x 8 levels. The first colour looked up in a
// cell lists the entries that can be nearest to any colour of the cell: those whose
// distance to the cell is no more than the smallest distance within which some entry
// covers the whole cell (the nearest entry of any colour in the cell is within that
// distance of the colour). Every later colour of the cell searches only that short list.
class TNearestColorLookup final : public TColorLookup {
  public:
    // Uses the first 256 entries of `palette`; none or an empty one gives 0 colours.
    explicit TNearestColorLookup(const HPALETTE& palette);

    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TRGB& chosen) override {
        uint32_t& cell = cells_[size_t((red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3))];
        if (cell == Unresolved) cell = ListCandidates(red, green, blue);
        const uint32_t* c = candidates_.data() + (cell >> 8);
        const uint32_t* end = c + (cell & 0xFF) + 1;
        uint32_t best = *c;
        int bestDistance = Distance(best, red, green, blue);
        for (++c; c < end; ++c) {
            int d = Distance(*c, red, green, blue);
            if (d < bestDistance) { // candidates are in index order: the first one wins ties
                bestDistance = d;
                best = *c;
            }
        }
        chosen = {uint8_t(best), uint8_t(best >> 8), uint8_t(best >> 16)};
        return uint8_t(best >> 24);
    }

    bool Entry(int index, TRGB& color) const override {
        uint32_t e = entries_[size_t(index)];
        color = {uint8_t(e), uint8_t(e >> 8), uint8_t(e >> 16)};
        return true;
    }

  private:
    static constexpr uint32_t Unresolved = 0xFFFFFFFF;

    // A candidate packed as red | green << 8 | blue << 16 | index << 24.
    static int Distance(uint32_t entry, int red, int green, int blue) {
        int dr = int(entry & 0xFF) - red, dg = int(entry >> 8 & 0xFF) - green,
            db = int(entry >> 16 & 0xFF) - blue;
        return dr * dr + dg * dg + db * db;
    }
    // Lists the candidates of the colour's cell; returns first << 8 | (count - 1).
    uint32_t ListCandidates(uint8_t red, uint8_t green, uint8_t blue);
    // Appends to `out` those of `count` entries that can be nearest somewhere in the cell
    // from `low` to `low` + `size` per channel; returns first << 8 | (number - 1).
    static uint32_t AppendCandidates(const int low[3], int size, const uint32_t* entries, int count,
                                     std::vector<uint32_t>& out);

    std::array<uint32_t, 256> entries_{}; // packed like the candidates
    std::vector<uint32_t> cells_;         // 32768 cells of 8 levels
    std::vector<uint32_t> candidates_;
    std::vector<uint32_t> coarseCells_; // 4096 cells of 16 levels
    std::vector<uint32_t> coarseCandidates_;
};

} // namespace gif
