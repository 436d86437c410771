#include "gif/reduce/steve_arche.h"

namespace gif {

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup), rows_(4, width, 3) {}

uint8_t TSteveArcheDitherer::Dither(uint8_t red, uint8_t green, uint8_t blue) {
    int32_t* row0 = rows_.Row(0) + 3 * column_;
    int32_t* row1 = rows_.Row(1) + 3 * column_;
    int32_t* row2 = rows_.Row(2) + 3 * column_;
    int32_t* row3 = rows_.Row(3) + 3 * column_;
    const int in[3] = {red, green, blue};
    int value[3];
    for (int c = 0; c < 3; ++c) value[c] = ClampChannel(in[c] + (row0[c] + 100) / 200);
    TRGB chosen;
    uint8_t index = lookup_.Lookup(uint8_t(value[0]), uint8_t(value[1]), uint8_t(value[2]), chosen);
    const int out[3] = {chosen.Red, chosen.Green, chosen.Blue};
    const int d1 = 3 * direction_, d2 = 2 * d1, d3 = 3 * d1;
    for (int c = 0; c < 3; ++c) {
        int e = value[c] - out[c];
        if (e == 0) continue;
        row0[c + d2] += 32 * e;
        row1[c - d3] += 12 * e;
        row1[c - d1] += 26 * e;
        row1[c + d1] += 30 * e;
        row1[c + d3] += 16 * e;
        row2[c - d2] += 12 * e;
        row2[c] += 26 * e;
        row2[c + d2] += 12 * e;
        row3[c - d3] += 5 * e;
        row3[c - d1] += 12 * e;
        row3[c + d1] += 12 * e;
        row3[c + d3] += 5 * e;
    }
    column_ += direction_;
    return index;
}

void TSteveArcheDitherer::NextLine() {
    rows_.Rotate();
    TDitherEngine::NextLine();
}

} // namespace gif
