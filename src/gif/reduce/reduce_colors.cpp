#include "gif/reduce/reduce_colors.h"

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/graphics/palettes.h"
#include "gif/reduce/dib.h"
#include "gif/reduce/dither_engine.h"
#include "gif/reduce/fast_color_lookup.h"
#include "gif/reduce/nearest_color_lookup.h"
#include "gif/reduce/optimized_palette.h"
#include "gif/reduce/quality_dither.h"
#include "gif/reduce/quality_palette.h"

#include <algorithm>

namespace gif {

namespace {

TQualityFit Fit(std::optional<TDitherMode> dither) {
    return dither ? QualityFitFor(*dither) : TQualityFit::LeastError;
}

} // namespace

HPALETTE ReductionPalette(const TBitmap& source, TColorReduction method,
                          const HPALETTE& customPalette, int depth,
                          std::optional<TDitherMode> dither) {
    switch (method) {
    case crNone: return nullptr;
    case crSystem20: return MakeSystemPalette20();
    case crHalftone: return MakeHalftonePalette();
    case crGray4: return MakeGray4Palette();
    case crMonochrome: return MakeMonochromePalette();
    case crGray256: return MakeGray256Palette();
    case crWeb216: return MakeWebPalette();
    case crOptimized:
        if (depth < 1 || depth > 8) throw GIFException(msg::InvalidBitsPerPixel);
        return CreateOptimizedPalette(source, 1 << depth, 8, false);
    case crOptimizedSystem: return CreateOptimizedPalette(source, 256, 8, true);
    case crCustom: return customPalette ? CopyPalette(customPalette) : std::make_shared<TPalette>();
    case crQuality:
        if (depth < 1 || depth > 8) throw GIFException(msg::InvalidBitsPerPixel);
        return CreateQualityPalette(source, 1 << depth, clNone, Fit(dither));
    }
    return nullptr;
}

HPALETTE ReductionPaletteForTransparency(const TBitmap& source, TColorReduction method,
                                         const HPALETTE& customPalette, int depth,
                                         TColor transparent,
                                         std::optional<TDitherMode> dither) {
    if (method != crQuality) return ReductionPalette(source, method, customPalette, depth, dither);
    if (depth < 1 || depth > 8) throw GIFException(msg::InvalidBitsPerPixel);
    HPALETTE palette = CreateQualityPalette(source, std::min(1 << depth, 255), transparent,
                                            Fit(dither));
    // A picture of nothing but the transparent colour still needs a colour.
    return palette->Count() > 0 ? palette : CreateQualityPalette(source, 1);
}

std::unique_ptr<TColorLookup> CreateColorLookup(TColorReduction method, const HPALETTE& palette) {
    switch (method) {
    case crNone: return nullptr;
    case crMonochrome: return std::make_unique<TMonochromeLookup>();
    case crGray256: return std::make_unique<TGrayScaleLookup>();
    case crWeb216: return std::make_unique<TNetscapeColorLookup>();
    case crSystem20:
    case crHalftone:
    case crGray4:
    case crOptimized:
    case crOptimizedSystem:
    case crCustom: return std::make_unique<TFastColorLookup>(palette);
    case crQuality:
        return std::make_unique<TNearestColorLookup>(palette);
    }
    return nullptr;
}

std::unique_ptr<TDitherEngine> CreateReductionDitherer(TColorReduction method, TDitherMode mode,
                                                       int width, TColorLookup& lookup) {
    if (method == crQuality && mode == dtClampedFloydSteinberg)
        return std::make_unique<TQualityDitherer>(width, lookup);
    return CreateDitherer(mode, width, lookup);
}

std::unique_ptr<TBitmap> ReduceToPalette(const TBitmap& source, TColorReduction method,
                                         TDitherMode dither, const HPALETTE& palette) {
    auto result = std::make_unique<TBitmap>();
    if (method == crNone || method > LastColorReduction || dither > LastDitherMode) return result;
    int width = source.Width(), height = source.Height();
    if (int64_t(width) * height > LargeReductionPixels) result->SetPixelFormat(pf1bit);

    TDIBReader reader(source, pf24bit);
    std::unique_ptr<TColorLookup> lookup = CreateColorLookup(method, palette);
    if (!lookup || lookup->Colors() == 0) return std::make_unique<TBitmap>();
    std::unique_ptr<TDitherEngine> ditherer =
        CreateReductionDitherer(method, dither, width, *lookup);
    ditherer->Prepare(reader);
    TDIBWriter writer(*result, pf8bit, width, height, palette);

    for (int y = 0; y < height; ++y) {
        const uint8_t* src = reader.ScanLine(y);
        uint8_t* dst = writer.ScanLine(y);
        ditherer->DitherRow(src, dst);   // from the ditherer's column in its direction
        ditherer->NextLine();
    }
    writer.Commit();
    return result;
}

std::unique_ptr<TBitmap> ReduceColors(const TBitmap& source, TColorReduction method,
                                      TDitherMode dither, HPALETTE customPalette, int depth) {
    auto result = std::make_unique<TBitmap>();
    if (method > LastColorReduction || dither > LastDitherMode) return result;
    if (method == crNone) {
        *result = source;
        result->SetPixelFormat(pf24bit);
        return result;
    }
    HPALETTE palette = ReductionPalette(source, method, customPalette, depth, dither);
    return ReduceToPalette(source, method, dither, palette);
}

} // namespace gif
