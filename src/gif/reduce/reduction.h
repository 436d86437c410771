// How a true-colour picture becomes an 8-bit one: the palette (reduction method)
// and the mapping of pixels to it (dither mode). Both are stored as one byte.
#pragma once

#include <cstdint>

namespace gif {

enum TColorReduction : uint8_t {
    crNone,            // no reduction: a 24-bit copy
    crSystem20,        // the 20-colour default system palette
    crHalftone,        // the 256-colour halftone palette
    crGray4,           // grays 0, 128, 192, 255
    crMonochrome,      // black and white
    crGray256,         // 256 grays
    crWeb216,          // the 216-colour web cube
    crOptimized,       // octree palette of at most 2^depth colours
    crOptimizedSystem, // 236 octree colours between the 20 system colours
    crCustom,          // a palette given by the caller
    crQuality,         // least-error palette of at most 2^depth colours, exact nearest colour
};

enum TDitherMode : uint8_t {
    dtNearest,
    dtFloydSteinberg,
    dtStucki,
    dtSierra,
    dtJarvisJudiceNinke,
    dtStevensonArce,
    dtBurkes,
    dtClampedFloydSteinberg, // serpentine Floyd-Steinberg with a limit on the carried error;
                             // crQuality maps through its own diffusion in this mode
    dtOrdered,               // a fixed threshold pattern: the same colour at the same place
                             // always gets the same index
};

inline constexpr TColorReduction LastColorReduction = crQuality;
inline constexpr TDitherMode LastDitherMode = dtOrdered;

// The dither mode that gives a method its best pictures: dtClampedFloydSteinberg for
// crQuality, dtFloydSteinberg for the others.
constexpr TDitherMode BestDitherMode(TColorReduction method) {
    return method == crQuality ? dtClampedFloydSteinberg : dtFloydSteinberg;
}

} // namespace gif
