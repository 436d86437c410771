// The palette of crQuality: the colours that leave the least squared error over the
// pictures' pixels. A picture with no more distinct colours than asked for keeps exactly
// its own colours. Others get a variance-based split refined by k-means passes. The split
// and the last passes work on the distinct colours themselves, so colours that crowd
// together (smooth gradients, flat drawings) are still told apart, and the palette is
// filled up to the colours asked for. Pictures with very many distinct colours, and many
// frames read only every few rows, are split on the colour histogram's cells and refined
// on their pixels. The palette can be fitted to how its pixels will be mapped (TQualityFit).
#pragma once

#include "gif/graphics/bitmap.h"
#include "gif/reduce/reduction.h"

#include <span>

namespace gif {

// Passes of k-means: over the histogram's cells, then over the pixels (pictures with very
// many distinct colours) or over the distinct colours, at most QualityFinishPasses after
// the cells' passes; pictures whose colours crowd into few regions of colour space take
// QualityExactPasses over their distinct colours alone.
inline constexpr int QualityCellPasses = 8;
inline constexpr int QualityPixelPasses = 2;
inline constexpr int QualityFinishPasses = 6;
inline constexpr int QualityExactPasses = 16;

// What the palette is made for: how the pixels will be mapped to it.
enum class TQualityFit : uint8_t {
    // Least squared error over all pixels alike: for any mapping.
    LeastError,
    // Nearest-colour mapping: a pixel in a smooth area counts QualitySmoothWeight times,
    // since there its error shows as a band, while on edges and texture it hides.
    Nearest,
    // Error diffusion: least error, then the entries on the rim of the colour set moved
    // outward (WidenForDiffusion), so that diffusion reaches the outermost colours.
    Diffusion,
};
inline constexpr int QualitySmoothWeight = 4;

// The fit for pixels mapped by `dither`: Nearest for dtNearest, Diffusion for
// dtClampedFloydSteinberg (crQuality's own diffusion), LeastError for the others.
constexpr TQualityFit QualityFitFor(TDitherMode dither) {
    return dither == dtNearest                 ? TQualityFit::Nearest
           : dither == dtClampedFloydSteinberg ? TQualityFit::Diffusion
                                               : TQualityFit::LeastError;
}

// A palette of at most `colors` (1..256, else "Invalid Bits Per Pixel value") entries for
// all pixels of `bitmaps` together, so that frames of one animation can share it. Pixels
// of colour `skip` (one that will be transparent) are left out. No pixels give an empty
// palette. Same pixels, same palette, on every machine. A picture with no more distinct
// colours than asked for keeps exactly its own colours whatever the fit.
HPALETTE CreateQualityPaletteFromManyBitmaps(std::span<const TBitmap* const> bitmaps, int colors,
                                             TColor skip = clNone,
                                             TQualityFit fit = TQualityFit::LeastError);
// The same for one bitmap.
HPALETTE CreateQualityPalette(const TBitmap& bitmap, int colors, TColor skip = clNone,
                              TQualityFit fit = TQualityFit::LeastError);

} // namespace gif
