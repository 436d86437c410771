#include "gif/reduce/burkes.h"

namespace gif {

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup), rows_(2, width, 2) {}

uint8_t TBurkesDitherer::Dither(uint8_t red, uint8_t green, uint8_t blue) {
    int32_t* current = rows_.Row(0) + 3 * column_;
    int32_t* next = rows_.Row(1) + 3 * column_;
    const int in[3] = {red, green, blue};
    int value[3];
    for (int c = 0; c < 3; ++c) value[c] = ClampChannel(in[c] + (current[c] + 16) / 32);
    TRGB chosen;
    uint8_t index = lookup_.Lookup(uint8_t(value[0]), uint8_t(value[1]), uint8_t(value[2]), chosen);
    const int out[3] = {chosen.Red, chosen.Green, chosen.Blue};
    const int d1 = 3 * direction_, d2 = 6 * direction_;
    for (int c = 0; c < 3; ++c) {
        int e = value[c] - out[c];
        if (e == 0) continue;
        current[c + d1] += 8 * e;
        current[c + d2] += 4 * e;
        next[c - d2] += 2 * e;
        next[c - d1] += 4 * e;
        next[c] += 8 * e;
        next[c + d1] += 4 * e;
        next[c + d2] += 2 * e;
    }
    column_ += direction_;
    return index;
}

void TBurkesDitherer::NextLine() {
    rows_.Rotate();
    TDitherEngine::NextLine();
}

} // namespace gif
