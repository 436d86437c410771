// crQuality's error diffusion (TQualityDitherer) and the palettes fitted to how pixels are
// mapped: widened for diffusion, weighted to smooth areas for the nearest colour.
#include "gif/graphics/bitmap.h"
#include "gif/graphics/palettes.h"
#include "gif/reduce/clamped_floyd_steinberg.h"
#include "gif/reduce/dib.h"
#include "gif/reduce/fast_color_lookup.h"
#include "gif/reduce/nearest_color_lookup.h"
#include "gif/reduce/palette_widening.h"
#include "gif/reduce/quality_dither.h"
#include "gif/reduce/quality_palette.h"
#include "gif/reduce/reduce_colors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace gif {
namespace {

// Four corner colours blended across the picture: a smooth 2-D gradient whose outermost
// colours lie at its corners and borders.
TBitmap CornerGradient(int w, int h) {
    const int corners[4][3] = {{20, 40, 110}, {90, 60, 150}, {250, 140, 60}, {255, 210, 120}};
    TBitmap bmp(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double fx = double(x) / (w - 1), fy = double(y) / (h - 1);
            uint8_t c[3];
            for (int k = 0; k < 3; ++k) {
                double top = corners[0][k] * (1 - fx) + corners[1][k] * fx;
                double bottom = corners[2][k] * (1 - fx) + corners[3][k] * fx;
                c[k] = uint8_t(top * (1 - fy) + bottom * fy + 0.5);
            }
            bmp.SetPixels(x, y, RGB(c[0], c[1], c[2]));
        }
    return bmp;
}

// A photograph-like render: a smooth ramp with the same noise of +-8 levels on every
// channel, as a sensor gives.
TBitmap NoisyRamp(int w, int h) {
    TBitmap bmp(w, h, pf24bit);
    uint32_t s = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            int n = int(s >> 8) % 17 - 8;
            auto c = [&](int v) { return uint8_t(std::clamp(v + n, 0, 255)); };
            bmp.SetPixels(x, y, RGB(c(60 + 150 * x / w), c(90 + 100 * y / h), c(170 - 60 * x / w)));
        }
    return bmp;
}

// Pixels as red, green, blue per pixel, from a 24-bit source or an 8-bit result.
std::vector<int> Channels(const TBitmap& bmp) {
    std::vector<int> out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            TColor c = bmp.PixelFormat() == pf8bit ? bmp.ColorTable()->ColorAt(bmp.ScanLine(y)[x])
                                                   : bmp.Pixels(x, y);
            out.insert(out.end(), {int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))});
        }
    return out;
}

// Mean squared error per channel after a 3x3 box blur of both pictures (edges repeat the
// outer pixels), over the rows [top, bottom): how the result looks from a normal distance.
double BlurredError(const TBitmap& source, const TBitmap& out, int top = 0, int bottom = -1) {
    const int w = source.Width(), h = source.Height();
    if (bottom < 0) bottom = h;
    std::vector<int> a = Channels(source), b = Channels(out);
    double sum = 0;
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                int d = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        size_t i = (size_t(std::clamp(y + dy, 0, h - 1)) * size_t(w) +
                                    size_t(std::clamp(x + dx, 0, w - 1))) *
                                       3 +
                                   size_t(c);
                        d += a[i] - b[i];
                    }
                sum += (d / 9.0) * (d / 9.0);
                ++n;
            }
    return sum / n;
}

// The largest mean error of one channel over a band of `band` pixels along the picture's
// borders: a bias no blurring takes away.
double BorderBias(const TBitmap& source, const TBitmap& out, int band) {
    const int w = source.Width(), h = source.Height();
    std::vector<int> a = Channels(source), b = Channels(out);
    double worst = 0;
    // left, right, top, bottom bands
    const int boxes[4][4] = {
        {0, 0, band, h}, {w - band, 0, w, h}, {0, 0, w, band}, {0, h - band, w, h}};
    for (const auto& box : boxes)
        for (int c = 0; c < 3; ++c) {
            double sum = 0;
            int n = 0;
            for (int y = box[1]; y < box[3]; ++y)
                for (int x = box[0]; x < box[2]; ++x, ++n) {
                    size_t i = (size_t(y) * size_t(w) + size_t(x)) * 3 + size_t(c);
                    sum += b[i] - a[i];
                }
            worst = std::max(worst, std::abs(sum / n));
        }
    return worst;
}

// `source` mapped onto `palette` by a ditherer made for each row's width, as ReduceToPalette
// walks it.
template <typename Ditherer, typename Lookup>
TBitmap RunDitherer(const TBitmap& source, const HPALETTE& palette) {
    Lookup lookup(palette);
    Ditherer ditherer(source.Width(), lookup);
    TDIBReader reader(source, pf24bit);
    ditherer.Prepare(reader);
    TBitmap out(source.Width(), source.Height(), pf8bit);
    out.SetPalette(palette);
    for (int y = 0; y < source.Height(); ++y) {
        ditherer.DitherRow(reader.ScanLine(y), out.ScanLine(y));
        ditherer.NextLine();
    }
    return out;
}

std::vector<TColor> Entries(const HPALETTE& palette) {
    std::vector<TColor> out;
    for (int i = 0; i < palette->Count(); ++i)
        out.push_back(palette->ColorAt(i));
    return out;
}

TEST(QualityDiffusion, WidenedPaletteReachesTheGradientsBorders) {
    // 32 colours for a gradient spanning much of colour space: least-error entries sit half a
    // cluster inside its borders, and diffusion cannot show what lies outside them.
    TBitmap bmp = CornerGradient(256, 192);
    HPALETTE least = CreateQualityPalette(bmp, 32, clNone, TQualityFit::LeastError);
    HPALETTE widened = CreateQualityPalette(bmp, 32, clNone, TQualityFit::Diffusion);
    ASSERT_EQ(widened->Count(), least->Count());
    std::vector<TColor> w = Entries(widened);
    EXPECT_EQ(std::set<TColor>(w.begin(), w.end()).size(), w.size()) << "an entry is given twice";

    TBitmap fromLeast = RunDitherer<TQualityDitherer, TNearestColorLookup>(bmp, least);
    TBitmap fromWidened = RunDitherer<TQualityDitherer, TNearestColorLookup>(bmp, widened);
    const double before = BorderBias(bmp, fromLeast, 8), after = BorderBias(bmp, fromWidened, 8);
    EXPECT_LT(after, 0.9 * before) << before << " -> " << after;
    EXPECT_LT(BlurredError(bmp, fromWidened), 0.75 * BlurredError(bmp, fromLeast));
    // The reduction takes the widened palette for its own diffusion.
    auto reduced = ReduceColors(bmp, crQuality, dtClampedFloydSteinberg, nullptr, 5);
    EXPECT_EQ(Channels(*reduced), Channels(fromWidened));
}

TEST(QualityDiffusion, EntriesInsideThePaletteStayAndRimEntriesStayNearThePicture) {
    // A 5 x 5 x 5 grid of entries over a picture holding a cube of colours that reaches past
    // the grid on every side: the inner entries keep their places, the corners move outward
    // towards the picture's corners but not past them.
    std::vector<TRGB> grid;
    for (int r = 0; r < 5; ++r)
        for (int g = 0; g < 5; ++g)
            for (int b = 0; b < 5; ++b)
                grid.push_back({uint8_t(60 + 30 * r), uint8_t(60 + 30 * g), uint8_t(60 + 30 * b)});
    TBitmap cube(128, 128, pf24bit);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) // 40..200 on each channel
            cube.SetPixels(x, y,
                           RGB(uint8_t(40 + x * 160 / 127), uint8_t(40 + y * 160 / 127),
                               uint8_t(40 + ((x * 7 + y * 13) % 128) * 160 / 127)));
    const TBitmap* pictures[] = {&cube};
    std::vector<TRGB> widened = WidenForDiffusion(grid, pictures, 1, 0xFFFFFFFF);
    ASSERT_EQ(widened.size(), grid.size());
    for (size_t i = 0; i < grid.size(); ++i) {
        const bool inner = grid[i].Red > 60 && grid[i].Red < 180 && grid[i].Green > 60 &&
                           grid[i].Green < 180 && grid[i].Blue > 60 && grid[i].Blue < 180;
        if (inner) {
            EXPECT_EQ(widened[i], grid[i]) << "entry " << i;
        }
        for (uint8_t v : {widened[i].Red, widened[i].Green, widened[i].Blue}) {
            EXPECT_GE(v, 40) << "entry " << i;
            EXPECT_LE(v, 200) << "entry " << i;
        }
    }
    const TRGB low = widened[0], high = widened.back(); // (60,60,60) and (180,180,180)
    EXPECT_LT(low.Red, 60);
    EXPECT_LT(low.Blue, 60);
    EXPECT_GT(high.Green, 180);
    EXPECT_GT(high.Blue, 180);

    // Palettes too small to have a rim, and pixels all of the skipped colour, change nothing.
    const std::vector<TRGB> one{{10, 20, 30}};
    EXPECT_EQ(WidenForDiffusion(one, pictures, 1, 0xFFFFFFFF), one);
    EXPECT_EQ(WidenForDiffusion({}, pictures, 1, 0xFFFFFFFF), std::vector<TRGB>{});
    TBitmap flat(4, 4, pf24bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            flat.SetPixels(x, y, RGB(0, 255, 0));
    const TBitmap* flats[] = {&flat, nullptr};
    EXPECT_EQ(WidenForDiffusion(grid, flats, 3, 0x00FF00), grid);
}

TEST(QualityDiffusion, FineNoiseOnACoarsePaletteIsDitheredNotBanded) {
    // Noise of +-8 levels is busy by pixel differences alone, but fine beside the steps of a
    // 24-colour palette: left undithered, the ramp shows bands under the noise.
    TBitmap bmp = NoisyRamp(240, 160);
    HPALETTE palette = CreateQualityPalette(bmp, 24);
    TBitmap clamped =
        RunDitherer<TClampedFloydSteinbergDitherer, TNearestColorLookup>(bmp, palette);
    TBitmap quality = RunDitherer<TQualityDitherer, TNearestColorLookup>(bmp, palette);
    EXPECT_LT(BlurredError(bmp, quality), 0.8 * BlurredError(bmp, clamped));
}

TEST(QualityDiffusion, OtherReductionsKeepTheirPalettesAndDitherers) {
    TBitmap bmp = NoisyRamp(90, 60);
    // The other dither modes of crQuality keep the least-error palette.
    std::vector<TColor> least = Entries(CreateQualityPalette(bmp, 256));
    for (TDitherMode mode : {dtFloydSteinberg, dtStucki, dtBurkes, dtOrdered}) {
        auto out = ReduceColors(bmp, crQuality, mode, nullptr, 8);
        std::vector<TColor> table = Entries(out->ColorTable());
        table.resize(least.size());
        EXPECT_EQ(table, least) << "mode " << int(mode);
    }
    // Other methods with the clamped ditherer keep it, and their palettes.
    HPALETTE grays = MakeGray4Palette();
    EXPECT_EQ(Channels(*ReduceColors(bmp, crCustom, dtClampedFloydSteinberg, grays, 8)),
              Channels(RunDitherer<TClampedFloydSteinbergDitherer, TFastColorLookup>(bmp, grays)));
    HPALETTE octree = ReductionPalette(bmp, crOptimized, nullptr, 6, dtClampedFloydSteinberg);
    EXPECT_EQ(Entries(octree), Entries(ReductionPalette(bmp, crOptimized, nullptr, 6)));
    EXPECT_EQ(Channels(*ReduceToPalette(bmp, crOptimized, dtClampedFloydSteinberg, octree)),
              Channels(RunDitherer<TClampedFloydSteinbergDitherer, TFastColorLookup>(bmp, octree)));
    // A palette made without a mode in mind is the least-error one.
    EXPECT_EQ(Entries(ReductionPalette(bmp, crQuality, nullptr, 8)), least);
}

TEST(QualityNearest, SmoothAreasGetTheEntriesTheirBandsNeed) {
    // A drawing: a shaded title bar (a smooth gradient) above shapes with anti-aliased
    // edges, whose thousands of edge colours cover few pixels each. Mapped to the nearest
    // colour, the bar's errors show as bands while the edges' hide.
    TBitmap bmp(480, 300, pf24bit);
    const uint8_t flats[6][3] = {{244, 241, 234}, {31, 58, 95},    {224, 122, 95},
                                 {129, 178, 154}, {242, 204, 143}, {106, 76, 147}};
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 480; ++x) {
            if (y < 40) {
                bmp.SetPixels(x, y,
                              RGB(uint8_t(31 + 40 * x / 480), uint8_t(58 + 50 * x / 480),
                                  uint8_t(95 + 70 * x / 480 - y / 5)));
                continue;
            }
            // Rings of flat colours, anti-aliased over 4 x 4 samples.
            int sum[3] = {0, 0, 0};
            for (int s = 0; s < 16; ++s) {
                double dx = x + (s % 4 + 0.5) / 4 - 240, dy = y + (s / 4 + 0.5) / 4 - 170;
                const uint8_t* f = flats[int(std::sqrt(dx * dx + dy * dy) / 9) % 6];
                for (int c = 0; c < 3; ++c)
                    sum[c] += f[c];
            }
            bmp.SetPixels(x, y,
                          RGB(uint8_t(sum[0] / 16), uint8_t(sum[1] / 16), uint8_t(sum[2] / 16)));
        }
    HPALETTE least = CreateQualityPalette(bmp, 64, clNone, TQualityFit::LeastError);
    HPALETTE smooth = CreateQualityPalette(bmp, 64, clNone, TQualityFit::Nearest);
    auto fromLeast = ReduceToPalette(bmp, crQuality, dtNearest, least);
    auto fromSmooth = ReduceToPalette(bmp, crQuality, dtNearest, smooth);
    EXPECT_LT(BlurredError(bmp, *fromSmooth, 0, 40), 0.7 * BlurredError(bmp, *fromLeast, 0, 40));
    // The reduction to the nearest colour takes that palette.
    EXPECT_EQ(Channels(*ReduceColors(bmp, crQuality, dtNearest, nullptr, 6)),
              Channels(*fromSmooth));
    // Few colours are still kept exactly, whatever the fit.
    TBitmap few(12, 5, pf24bit);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x)
            few.SetPixels(x, y, RGB(uint8_t(x * 20), uint8_t(y * 50), 7));
    for (TQualityFit fit : {TQualityFit::Nearest, TQualityFit::Diffusion})
        EXPECT_EQ(CreateQualityPalette(few, 256, clNone, fit)->Count(), 60);
}

TEST(QualityDiffusion, TinyPicturesExtremeColoursAndOneColourPalettes) {
    // Every size from one pixel up, in the extreme colours that push the diffused values
    // hardest against their limits: each result is a valid index with the nearest colour
    // for a single pixel, and the same input gives the same output.
    for (auto [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 17}}) {
        TBitmap bmp(w, h, pf24bit);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bmp.SetPixels(x, y,
                              (x + y) % 3 == 0   ? clWhite
                              : (x + y) % 3 == 1 ? clBlack
                                                 : RGB(255, 0, 255));
        for (int depth : {1, 2, 8}) {
            auto a = ReduceColors(bmp, crQuality, dtClampedFloydSteinberg, nullptr, depth);
            auto b = ReduceColors(bmp, crQuality, dtClampedFloydSteinberg, nullptr, depth);
            ASSERT_EQ(a->PixelFormat(), pf8bit);
            const int entries = std::min(1 << depth, 3);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    EXPECT_LT(a->ScanLine(y)[x], entries) << w << "x" << h << " depth " << depth;
            EXPECT_EQ(Channels(*a), Channels(*b));
            if (depth == 8) {
                EXPECT_EQ(Channels(*a), Channels(bmp)) << "three colours kept exactly";
            }
        }
    }
    // A palette of one colour, and one of two equal colours: every pixel takes entry 0 and
    // the carried error stays bounded however long the row.
    TBitmap wide(4000, 3, pf24bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4000; ++x)
            wide.SetPixels(x, y, x % 2 ? clWhite : RGB(250, 250, 250));
    for (const auto& colors :
         {std::vector<TColor>{clBlack}, std::vector<TColor>{clBlack, clBlack}}) {
        HPALETTE palette = PaletteFromColors(colors);
        TBitmap out = RunDitherer<TQualityDitherer, TNearestColorLookup>(wide, palette);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4000; ++x)
                ASSERT_EQ(out.ScanLine(y)[x], 0);
    }
    // Black and white for mid-gray: about half the pixels white, as from any diffusion.
    TBitmap gray(64, 64, pf24bit);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            gray.SetPixels(x, y, RGB(128, 128, 128));
    TBitmap bw = RunDitherer<TQualityDitherer, TNearestColorLookup>(
        gray, PaletteFromColors(std::vector<TColor>{clBlack, clWhite}));
    int white = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            white += bw.ScanLine(y)[x];
    EXPECT_NEAR(white / 4096.0, 0.5, 0.04);
}

} // namespace
} // namespace gif
