#include "gif/reduce/nearest_color_lookup.h"

#include <algorithm>

namespace gif {

namespace {

int PaletteCount(const HPALETTE& palette) {
    return palette ? std::min(palette->Count(), 256) : 0;
}

} // namespace

TNearestColorLookup::TNearestColorLookup(const HPALETTE& palette)
    : TColorLookup(PaletteCount(palette)), cells_(32768, Unresolved),
      coarseCells_(4096, Unresolved) {
    for (int i = 0; i < Colors(); ++i) {
        const TPaletteEntry& e = palette->Entries[size_t(i)];
        entries_[size_t(i)] = uint32_t(e.peRed) | uint32_t(e.peGreen) << 8 |
                              uint32_t(e.peBlue) << 16 | uint32_t(i) << 24;
    }
}

uint32_t TNearestColorLookup::ListCandidates(uint8_t red, uint8_t green, uint8_t blue) {
    // The cell's candidates are among those of the 16 x 16 x 16 cell around it (an entry
    // that cannot be nearest anywhere in the larger cell cannot be in the smaller one), so
    // the larger cell's list is made once and each of its eight cells filters it.
    uint32_t& coarse = coarseCells_[size_t((red >> 4) << 8 | (green >> 4) << 4 | (blue >> 4))];
    if (coarse == Unresolved) {
        const int n = std::max(Colors(), 1); // without a palette: entry 0, black
        const int low[3] = {red & ~15, green & ~15, blue & ~15};
        coarse = AppendCandidates(low, 15, entries_.data(), n, coarseCandidates_);
    }
    const int low[3] = {red & ~7, green & ~7, blue & ~7};
    return AppendCandidates(low, 7, coarseCandidates_.data() + (coarse >> 8),
                            int(coarse & 0xFF) + 1, candidates_);
}

uint32_t TNearestColorLookup::AppendCandidates(const int low[3], int size, const uint32_t* entries,
                                               int count, std::vector<uint32_t>& out) {
    // Squared distance from each entry to the nearest and to the farthest point of the cell.
    std::array<int, 256> nearest{};
    int bound = 0x7FFFFFFF;
    for (int i = 0; i < count; ++i) {
        const uint32_t e = entries[i];
        int near = 0, far = 0;
        for (int k = 0; k < 3; ++k) {
            int v = int(e >> (8 * k) & 0xFF), lo = low[k], hi = low[k] + size;
            int dNear = v < lo ? lo - v : (v > hi ? v - hi : 0);
            int dFar = std::max(v - lo, hi - v);
            near += dNear * dNear;
            far += dFar * dFar;
        }
        nearest[size_t(i)] = near;
        bound = std::min(bound, far);
    }
    const uint32_t first = uint32_t(out.size());
    for (int i = 0; i < count; ++i)
        if (nearest[size_t(i)] <= bound) out.push_back(entries[i]);
    return first << 8 | (uint32_t(out.size()) - first - 1);
}

} // namespace gif
