#include "gif/reduce/ordered_dither.h"

#include "gif/reduce/error_rows.h"
#include "gif/reduce/visit_lookup.h"

namespace gif {

template <typename Lookup>
uint8_t TOrderedDitherer::Choose(Lookup& lookup, int x, int red, int green, int blue) {
    TRGB near;
    const uint8_t first = lookup.Lookup(uint8_t(red), uint8_t(green), uint8_t(blue), near);
    const int er = red - near.Red, eg = green - near.Green, eb = blue - near.Blue;
    if (er == 0 && eg == 0 && eb == 0) return first;
    TRGB far;
    const uint8_t second =
        lookup.Lookup(uint8_t(ClampChannel(red + er)), uint8_t(ClampChannel(green + eg)),
                      uint8_t(ClampChannel(blue + eb)), far);
    if (second == first) return first;
    const int dr = far.Red - near.Red, dg = far.Green - near.Green, db = far.Blue - near.Blue;
    const int along = er * dr + eg * dg + eb * db; // share of `far` times its length squared
    const int length = dr * dr + dg * dg + db * db;
    if (along <= 0) return first;
    return Threshold(x, row_) * length < along * 256 ? second : first;
}

uint8_t TOrderedDitherer::Dither(uint8_t red, uint8_t green, uint8_t blue) {
    uint8_t index = Choose(lookup_, column_, red, green, blue);
    column_ += direction_;
    return index;
}

void TOrderedDitherer::DitherRow(const uint8_t* bgr, uint8_t* indices) {
    VisitLookup(lookup_, [&](auto& lookup) {
        for (int x = column_; x >= 0 && x < width_; x += direction_)
            indices[x] = Choose(lookup, x, bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x]);
    });
    column_ = direction_ > 0 ? width_ : -1;
}

void TOrderedDitherer::NextLine() {
    ++row_;
    TDitherEngine::NextLine();
}

} // namespace gif
