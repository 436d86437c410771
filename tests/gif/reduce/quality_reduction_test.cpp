// crQuality: the least-error palette with exact nearest colours, and its two ditherers.
#include "gif/graphics/bitmap.h"
#include "gif/graphics/palettes.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/reduce/quality_palette.h"
#include "gif/reduce/reduce_colors.h"

#include <algorithm>
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

} // namespace
} // namespace gif
