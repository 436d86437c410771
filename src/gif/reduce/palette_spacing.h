// Measures of how a palette sits in colour space and how well it fits a picture, shared
// by the error-diffusion ditherers that adapt to their palette.
#pragma once

#include "gif/reduce/color_lookup.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace gif {

class TDIBReader;

// Per entry: the distance (largest channel difference) to the nearest other colour of the
// palette, 0 for an entry without another colour; all 0 for a lookup that does not tell its
// entries. Entries past the lookup's colours are 0.
std::array<int, 256> PaletteSpacing(const TColorLookup& lookup);

// How far the pixels of a sample of `picture` (every 4th pixel of every 4th row, 24 bits)
// lie from their entries in `lookup`: the sum of their squared distances (over the three
// channels) and their number.
struct TPaletteFit {
    uint64_t SquaredDistances = 0;
    uint64_t Pixels = 0;

    // `factor` times the mean squared distance, plus `base`, at most 2^30; `otherwise`
    // for an empty sample. The ditherers' bound on how far a diffused colour may land.
    int ScaledMean(int factor, int base, int otherwise) const {
        if (Pixels == 0) return otherwise;
        return int(std::min<uint64_t>(uint64_t(factor) * SquaredDistances / Pixels + uint64_t(base),
                                      uint64_t(1) << 30));
    }
};
TPaletteFit MeasurePaletteFit(TColorLookup& lookup, const TDIBReader& picture);

} // namespace gif
