#include "gif/reduce/quality_palette.h"

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/reduce/color_histogram.h"
#include "gif/reduce/dib.h"
#include "gif/reduce/exact_split.h"
#include "gif/reduce/kmeans_palette.h"
#include "gif/reduce/nearest_color_lookup.h"
#include "gif/reduce/palette_widening.h"
#include "gif/reduce/variance_split.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace gif {

namespace {

// Pixels visited by one pass over the pictures at most; larger pictures are sampled by rows.
constexpr uint64_t PixelsPerPass = uint64_t(1) << 20;
// Pictures with more distinct colours than this, or spread over more 8 x 8 x 8 regions,
// are refined on their pixels instead: memory and time stay bounded.
constexpr size_t MaxExactColors = size_t(1) << 18;
constexpr size_t MaxExactRegions = 4096;
// Pictures sampled more sparsely than every second row are refined on their pixels.
constexpr int MaxExactStep = 2;
// Colours visited by the passes over the distinct colours of a picture that is not crowded.
constexpr uint64_t ExactVisits = uint64_t(1) << 19;

// A colour as 0xRRGGBB, the order of the histogram.
uint32_t RgbOf(TColor c) {
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

HPALETTE PaletteOf(const std::vector<TRGB>& colors) {
    auto palette = std::make_shared<TPalette>();
    for (const TRGB& c : colors)
        palette->Entries.push_back({c.Red, c.Green, c.Blue, 0});
    return palette;
}

// k-means passes over the pixels themselves (every `step`-th row): the histogram's cells
// are 4 levels wide, coarse where palette colours lie close together, as in gradients.
// Pixels in smooth areas count `smoothWeight` times.
std::vector<TRGB> RefineOnPixels(std::span<const TBitmap* const> bitmaps, std::vector<TRGB> colors,
                                 int passes, int step, TColor skip, int smoothWeight) {
    const uint32_t skipped = skip == clNone ? 0xFFFFFFFF : RgbOf(skip);
    for (int pass = 0; pass < passes; ++pass) {
        TNearestColorLookup lookup(PaletteOf(colors));
        std::vector<std::array<uint64_t, 4>> totals(colors.size()); // count, red, green, blue
        for (const TBitmap* bitmap : bitmaps) {
            if (!bitmap || bitmap->Empty()) continue;
            TDIBReader reader(*bitmap, pf24bit);
            for (int y = 0; y < bitmap->Height(); y += step) {
                const uint8_t* row = reader.ScanLine(y);
                const uint8_t* above = y > 0 ? reader.ScanLine(y - 1) : row;
                const uint8_t* p = row;
                for (int x = 0; x < bitmap->Width(); ++x, p += 3) {
                    if ((uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]) == skipped) continue;
                    TRGB chosen;
                    std::array<uint64_t, 4>& t = totals[lookup.Lookup(p[2], p[1], p[0], chosen)];
                    const uint64_t w =
                        smoothWeight > 1 && IsSmoothPixel(p, x > 0 ? p - 3 : p, above + 3 * x)
                            ? uint64_t(smoothWeight)
                            : 1;
                    t[0] += w;
                    t[1] += w * p[2];
                    t[2] += w * p[1];
                    t[3] += w * p[0];
                }
            }
        }
        for (size_t i = 0; i < colors.size(); ++i) {
            const std::array<uint64_t, 4>& t = totals[i];
            if (t[0] == 0) continue;
            auto mean = [&](uint64_t sum) { return uint8_t((sum + t[0] / 2) / t[0]); };
            colors[i] = {mean(t[1]), mean(t[2]), mean(t[3])};
        }
    }
    std::vector<TRGB> out; // two colours may have moved onto one
    for (const TRGB& c : colors)
        if (std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
    return out;
}

} // namespace

HPALETTE CreateQualityPaletteFromManyBitmaps(std::span<const TBitmap* const> bitmaps, int colors,
                                             TColor skip, TQualityFit fit) {
    if (colors < 1 || colors > 256) throw GIFException(msg::InvalidBitsPerPixel);
    TColorHistogram histogram(colors);
    const uint32_t skipped = skip == clNone ? 0xFFFFFFFF : RgbOf(skip);
    if (skip != clNone) histogram.SkipColor(skipped);
    for (const TBitmap* bitmap : bitmaps)
        if (bitmap) histogram.AddBitmap(*bitmap);
    if (auto exact = histogram.ExactColors()) return PaletteOf(*exact);
    if (histogram.PixelCount() == 0) return std::make_shared<TPalette>();

    const int smoothWeight = fit == TQualityFit::Nearest ? QualitySmoothWeight : 1;
    std::vector<TColorCell> cells = histogram.Cells();
    std::vector<TColorCell> boxes = SplitByVariance(cells, colors);
    const int step = std::max(int((histogram.PixelCount() + PixelsPerPass - 1) / PixelsPerPass), 1);
    // Error diffusion needs the palette to reach the outermost colours; the pixels that tell
    // how far they lie are read at least every second row.
    auto finish = [&](std::vector<TRGB> found) {
        if (fit == TQualityFit::Diffusion)
            found = WidenForDiffusion(std::move(found), bitmaps, std::max(step, 2), skipped);
        return PaletteOf(found);
    };
    // Every box down to one 8 x 8 x 8 region with room left in the palette: the colours
    // crowd together, as in smooth gradients and flat drawings, and the histogram's cells
    // are too coarse to tell them apart.
    const bool crowded = int(boxes.size()) < colors;
    // The split and the refinement are finer on the distinct colours themselves, where there
    // are not too many of them (a crowded picture has at most 255 regions' worth) and they
    // stand for most rows: a sparse sample of many frames is better served by the histogram
    // of every pixel.
    std::optional<std::vector<TColorCell>> exact;
    if (crowded || step <= MaxExactStep)
        exact = CountExactColors(bitmaps, step, skipped, crowded ? SIZE_MAX : MaxExactColors,
                                 crowded ? SIZE_MAX : MaxExactRegions, smoothWeight);
    // Sampled rows may hold nothing but the skipped colour: then the pixels decide.
    if (!exact || exact->empty()) {
        std::vector<TRGB> found = RefineByKMeans(cells, boxes, QualityCellPasses);
        return finish(RefineOnPixels(bitmaps, found, QualityPixelPasses, step, skip, smoothWeight));
    }
    boxes = SplitExactColors(*exact, colors);
    int passes = QualityExactPasses;
    if (!crowded && smoothWeight > 1) {
        // The cells count every pixel alike: all passes weigh the colours.
        passes = int(std::clamp<uint64_t>(ExactVisits / exact->size(), 2, QualityFinishPasses));
    } else if (!crowded) {
        // Most of the work is done cheaply on the cells; then a few passes, fewer the more
        // colours there are, on the colours.
        std::vector<TRGB> found = RefineByKMeans(cells, boxes, QualityCellPasses);
        boxes.clear();
        for (const TRGB& c : found) {
            TColorCell seed;
            seed.Count = 1;
            seed.Sum = {c.Red, c.Green, c.Blue};
            boxes.push_back(seed);
        }
        passes = int(std::clamp<uint64_t>(ExactVisits / exact->size(), 2, QualityFinishPasses));
    }
    std::vector<TRGB> found = RefineByKMeans(*exact, boxes, passes);
    return finish(FillWithWorstServed(*exact, std::move(found), colors));
}

HPALETTE CreateQualityPalette(const TBitmap& bitmap, int colors, TColor skip, TQualityFit fit) {
    const TBitmap* one[] = {&bitmap};
    return CreateQualityPaletteFromManyBitmaps(one, colors, skip, fit);
}

} // namespace gif
