// The least-error palette for pictures whose colours crowd into a few small regions of
// colour space, as smooth gradients and flat drawings do. The histogram's cells are too
// coarse to tell such colours apart, so these steps work on every distinct colour.
#pragma once

#include "gif/graphics/bitmap.h"
#include "gif/reduce/color_histogram.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace gif {

// Every distinct colour of the pictures (every `step`-th row, step >= 1) as a cell of its
// own: its count and its colour times the count. Pixels of colour `skip` (0xRRGGBB; above
// 0xFFFFFF for none) are left out. In a fixed order of colour, so the order does not depend
// on where the colours lie in the pictures. Nothing when there are more than `maxColors`
// distinct colours or they spread over more than `maxRegions` of the 32768 regions of
// 8 x 8 x 8 levels (each region in use takes 2 KB while counting). A pixel in a smooth area
// (see IsSmoothPixel) counts `smoothWeight` times (1..16), any other once.
std::optional<std::vector<TColorCell>> CountExactColors(std::span<const TBitmap* const> bitmaps,
                                                        int step, uint32_t skip, size_t maxColors,
                                                        size_t maxRegions, int smoothWeight = 1);

// Whether the pixel at `p` (blue, green, red) lies in a smooth area: no channel differs by
// more than one level from the pixel before it on its row (`left`, the pixel itself at the
// row's start) or the one above it (`up`, the pixel itself on the first row).
inline bool IsSmoothPixel(const uint8_t* p, const uint8_t* left, const uint8_t* up) {
    for (int k = 0; k < 3; ++k)
        if (p[k] - left[k] > 1 || left[k] - p[k] > 1 || p[k] - up[k] > 1 || up[k] - p[k] > 1)
            return false;
    return true;
}

// At most `colors` (>= 1) boxes over `exact` (as CountExactColors gives it), each given as
// the count and colour sums of its pixels: the box whose colours vary most is cut, at the
// plane between two distinct colours that leaves the halves varying least, until there are
// `colors` boxes or each holds one colour. Integer arithmetic, so every machine cuts alike.
std::vector<TColorCell> SplitExactColors(std::span<const TColorCell> exact, int colors);

// `palette` topped up to `colors` entries (or to every distinct colour, when fewer) with the
// exact colours that it serves worst: count times squared distance to their nearest entry
// (an empty palette takes the most frequent colours). Adding an entry never raises any
// pixel's error, so the result is never worse.
std::vector<TRGB> FillWithWorstServed(std::span<const TColorCell> exact, std::vector<TRGB> palette,
                                      int colors);

} // namespace gif
