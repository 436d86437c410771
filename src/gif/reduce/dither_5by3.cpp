#include "gif/reduce/dither_5by3.h"

namespace gif {

T5by3Ditherer::T5by3Ditherer(int width, TColorLookup& lookup, const T5by3Weights& weights)
    : TDitherEngine(width, lookup), weights_(weights), rows_(3, width, 2) {}

uint8_t T5by3Ditherer::Dither(uint8_t red, uint8_t green, uint8_t blue) {
    int32_t* current = rows_.Row(0) + 3 * column_;
    int32_t* next = rows_.Row(1) + 3 * column_;
    int32_t* after = rows_.Row(2) + 3 * column_;
    const int divisor = weights_.Divisor;
    const int in[3] = {red, green, blue};
    int value[3];
    for (int c = 0; c < 3; ++c)
        value[c] = ClampChannel(in[c] + (current[c] + divisor / 2) / divisor);
    TRGB chosen;
    uint8_t index = lookup_.Lookup(uint8_t(value[0]), uint8_t(value[1]), uint8_t(value[2]), chosen);
    const int out[3] = {chosen.Red, chosen.Green, chosen.Blue};
    const int d1 = 3 * direction_, d2 = 3 * direction2_;
    const int offsets[5] = {-d2, -d1, 0, d1, d2};
    for (int c = 0; c < 3; ++c) {
        int e = value[c] - out[c];
        if (e == 0) continue;
        current[c + d1] += weights_.Ahead[0] * e;
        current[c + d2] += weights_.Ahead[1] * e;
        for (int k = 0; k < 5; ++k) {
            next[c + offsets[k]] += weights_.Next[size_t(k)] * e;
            after[c + offsets[k]] += weights_.After[size_t(k)] * e;
        }
    }
    column_ += direction_;
    return index;
}

void T5by3Ditherer::NextLine() {
    rows_.Rotate();
    TDitherEngine::NextLine();
    direction2_ = 2 * direction_;
}

TStuckiDitherer::TStuckiDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, {42, {8, 4}, {2, 4, 8, 4, 2}, {1, 2, 4, 2, 1}}) {}

TSierraDitherer::TSierraDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, {32, {5, 3}, {2, 4, 5, 4, 2}, {0, 2, 3, 2, 0}}) {}

TJaJuNiDitherer::TJaJuNiDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, {48, {7, 5}, {3, 5, 7, 5, 3}, {1, 3, 5, 3, 1}}) {}

} // namespace gif
