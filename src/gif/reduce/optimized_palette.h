// Optimised palettes built by the octree quantizer.
#pragma once

#include <span>

#include "gif/graphics/bitmap.h"

namespace gif {

// Number of colours the quantizer gets for crOptimizedSystem: 256 less the system colours.
inline constexpr int OptimizedSystemColors = 236;

// A palette for the pixels of `bitmaps` (inserted in order) with at most `colors` (1..256)
// entries from a tree `colorBits` deep. Without system colours the palette has one entry
// per colour found. With them it has `colors` entries: the ten low system colours, the
// `colors` - 20 quantized colours (black where fewer were found), the ten high ones.
HPALETTE CreateOptimizedPaletteFromManyBitmaps(std::span<const TBitmap* const> bitmaps,
                                               int colors, int colorBits,
                                               bool withSystemColors);
// The same for one bitmap.
HPALETTE CreateOptimizedPalette(const TBitmap& bitmap, int colors, int colorBits,
                                bool withSystemColors);

} // namespace gif
