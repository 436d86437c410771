#include "gif/reduce/fast_color_lookup.h"

#include <algorithm>
#include <cstdlib>

namespace gif {

namespace {

int PaletteCount(const HPALETTE& palette) {
    return palette ? std::min(palette->Count(), 256) : 0;
}

} // namespace

TFastColorLookup::TFastColorLookup(const HPALETTE& palette)
    : TColorLookup(PaletteCount(palette)), inverse_(32768, int16_t(-1)) {
    for (int i = 0; i < Colors(); ++i) {
        const TPaletteEntry& e = palette->Entries[size_t(i)];
        entries_[size_t(i)] = {e.peRed, e.peGreen, e.peBlue};
        int16_t& cell = inverse_[size_t(CellOf(e.peRed, e.peGreen, e.peBlue))];
        if (cell == -1) cell = int16_t(i);
    }
}

uint8_t TFastColorLookup::Search(uint8_t red, uint8_t green, uint8_t blue) const {
    int best = 0;
    int bestDistance = 0x30000;
    for (int i = 0; i < Colors(); ++i) {
        const TRGB& e = entries_[size_t(i)];
        int d = std::abs(red - e.Red) + std::abs(green - e.Green) + std::abs(blue - e.Blue);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0) break;
        }
    }
    return uint8_t(best);
}

} // namespace gif
