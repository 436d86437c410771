// How a true-colour picture becomes an 8-bit one: the palette (reduction method)
// and the mapping of pixels to it (dither mode). Both are stored as one byte.
#pragma once

#include <cstdint>

namespace gif {

enum TColorReduction : uint8_t {
    crNone,             // no reduction: a 24-bit copy
    crSystem20,         // the 20-colour default system palette
    crHalftone,         // the 256-colour halftone palette
    crGray4,            // grays 0, 128, 192, 255
    crMonochrome,       // black and white
    crGray256,          // 256 grays
    crWeb216,           // the 216-colour web cube
    crOptimized,        // octree palette of at most 2^depth colours
    crOptimizedSystem,  // 236 octree colours between the 20 system colours
    crCustom,           // a palette given by the caller
};

enum TDitherMode : uint8_t {
    dtNearest,
    dtFloydSteinberg,
    dtStucki,
    dtSierra,
    dtJarvisJudiceNinke,
    dtStevensonArce,
    dtBurkes,
};

inline constexpr TColorReduction LastColorReduction = crCustom;
inline constexpr TDitherMode LastDitherMode = dtBurkes;

} // namespace gif
