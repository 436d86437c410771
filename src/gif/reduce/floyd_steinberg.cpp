#include "gif/reduce/floyd_steinberg.h"

namespace gif {

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup), rows_(2, width, 1) {}

uint8_t TFloydSteinbergDitherer::Dither(uint8_t red, uint8_t green, uint8_t blue) {
    int32_t* above = rows_.Row(0) + 3 * column_;
    int32_t* below = rows_.Row(1) + 3 * column_;
    const int in[3] = {red, green, blue};
    int value[3];
    for (int c = 0; c < 3; ++c) value[c] = ClampChannel(in[c] + (above[c] + carried_[c] + 8) / 16);
    TRGB chosen;
    uint8_t index = lookup_.Lookup(uint8_t(value[0]), uint8_t(value[1]), uint8_t(value[2]), chosen);
    const int out[3] = {chosen.Red, chosen.Green, chosen.Blue};
    const int ahead = 3 * direction_;
    for (int c = 0; c < 3; ++c) {
        int e = value[c] - out[c];
        carried_[c] = 7 * e;
        if (e != 0) {
            below[c - ahead] += 3 * e;
            below[c] += 5 * e;
            below[c + ahead] += e;
        }
    }
    column_ += direction_;
    return index;
}

void TFloydSteinbergDitherer::NextLine() {
    rows_.Rotate();
    carried_[0] = carried_[1] = carried_[2] = 0;
    TDitherEngine::NextLine();
}

} // namespace gif
