#include "gif/reduce/quality_dither.h"

#include "gif/reduce/palette_spacing.h"

#include <algorithm>

namespace gif {

namespace {

// Values and errors carry 20 bits of fraction; 255 levels and the carried errors of a pixel
// (at most 255 levels in all) stay within 31 bits.
constexpr int Fraction = 20;
constexpr int32_t Top = 255 << Fraction;

// The share (256ths) falls by the rule's slope for each unit of contrast past the calm end.
constexpr int SlopeShift = 16;

} // namespace

TQualityDitherer::TQualityDitherer(int width, TColorLookup& lookup)
    : TContrastDiffusion(width, lookup) {
    const std::array<int, 256> spacing = PaletteSpacing(lookup);
    for (size_t i = 0; i < rules_.size(); ++i) {
        const int s = std::max(spacing[i], 1);
        TEntryRule& rule = rules_[i];
        rule.Calm = CalmContrast * s / 100;
        rule.Busy = std::max(BusyContrast * s / 100, rule.Calm + 1);
        rule.Slope = (int64_t(CalmShare - BusyShare) << SlopeShift) / (rule.Busy - rule.Calm);
        rule.Limit = std::max(ErrorLimit, (spacing[i] + 1) / 2);
    }
}

// One pixel at column_: looks up the diffused colour, spreads the error, notes the source
// colour for the pixels after it and moves on.
template <typename Lookup>
uint8_t TQualityDitherer::Step(Lookup& lookup, int red, int green, int blue) {
    const int x = column_, ahead = 3 * direction_;
    const int32_t* a = rows_.Row(0) + 3 * x;
    int32_t* b = rows_.Row(1) + 3 * x;
    const int source[3] = {red, green, blue};
    int32_t value[3];
    int level[3];
    for (int c = 0; c < 3; ++c) {
        value[c] = std::clamp((source[c] << Fraction) + a[c] + carried_[c], 0, Top);
        level[c] = (value[c] + (1 << (Fraction - 1))) >> Fraction;
    }
    TRGB chosen;
    uint8_t index = lookup.Lookup(uint8_t(level[0]), uint8_t(level[1]), uint8_t(level[2]), chosen);
    if (LandsTooFar(chosen, red, green, blue)) {
        index = lookup.Lookup(uint8_t(red), uint8_t(green), uint8_t(blue), chosen);
        for (int c = 0; c < 3; ++c)
            value[c] = source[c] << Fraction;
    }

    const int contrast = NoteContrast(x, red, green, blue);
    const TEntryRule& rule = rules_[index];
    int64_t share = CalmShare;
    if (contrast >= rule.Busy)
        share = BusyShare;
    else if (contrast > rule.Calm)
        share = CalmShare - ((rule.Slope * (contrast - rule.Calm)) >> SlopeShift);
    const int32_t limit = rule.Limit << Fraction;
    const int chosenLevel[3] = {chosen.Red, chosen.Green, chosen.Blue};
    int32_t spread[3];
    for (int c = 0; c < 3; ++c) {
        const int32_t error =
            std::clamp(value[c] - (int32_t(chosenLevel[c]) << Fraction), -limit, limit);
        // 1/16ths of the weights come out of the share's 256ths: (error * share / 256) / 16.
        spread[c] = int32_t((int64_t(error) * share) >> 12);
        carried_[c] = 7 * spread[c];
    }
    SpreadFloydSteinbergBelow(b, ahead, spread[0], spread[1], spread[2]);
    column_ += direction_;
    return index;
}

template class TContrastDiffusion<TQualityDitherer>;

} // namespace gif
