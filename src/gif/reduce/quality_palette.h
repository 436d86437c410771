// The palette of crQuality: the colours that leave the least squared error over the
// pictures' pixels. A picture with no more distinct colours than asked for keeps exactly
// its own colours; others get a variance-based split refined by k-means passes, first over
// the colour histogram's cells, then over the pixels themselves. When the histogram's
// regions are too coarse to fill the palette, the split and the passes work on the
// distinct colours instead, and the palette is filled up to the colours asked for.
#pragma once

#include "gif/graphics/bitmap.h"

#include <span>

namespace gif {

// Passes of k-means over the histogram's cells, then over the pixels; or, for pictures
// whose colours crowd into few regions of colour space, over their distinct colours.
inline constexpr int QualityCellPasses = 8;
inline constexpr int QualityPixelPasses = 2;
inline constexpr int QualityExactPasses = 16;

// A palette of at most `colors` (1..256, else "Invalid Bits Per Pixel value") entries for
// all pixels of `bitmaps` together, so that frames of one animation can share it. Pixels
// of colour `skip` (one that will be transparent) are left out. No pixels give an empty
// palette. Same pixels, same palette, on every machine.
HPALETTE CreateQualityPaletteFromManyBitmaps(std::span<const TBitmap* const> bitmaps, int colors,
                                             TColor skip = clNone);
// The same for one bitmap.
HPALETTE CreateQualityPalette(const TBitmap& bitmap, int colors, TColor skip = clNone);

} // namespace gif
