// Colour reduction of a picture to 8 bits: the palette of the reduction method, the
// lookup that maps colours to it and the ditherer of the dither mode.
#pragma once

#include <memory>
#include <optional>

#include "gif/graphics/bitmap.h"
#include "gif/reduce/color_lookup.h"
#include "gif/reduce/dither_engine.h"
#include "gif/reduce/reduction.h"

namespace gif {

// Above this many pixels the result bitmap is first set to 1 bit per pixel while the
// reduced picture is being built.
inline constexpr int64_t LargeReductionPixels = 500000;

// A new bitmap holding `source` reduced by `method` and `dither`. crNone gives a 24-bit
// copy; every other method an 8-bit bitmap carrying the method's palette in a 256-entry
// colour table. A method or mode out of range, or a palette without colours (crCustom
// without a palette), gives an empty bitmap. `depth` (1..8, else "Invalid Bits Per Pixel
// value") limits crOptimized and crQuality to 2^depth colours. An empty source raises
// "Invalid image dimensions".
std::unique_ptr<TBitmap> ReduceColors(const TBitmap& source, TColorReduction method,
                                      TDitherMode dither, HPALETTE customPalette, int depth);

// The second half of ReduceColors: `source` mapped onto `palette`, which ReductionPalette
// made for `method`, through the method's lookup and the ditherer of `dither`. An 8-bit
// bitmap; an empty one for crNone, a method or mode out of range, or a palette without
// colours.
std::unique_ptr<TBitmap> ReduceToPalette(const TBitmap& source, TColorReduction method,
                                         TDitherMode dither, const HPALETTE& palette);

// The palette a method reduces to (built from `source` for the optimised methods, a copy of
// `customPalette` for crCustom); null for crNone and for methods out of range. `dither` is
// the mode the pixels will be mapped by, when known: crQuality fits its palette to it
// (QualityFitFor), and to no mode in particular without it; the other methods ignore it.
HPALETTE ReductionPalette(const TBitmap& source, TColorReduction method,
                          const HPALETTE& customPalette, int depth,
                          std::optional<TDitherMode> dither = std::nullopt);

// As ReductionPalette, for a picture that gets transparent pixels afterwards: crQuality
// then keeps one of 2^depth entries free for the transparent entry (at most 255 colours)
// and leaves out the pixels of colour `transparent` (clNone: none). Other methods are not
// affected.
HPALETTE ReductionPaletteForTransparency(const TBitmap& source, TColorReduction method,
                                         const HPALETTE& customPalette, int depth,
                                         TColor transparent,
                                         std::optional<TDitherMode> dither = std::nullopt);

// The lookup a method uses over `palette`; null for crNone and for methods out of range.
std::unique_ptr<TColorLookup> CreateColorLookup(TColorReduction method, const HPALETTE& palette);

// The ditherer a method maps its pixels with for `mode`: crQuality's error diffusion
// (dtClampedFloydSteinberg) is TQualityDitherer, tuned to its palettes; every other pair is
// CreateDitherer's. Null for a mode out of range.
std::unique_ptr<TDitherEngine> CreateReductionDitherer(TColorReduction method, TDitherMode mode,
                                                       int width, TColorLookup& lookup);

} // namespace gif
