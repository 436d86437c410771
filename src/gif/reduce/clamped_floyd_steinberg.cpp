#include "gif/reduce/clamped_floyd_steinberg.h"

#include "gif/reduce/palette_spacing.h"

#include <algorithm>

namespace gif {

namespace {

// Errors are kept in 1/256 of a level: 16ths of the weights times 16ths of the share.
constexpr int Shift = 8;
constexpr int Half = 1 << (Shift - 1);

// value = channel + accumulated error, rounded and clamped.
inline int Diffused(int channel, int accumulated) {
    return ClampChannel(channel + ((accumulated + Half) >> Shift));
}

// Half the distance from each entry to its nearest other colour in the palette.
std::array<int, 256> PaletteFloors(const TColorLookup& lookup) {
    std::array<int, 256> floors = PaletteSpacing(lookup);
    for (int& f : floors)
        f = (f + 1) / 2;
    return floors;
}

} // namespace

TClampedFloydSteinbergDitherer::TClampedFloydSteinbergDitherer(int width, TColorLookup& lookup)
    : TContrastDiffusion(width, lookup), floor_(PaletteFloors(lookup)) {
    for (int c = 0; c <= MaxContrast; ++c) {
        auto mix = [c](int calm, int busy) {
            if (c <= CalmContrast) return calm;
            return calm - (calm - busy) * (c - CalmContrast) / (BusyContrast - CalmContrast);
        };
        spread_[size_t(c)] = {mix(CalmShare, BusyShare), mix(CalmLimit, BusyLimit)};
    }
}

// One pixel at column_: looks up the diffused colour, spreads the error, notes the source
// colour for the pixels after it and moves on.
template <typename Lookup>
uint8_t TClampedFloydSteinbergDitherer::Step(Lookup& lookup, int red, int green, int blue) {
    const int x = column_, ahead = 3 * direction_;
    const int32_t* a = rows_.Row(0) + 3 * x;
    int32_t* b = rows_.Row(1) + 3 * x;
    const int vr = Diffused(red, a[0] + carried_[0]);
    const int vg = Diffused(green, a[1] + carried_[1]);
    const int vb = Diffused(blue, a[2] + carried_[2]);
    TRGB chosen;
    uint8_t index = lookup.Lookup(uint8_t(vr), uint8_t(vg), uint8_t(vb), chosen);
    int er = vr - chosen.Red, eg = vg - chosen.Green, eb = vb - chosen.Blue;
    if (LandsTooFar(chosen, red, green, blue)) {
        index = lookup.Lookup(uint8_t(red), uint8_t(green), uint8_t(blue), chosen);
        er = red - chosen.Red;
        eg = green - chosen.Green;
        eb = blue - chosen.Blue;
    }

    const int contrast = NoteContrast(x, red, green, blue);
    const TSpread s = spread_[size_t(std::min(contrast, MaxContrast))];
    const int limit = std::max(s.Limit, floor_[index]);

    er = std::clamp(er, -limit, limit) * s.Share;
    eg = std::clamp(eg, -limit, limit) * s.Share;
    eb = std::clamp(eb, -limit, limit) * s.Share;
    carried_[0] = 7 * er;
    carried_[1] = 7 * eg;
    carried_[2] = 7 * eb;
    SpreadFloydSteinbergBelow(b, ahead, er, eg, eb);
    column_ += direction_;
    return index;
}

template class TContrastDiffusion<TClampedFloydSteinbergDitherer>;

} // namespace gif
