#include "gif/reduce/animation_reduction.h"

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/reduce/dib.h"
#include "gif/reduce/dither_engine.h"
#include "gif/reduce/optimized_palette.h"
#include "gif/reduce/quality_palette.h"
#include "gif/reduce/reduce_colors.h"

#include <cstring>

namespace gif {

namespace {

HPALETTE SharedPalette(std::span<const TBitmap* const> frames, TColorReduction method,
                       TDitherMode dither, const HPALETTE& customPalette, int depth) {
    switch (method) {
    case crQuality:
    case crOptimized:
        if (depth < 1 || depth > 8) throw GIFException(msg::InvalidBitsPerPixel);
        return method == crQuality
                   ? CreateQualityPaletteFromManyBitmaps(frames, 1 << depth, clNone,
                                                         QualityFitFor(dither))
                   : CreateOptimizedPaletteFromManyBitmaps(frames, 1 << depth, 8, false);
    case crOptimizedSystem:
        return CreateOptimizedPaletteFromManyBitmaps(frames, 256, 8, true);
    default:
        return ReductionPalette(*frames.front(), method, customPalette, depth, dither);
    }
}

// One frame: every row is dithered as usual, then the pixels that did not change since
// the previous frame take back their earlier index. The ditherer's errors still follow
// its own choices, so the picture around the still pixels is dithered as before.
std::unique_ptr<TBitmap> ReduceFrame(const TBitmap& source, TColorReduction method,
                                     TColorLookup& lookup, TDitherMode dither,
                                     const HPALETTE& palette,
                                     const TDIBReader* previous, const TBitmap* previousResult) {
    const int width = source.Width(), height = source.Height();
    TDIBReader reader(source, pf24bit);
    std::unique_ptr<TDitherEngine> ditherer =
        CreateReductionDitherer(method, dither, width, lookup);
    ditherer->Prepare(reader);
    auto result = std::make_unique<TBitmap>();
    TDIBWriter writer(*result, pf8bit, width, height, palette);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = reader.ScanLine(y);
        uint8_t* dst = writer.ScanLine(y);
        ditherer->DitherRow(src, dst);
        ditherer->NextLine();
        if (!previous) continue;
        const uint8_t* before = previous->ScanLine(y);
        const uint8_t* kept = previousResult->ScanLine(y);
        for (int x = 0; x < width; ++x)
            if (std::memcmp(src + 3 * x, before + 3 * x, 3) == 0) dst[x] = kept[x];
    }
    writer.Commit();
    return result;
}

} // namespace

TReducedFrames ReduceFrames(std::span<const TBitmap* const> frames, TColorReduction method,
                            TDitherMode dither, const HPALETTE& customPalette, int depth) {
    TReducedFrames out;
    for (const TBitmap* frame : frames)
        if (!frame) throw GIFException(msg::UnsupportedReduction);
    if (method == crNone || method > LastColorReduction || dither > LastDitherMode)
        throw GIFException(msg::UnsupportedReduction);
    if (frames.empty()) return out;

    out.Palette = SharedPalette(frames, method, dither, customPalette, depth);
    std::unique_ptr<TColorLookup> lookup = CreateColorLookup(method, out.Palette);
    if (!lookup || lookup->Colors() == 0) throw GIFException(msg::UnsupportedReduction);

    std::unique_ptr<TDIBReader> previous;
    for (size_t i = 0; i < frames.size(); ++i) {
        const TBitmap& frame = *frames[i];
        const bool still =
            previous && previous->Width() == frame.Width() && previous->Height() == frame.Height();
        out.Frames.push_back(ReduceFrame(frame, method, *lookup, dither, out.Palette,
                                         still ? previous.get() : nullptr,
                                         still ? out.Frames.back().get() : nullptr));
        previous = std::make_unique<TDIBReader>(frame, pf24bit);
    }
    return out;
}

} // namespace gif
