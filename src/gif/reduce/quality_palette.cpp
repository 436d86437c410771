#include "gif/reduce/quality_palette.h"

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/reduce/color_histogram.h"
#include "gif/reduce/dib.h"
#include "gif/reduce/exact_split.h"
#include "gif/reduce/kmeans_palette.h"
#include "gif/reduce/nearest_color_lookup.h"
#include "gif/reduce/variance_split.h"

#include <algorithm>
#include <array>

namespace gif {

namespace {

// Pixels visited by one pass over the pictures at most; larger pictures are sampled by rows.
constexpr uint64_t PixelsPerPass = uint64_t(1) << 20;

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
std::vector<TRGB> RefineOnPixels(std::span<const TBitmap* const> bitmaps, std::vector<TRGB> colors,
                                 int passes, int step, TColor skip) {
    const uint32_t skipped = skip == clNone ? 0xFFFFFFFF : RgbOf(skip);
    for (int pass = 0; pass < passes; ++pass) {
        TNearestColorLookup lookup(PaletteOf(colors));
        std::vector<std::array<uint64_t, 4>> totals(colors.size()); // count, red, green, blue
        for (const TBitmap* bitmap : bitmaps) {
            if (!bitmap || bitmap->Empty()) continue;
            TDIBReader reader(*bitmap, pf24bit);
            for (int y = 0; y < bitmap->Height(); y += step) {
                const uint8_t* p = reader.ScanLine(y);
                for (int x = 0; x < bitmap->Width(); ++x, p += 3) {
                    if ((uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]) == skipped) continue;
                    TRGB chosen;
                    std::array<uint64_t, 4>& t = totals[lookup.Lookup(p[2], p[1], p[0], chosen)];
                    t[0] += 1;
                    t[1] += p[2];
                    t[2] += p[1];
                    t[3] += p[0];
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
                                             TColor skip) {
    if (colors < 1 || colors > 256) throw GIFException(msg::InvalidBitsPerPixel);
    TColorHistogram histogram(colors);
    if (skip != clNone) histogram.SkipColor(RgbOf(skip));
    for (const TBitmap* bitmap : bitmaps)
        if (bitmap) histogram.AddBitmap(*bitmap);
    if (auto exact = histogram.ExactColors()) return PaletteOf(*exact);
    if (histogram.PixelCount() == 0) return std::make_shared<TPalette>();

    std::vector<TColorCell> cells = histogram.Cells();
    std::vector<TColorCell> boxes = SplitByVariance(cells, colors);
    const int step = std::max(int((histogram.PixelCount() + PixelsPerPass - 1) / PixelsPerPass), 1);
    if (int(boxes.size()) < colors) {
        // Every box is down to one 8 x 8 x 8 region and the palette still has room: the
        // colours crowd together, as in smooth gradients and flat drawings. There are few
        // enough of them then to cut and refine on the distinct colours themselves.
        std::vector<TColorCell> exact =
            CountExactColors(bitmaps, step, skip == clNone ? 0xFFFFFFFF : RgbOf(skip));
        std::vector<TRGB> found =
            RefineByKMeans(exact, SplitExactColors(exact, colors), QualityExactPasses);
        return PaletteOf(FillWithWorstServed(exact, std::move(found), colors));
    }
    std::vector<TRGB> found = RefineByKMeans(cells, boxes, QualityCellPasses);
    return PaletteOf(RefineOnPixels(bitmaps, found, QualityPixelPasses, step, skip));
}

HPALETTE CreateQualityPalette(const TBitmap& bitmap, int colors, TColor skip) {
    const TBitmap* one[] = {&bitmap};
    return CreateQualityPaletteFromManyBitmaps(one, colors, skip);
}

} // namespace gif
