// crQuality: the least-error palette with exact nearest colours, and its two ditherers.
#include "gif/base/exception.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/palettes.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/reduce/quality_palette.h"
#include "gif/reduce/reduce_colors.h"

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace gif {
namespace {

const TDitherMode QualityModes[] = {dtNearest, dtFloydSteinberg, dtClampedFloydSteinberg,
                                    dtOrdered};

// A photograph-like picture: smooth colour ramps with noise, far more than 256 colours.
TBitmap Photo(int w, int h, uint32_t seed = 1) {
    TBitmap bmp(w, h, pf24bit);
    uint32_t s = seed;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            int n = int(s >> 28) - 8;
            auto c = [&](int v) { return uint8_t(std::clamp(v + n, 0, 255)); };
            bmp.SetPixels(x, y, RGB(c(x * 255 / w), c(y * 255 / h), c(128 + (x - y) / 2)));
        }
    return bmp;
}

void Fill(TBitmap& bmp, int left, int top, int right, int bottom, TColor color) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            bmp.SetPixels(x, y, color);
}

// The colour each pixel of an 8-bit result shows.
std::vector<TColor> Shown(const TBitmap& out) {
    std::vector<TColor> colors;
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            colors.push_back(out.ColorTable()->ColorAt(out.ScanLine(y)[x]));
    return colors;
}

std::vector<TColor> Source(const TBitmap& bmp) {
    std::vector<TColor> colors;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            colors.push_back(bmp.Pixels(x, y));
    return colors;
}

// Mean squared error per channel of an 8-bit result against its source.
double MeanSquaredError(const TBitmap& source, const TBitmap& out) {
    double sum = 0;
    std::vector<TColor> a = Source(source), b = Shown(out);
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16}) {
            double d = double(a[i] >> shift & 0xFF) - double(b[i] >> shift & 0xFF);
            sum += d * d;
        }
    return sum / double(3 * a.size());
}

// A smooth gradient as drawn by a program: three colours blended along a slanted line, no
// noise. Hundreds of distinct colours, all within a few 8 x 8 x 8 regions of colour space.
TBitmap SmoothGradient(int w, int h) {
    // Along a slanted line from orange through blue to a light green.
    const double stops[3][3] = {{230, 120, 40}, {40, 90, 200}, {170, 230, 150}};
    TBitmap bmp(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double t = 2 * (x + 0.5 * y) / (w - 1 + 0.5 * (h - 1));
            int k = t < 1 ? 0 : 1;
            double f = t - k;
            auto mix = [&](int c) { return uint8_t(stops[k][c] * (1 - f) + stops[k + 1][c] * f + 0.5); };
            bmp.SetPixels(x, y, RGB(mix(0), mix(1), mix(2)));
        }
    return bmp;
}

int DistinctColors(const TBitmap& bmp) {
    std::vector<TColor> colors = Source(bmp);
    return int(std::set<TColor>(colors.begin(), colors.end()).size());
}

// The largest difference in any channel between a pixel and what the result shows.
int LargestChannelError(const TBitmap& source, const TBitmap& out) {
    int worst = 0;
    std::vector<TColor> a = Source(source), b = Shown(out);
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)));
    return worst;
}

TEST(QualityReduction, FewColoursAreKeptExactlyUnderEveryDitherer) {
    // 256 distinct colours scattered over a picture, and the 16 of depth 4 (fewer than asked
    // for is the same case).
    struct Case {
        int Colors;
        int Depth;
    };
    for (Case c : {Case{256, 8}, Case{16, 4}, Case{5, 8}}) {
        TBitmap bmp(37, 29, pf24bit);
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x) {
                int k = (x * 7 + y * 13) % c.Colors;
                bmp.SetPixels(x, y, RGB(uint8_t(k * 37), uint8_t(k * 11 + 3), uint8_t(255 - k)));
            }
        for (TDitherMode mode : QualityModes) {
            auto out = ReduceColors(bmp, crQuality, mode, nullptr, c.Depth);
            ASSERT_EQ(out->PixelFormat(), pf8bit);
            EXPECT_EQ(Shown(*out), Source(bmp)) << c.Colors << " colours, mode " << int(mode);
        }
        HPALETTE palette = CreateQualityPalette(bmp, 1 << c.Depth);
        EXPECT_EQ(palette->Count(), c.Colors);
    }
}

TEST(QualityReduction, OneColourPictureHasAOneEntryPalette) {
    TBitmap bmp(9, 4, pf24bit);
    Fill(bmp, 0, 0, 9, 4, RGB(12, 200, 99));
    HPALETTE palette = CreateQualityPalette(bmp, 256);
    ASSERT_EQ(palette->Count(), 1);
    EXPECT_EQ(palette->ColorAt(0), RGB(12, 200, 99));
    for (TDitherMode mode : QualityModes) {
        auto out = ReduceColors(bmp, crQuality, mode, nullptr, 8);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(out->ScanLine(y)[x], 0);
    }
}

TEST(QualityReduction, SameInputGivesTheSameOutput) {
    TBitmap bmp = Photo(120, 70);
    for (TDitherMode mode : QualityModes) {
        auto a = ReduceColors(bmp, crQuality, mode, nullptr, 8);
        auto b = ReduceColors(TBitmap(bmp), crQuality, mode, nullptr, 8);
        EXPECT_EQ(Shown(*a), Shown(*b)) << int(mode);
        EXPECT_TRUE(
            std::equal(a->Bits().begin(), a->Bits().end(), b->Bits().begin(), b->Bits().end()));
    }
}

TEST(QualityReduction, PaletteHasAtMostTheColoursAskedForAndBeatsTheOctree) {
    TBitmap bmp = Photo(160, 90);
    for (int depth : {3, 6, 8}) {
        auto quality = ReduceColors(bmp, crQuality, dtNearest, nullptr, depth);
        auto octree = ReduceColors(bmp, crOptimized, dtNearest, nullptr, depth);
        std::set<int> used;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x)
                used.insert(quality->ScanLine(y)[x]);
        EXPECT_LE(int(used.size()), 1 << depth);
        EXPECT_LE(CreateQualityPalette(bmp, 1 << depth)->Count(), 1 << depth);
        EXPECT_LT(MeanSquaredError(bmp, *quality), MeanSquaredError(bmp, *octree)) << depth;
    }
}

TEST(QualityReduction, ClampedDiffusionDoesNotSmearAnUnreachableColour) {
    // Pure red beside mid-gray, with a palette of grays only: the red's large error must
    // not run on into the gray half, which the palette shows exactly.
    TBitmap bmp(40, 12, pf24bit);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 40; ++x)
            bmp.SetPixels(x, y, x < 20 ? RGB(255, 0, 0) : RGB(128, 128, 128));
    auto grays = PaletteFromColors(std::vector<TColor>{clBlack, RGB(128, 128, 128), clWhite});
    auto out = ReduceColors(bmp, crCustom, dtClampedFloydSteinberg, grays, 8);
    for (int y = 0; y < 12; ++y)
        for (int x = 24; x < 40; ++x)
            EXPECT_EQ(out->ScanLine(y)[x], 1) << x << "," << y;
}

TEST(QualityReduction, DitherersKeepTheMeanOfAFlatColourBetweenTwoEntries) {
    // A quarter of the way from black to white: a quarter of the pixels should be white.
    TBitmap bmp(64, 64, pf24bit);
    Fill(bmp, 0, 0, 64, 64, RGB(64, 64, 64));
    auto bw = PaletteFromColors(std::vector<TColor>{clBlack, clWhite});
    for (TDitherMode mode : {dtClampedFloydSteinberg, dtOrdered}) {
        auto out = ReduceColors(bmp, crCustom, mode, bw, 8);
        int white = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                white += out->ScanLine(y)[x];
        EXPECT_NEAR(white / 4096.0, 0.25, 0.04) << int(mode);
    }
}

TEST(QualityReduction, TransparencyIsKeptWhenAFrameIsConverted) {
    TGIFImage image;
    image.ReductionMethod = crQuality;
    image.DitherMethod = BestDitherMode(crQuality);
    TBitmap bmp = Photo(50, 30);
    Fill(bmp, 10, 5, 20, 15, RGB(0, 255, 0));
    bmp.SetTransparentColor(RGB(0, 255, 0));
    bmp.SetTransparent(true);
    TGIFSubImage& frame = *image.Frame(image.AddFrame(&bmp));
    ASSERT_TRUE(frame.IsTransparent());
    ASSERT_NE(frame.ControlBlock(), nullptr);
    int transparent = frame.ControlBlock()->TransparentIndex();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x) {
            bool inside = x >= 10 && x < 20 && y >= 5 && y < 15;
            EXPECT_EQ(frame.PixelAt(x, y) == transparent, inside) << x << "," << y;
        }
}

TEST(QualityReduction, SmoothGradientFillsThePaletteAndShowsNoSteps) {
    TBitmap bmp = SmoothGradient(320, 240);
    ASSERT_GT(DistinctColors(bmp), 500);
    HPALETTE palette = CreateQualityPalette(bmp, 256);
    EXPECT_EQ(palette->Count(), 256);
    std::set<TColor> entries;
    for (int i = 0; i < palette->Count(); ++i)
        entries.insert(palette->ColorAt(i));
    EXPECT_EQ(int(entries.size()), palette->Count()) << "an entry is given twice";
    // With 256 entries for a few hundred colours, no pixel is more than a level or two off.
    auto out = ReduceColors(bmp, crQuality, dtNearest, nullptr, 8);
    EXPECT_LE(LargestChannelError(bmp, *out), 2);
    EXPECT_LT(MeanSquaredError(bmp, *out), 0.3);
    // Smaller palettes are filled too.
    for (int colors : {2, 16, 100})
        EXPECT_EQ(CreateQualityPalette(bmp, colors)->Count(), colors) << colors;
}

TEST(QualityReduction, PhotographFillsThePalette) {
    TBitmap bmp = Photo(160, 90);
    for (int colors : {8, 64, 256})
        EXPECT_EQ(CreateQualityPalette(bmp, colors)->Count(), colors) << colors;
}

TEST(QualityReduction, FlatAreasKeepTheirColoursWhenTheEdgesAreTooMany) {
    // Twelve flat colours in large areas, and a border of 300 distinct shades one pixel
    // each: the flat colours must be shown exactly, the shades by their nearest entries.
    TBitmap bmp(300, 120, pf24bit);
    const TColor flat[12] = {RGB(250, 248, 240), RGB(30, 58, 95),   RGB(224, 122, 95),
                             RGB(61, 64, 91),    RGB(129, 178, 154), RGB(242, 204, 143),
                             RGB(255, 255, 255), RGB(0, 0, 0),       RGB(214, 40, 40),
                             RGB(0, 48, 73),     RGB(252, 191, 73),  RGB(106, 76, 147)};
    for (int k = 0; k < 12; ++k)
        Fill(bmp, k * 25, 1, k * 25 + 25, 120, flat[k]);
    for (int x = 0; x < 300; ++x)
        bmp.SetPixels(x, 0, RGB(uint8_t(100 + x / 6), uint8_t(120 + x % 6), 128));
    ASSERT_EQ(DistinctColors(bmp), 312);
    auto out = ReduceColors(bmp, crQuality, dtNearest, nullptr, 8);
    EXPECT_EQ(out->ColorTable()->Count(), 256);
    std::vector<TColor> source = Source(bmp), shown = Shown(*out);
    for (size_t i = 300; i < source.size(); ++i)
        ASSERT_EQ(shown[i], source[i]) << "pixel " << i;
    EXPECT_LE(LargestChannelError(bmp, *out), 1);
}

TEST(QualityReduction, TinyAndNarrowPicturesAndSmallRequests) {
    // A single row of 300 colours on one line through colour space: 256 entries, each
    // pixel one level off at most.
    TBitmap row(300, 1, pf24bit);
    for (int x = 0; x < 300; ++x)
        row.SetPixels(x, 0, RGB(uint8_t(x * 255 / 299), uint8_t(40 + x / 10), 77));
    EXPECT_EQ(CreateQualityPalette(row, 256)->Count(), 256);
    EXPECT_LE(LargestChannelError(row, *ReduceColors(row, crQuality, dtNearest, nullptr, 8)), 1);

    // Two colours asked of a gradient from black to white: one dark, one light.
    TBitmap ramp(256, 3, pf24bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 256; ++x)
            ramp.SetPixels(x, y, RGB(uint8_t(x), uint8_t(x), uint8_t(x)));
    HPALETTE two = CreateQualityPalette(ramp, 2);
    ASSERT_EQ(two->Count(), 2);
    int a = GetRValue(two->ColorAt(0)), b = GetRValue(two->ColorAt(1));
    EXPECT_NEAR(std::min(a, b), 64, 3);
    EXPECT_NEAR(std::max(a, b), 191, 3);

    // One colour: the mean of the picture.
    HPALETTE one = CreateQualityPalette(ramp, 1);
    ASSERT_EQ(one->Count(), 1);
    EXPECT_NEAR(GetGValue(one->ColorAt(0)), 128, 1);

    // Two pixels, two colours, whatever is asked for.
    TBitmap pair(2, 1, pf24bit);
    pair.SetPixels(0, 0, RGB(1, 2, 3));
    pair.SetPixels(1, 0, RGB(1, 2, 4));
    for (int colors : {2, 3, 256}) {
        HPALETTE p = CreateQualityPalette(pair, colors);
        ASSERT_EQ(p->Count(), 2) << colors;
        EXPECT_NE(p->ColorAt(0), p->ColorAt(1));
    }
    EXPECT_THROW(CreateQualityPalette(pair, 0), GIFException);
    EXPECT_THROW(CreateQualityPalette(pair, 257), GIFException);
    EXPECT_THROW(CreateQualityPalette(pair, -5), GIFException);
}

TEST(QualityReduction, SkippedColourGetsNoEntryInAGradient) {
    TBitmap bmp = SmoothGradient(200, 100);
    const TColor key = RGB(0, 255, 0);
    Fill(bmp, 50, 20, 150, 80, key);
    HPALETTE palette = CreateQualityPalette(bmp, 255, key);
    EXPECT_EQ(palette->Count(), 255);
    // Every entry lies on the gradient: none is pulled towards the skipped colour.
    std::vector<TColor> source = Source(bmp);
    std::set<TColor> shades(source.begin(), source.end());
    shades.erase(key);
    for (int i = 0; i < palette->Count(); ++i) {
        TColor c = palette->ColorAt(i);
        int nearest = 255;
        for (TColor s : shades) {
            int d = 0;
            for (int shift : {0, 8, 16})
                d = std::max(d, std::abs(int(c >> shift & 0xFF) - int(s >> shift & 0xFF)));
            nearest = std::min(nearest, d);
        }
        EXPECT_LE(nearest, 2) << "entry " << i;
    }
}

TEST(QualityReduction, SampledRowsHoldingOnlyTheSkippedColour) {
    // Large enough to be sampled every second row, and every second row is the colour
    // left out: the palette still comes from the other rows.
    TBitmap bmp(2048, 1040, pf24bit);
    const TColor key = RGB(255, 0, 255);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            bmp.SetPixels(x, y, y % 2 == 0 ? key : RGB(uint8_t(x / 8), uint8_t(y / 5), 90));
    HPALETTE palette = CreateQualityPalette(bmp, 256, key);
    ASSERT_GT(palette->Count(), 200);
    for (int i = 0; i < palette->Count(); ++i)
        EXPECT_NE(palette->ColorAt(i), key);
}

TEST(QualityReduction, FramesShareOnePaletteThatServesEach) {
    // Two frames of gradients in different hues: neither may be left without entries.
    TBitmap warm(160, 60, pf24bit), cold(160, 60, pf24bit);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 160; ++x) {
            warm.SetPixels(x, y, RGB(uint8_t(120 + x / 2), uint8_t(40 + y), 20));
            cold.SetPixels(x, y, RGB(20, uint8_t(40 + y), uint8_t(120 + x / 2)));
        }
    const TBitmap* frames[] = {&warm, &cold};
    HPALETTE palette = CreateQualityPaletteFromManyBitmaps(frames, 256);
    EXPECT_EQ(palette->Count(), 256);
    for (const TBitmap* frame : frames) {
        auto out = ReduceToPalette(*frame, crQuality, dtNearest, palette);
        EXPECT_LT(MeanSquaredError(*frame, *out), 3);
    }
    const TBitmap* again[] = {&warm, &cold};
    EXPECT_EQ(Shown(*ReduceToPalette(warm, crQuality, dtNearest,
                                     CreateQualityPaletteFromManyBitmaps(again, 256))),
              Shown(*ReduceToPalette(warm, crQuality, dtNearest, palette)));
}

} // namespace
} // namespace gif
