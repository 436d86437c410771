#include "gif/reduce/floyd_steinberg.h"

#include "gif/reduce/visit_lookup.h"

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

// The row loop of Dither with its state in locals and the lookup called directly.
// Adding a zero error changes nothing, so the spreading is done without testing e.
template <typename Lookup>
void TFloydSteinbergDitherer::WalkRow(const uint8_t* bgr, uint8_t* indices, Lookup& lookup) {
    int32_t* const above = rows_.Row(0);
    int32_t* const below = rows_.Row(1);
    const int step = direction_, ahead = 3 * direction_, width = width_;
    int cr = carried_[0], cg = carried_[1], cb = carried_[2];
    int x = column_;
    for (; x >= 0 && x < width; x += step) {
        const uint8_t* p = bgr + 3 * x;
        const int32_t* a = above + 3 * x;
        int vr = ClampChannel(p[2] + (a[0] + cr + 8) / 16);
        int vg = ClampChannel(p[1] + (a[1] + cg + 8) / 16);
        int vb = ClampChannel(p[0] + (a[2] + cb + 8) / 16);
        TRGB chosen;
        indices[x] = lookup.Lookup(uint8_t(vr), uint8_t(vg), uint8_t(vb), chosen);
        int er = vr - chosen.Red, eg = vg - chosen.Green, eb = vb - chosen.Blue;
        cr = 7 * er;
        cg = 7 * eg;
        cb = 7 * eb;
        int32_t* b = below + 3 * x;
        SpreadFloydSteinbergBelow(b, ahead, er, eg, eb);
    }
    column_ = x;
    carried_[0] = cr;
    carried_[1] = cg;
    carried_[2] = cb;
}

void TFloydSteinbergDitherer::DitherRow(const uint8_t* bgr, uint8_t* indices) {
    VisitLookup(lookup_, [&](auto& lookup) { WalkRow(bgr, indices, lookup); });
}

void TFloydSteinbergDitherer::NextLine() {
    rows_.Rotate();
    carried_[0] = carried_[1] = carried_[2] = 0;
    TDitherEngine::NextLine();
}

} // namespace gif
