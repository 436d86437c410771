// Reducing the frames of an animation together: one palette built from all of them, and
// pixels that stand still between two frames keep their index, so dither does not shimmer
// where the picture does not change.
#pragma once

#include "gif/graphics/bitmap.h"
#include "gif/reduce/reduction.h"

#include <memory>
#include <span>
#include <vector>

namespace gif {

struct TReducedFrames {
    HPALETTE Palette;                             // shared by every frame
    std::vector<std::unique_ptr<TBitmap>> Frames; // 8 bits, one per source frame
};

// Reduces `frames` (any formats; null entries are not allowed) by `method` and `dither`
// onto one palette: crQuality and the octree methods build it from the pixels of all
// frames, each pixel counting once, so colours that stay on screen weigh more; the fixed
// methods use their own; crCustom copies `customPalette`. A pixel whose colour equals the
// pixel at the same place in the previous frame (of the same size) gets that frame's
// index. crNone, a method or mode out of range, a null frame or a palette without colours
// raise "Unsupported color reduction settings"; `depth` as for ReduceColors.
TReducedFrames ReduceFrames(std::span<const TBitmap* const> frames, TColorReduction method,
                            TDitherMode dither, const HPALETTE& customPalette, int depth);

} // namespace gif
