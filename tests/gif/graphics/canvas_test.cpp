#include <gtest/gtest.h>

#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/graphics/palettes.h"

namespace gif {
namespace {

// A w x h 24-bit bitmap whose pixel (x, y) is RGB(x, y, tag).
TBitmap Coded(int w, int h, uint8_t tag = 0, TPixelFormat f = pf24bit) {
    TBitmap bmp(w, h, f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bmp.SetPixels(x, y, RGB(uint8_t(x), uint8_t(y), tag));
    return bmp;
}

TEST(CanvasTest, FillRectIsClippedToTheTarget) {
    for (TPixelFormat f : {pf24bit, pf32bit, pf8bit, pf1bit}) {
        TBitmap bmp(4, 3, f);
        bmp.Canvas().Brush.Color = clWhite;
        bmp.Canvas().FillRect(Rect(-5, 2, 2, 10));
        EXPECT_EQ(bmp.Pixels(0, 2), clWhite) << int(f);
        EXPECT_EQ(bmp.Pixels(1, 2), clWhite) << int(f);
        EXPECT_EQ(bmp.Pixels(2, 2), clBlack) << int(f);
        EXPECT_EQ(bmp.Pixels(0, 1), clBlack) << int(f);
    }
}

TEST(CanvasTest, StretchDrawSamplesTheNearestPixel) {
    TBitmap src = Coded(2, 2, 9);
    TBitmap dst(5, 5, pf24bit);
    dst.Canvas().StretchDraw(Rect(1, 1, 5, 5), src);   // 2x up
    EXPECT_EQ(dst.Pixels(0, 0), clBlack);
    EXPECT_EQ(dst.Pixels(1, 1), RGB(0, 0, 9));
    EXPECT_EQ(dst.Pixels(2, 2), RGB(0, 0, 9));
    EXPECT_EQ(dst.Pixels(3, 1), RGB(1, 0, 9));
    EXPECT_EQ(dst.Pixels(4, 4), RGB(1, 1, 9));

    TBitmap big = Coded(6, 4);
    TBitmap small(3, 2, pf32bit);
    small.Canvas().StretchDraw(Rect(0, 0, 3, 2), big);   // 2x down: every other pixel
    EXPECT_EQ(small.Pixels(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(small.Pixels(1, 0), RGB(2, 0, 0));
    EXPECT_EQ(small.Pixels(2, 1), RGB(4, 2, 0));
    EXPECT_EQ(small.ScanLine(1)[8], 0);   // blue, green, red, reserved
    EXPECT_EQ(small.ScanLine(1)[9], 2);
    EXPECT_EQ(small.ScanLine(1)[10], 4);
}

TEST(CanvasTest, DrawAndCopyRectClipAtEveryEdge) {
    TBitmap src = Coded(4, 4, 1);
    TBitmap dst(3, 3, pf24bit);
    dst.Canvas().Draw(-2, -1, src);
    EXPECT_EQ(dst.Pixels(0, 0), RGB(2, 1, 1));
    EXPECT_EQ(dst.Pixels(1, 2), RGB(3, 3, 1));
    EXPECT_EQ(dst.Pixels(2, 2), clBlack);   // outside the drawn rectangle: untouched

    TBitmap target(4, 4, pf24bit);
    // Source rectangle partly outside the source: those samples draw nothing.
    target.Canvas().CopyRect(Rect(0, 0, 4, 2), src.Canvas(), Rect(2, 1, 6, 3));
    EXPECT_EQ(target.Pixels(0, 0), RGB(2, 1, 1));
    EXPECT_EQ(target.Pixels(1, 1), RGB(3, 2, 1));
    EXPECT_EQ(target.Pixels(2, 0), clBlack);
}

TEST(CanvasTest, CopyRectOntoItselfReadsTheOriginalPixels) {
    TBitmap bmp = Coded(4, 1);
    bmp.Canvas().CopyRect(Rect(1, 0, 4, 1), bmp.Canvas(), Rect(0, 0, 3, 1));
    EXPECT_EQ(bmp.Pixels(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(bmp.Pixels(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(bmp.Pixels(2, 0), RGB(1, 0, 0));
    EXPECT_EQ(bmp.Pixels(3, 0), RGB(2, 0, 0));
}

TEST(CanvasTest, MaskedDrawLeavesMaskedPixelsUntouched) {
    TBitmap src = Coded(2, 2, 5, pf8bit);   // through the halftone table
    TBitmap mask(2, 2, pf1bit);
    mask.SetPixels(1, 0, clWhite);
    mask.SetPixels(0, 1, clWhite);
    for (TPixelFormat f : {pf24bit, pf32bit, pf8bit}) {
        TBitmap dst(4, 4, f);
        dst.Canvas().Brush.Color = clWhite;
        dst.Canvas().FillRect(dst.Canvas().ClipRect());
        dst.Canvas().MaskedStretchDraw(Rect(0, 0, 4, 4), src, mask);
        EXPECT_EQ(dst.Pixels(0, 0), src.Pixels(0, 0)) << int(f);
        EXPECT_EQ(dst.Pixels(3, 0), clWhite) << int(f);   // from source (1, 0): masked
        EXPECT_EQ(dst.Pixels(1, 3), clWhite) << int(f);
        EXPECT_EQ(dst.Pixels(3, 3), src.Pixels(1, 1)) << int(f);
    }
}

TEST(CanvasTest, UnscaledMaskedCopiesMatchPixelByPixel) {
    // Same-size draws into 24-bit targets take whole rows and mask bytes at a time: every
    // placement (clipped at each edge, source rectangles reaching past the source) and mask
    // (whole bytes set, clear and mixed, rows not a multiple of eight) must give what
    // drawing pixel by pixel gives.
    constexpr int W = 21, H = 5;
    uint32_t seed = 7;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    TBitmap mask(W, H, pf1bit);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            // Row 0 clear, row 1 set, runs across and along byte edges, then noise.
            const bool kept = y == 1 || (y == 2 && x >= 3 && x < 13) ||
                              (y == 3 && ((x >= 8 && x < 16) || x == 20)) ||
                              (y == 4 && next() % 3 == 0);
            mask.SetPixels(x, y, kept ? clWhite : clBlack);
        }
    for (TPixelFormat f : {pf8bit, pf24bit}) {
        TBitmap src(W, H, f);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                src.SetPixels(x, y, RGB(uint8_t(next()), uint8_t(next()), uint8_t(next())));
        struct Placement {
            TRect dest, source;
        };
        for (const Placement& p : {Placement{Rect(0, 0, W, H), Rect(0, 0, W, H)},
                                   Placement{Rect(-3, -2, W - 3, H - 2), Rect(0, 0, W, H)},
                                   Placement{Rect(9, 1, W + 9, H + 1), Rect(0, 0, W, H)},
                                   Placement{Rect(2, 0, 12, 4), Rect(5, 2, 15, 6)},
                                   Placement{Rect(0, 0, 10, 3), Rect(-4, -1, 6, 2)}}) {
            for (const TBitmap* m : std::initializer_list<const TBitmap*>{nullptr, &mask}) {
                TBitmap dst(26, 7, pf24bit);
                dst.Canvas().Brush.Color = RGB(1, 2, 3);
                dst.Canvas().FillRect(dst.Canvas().ClipRect());
                dst.Canvas().StretchBlt(p.dest, src, p.source, m);
                for (int y = 0; y < dst.Height(); ++y)
                    for (int x = 0; x < dst.Width(); ++x) {
                        const int sx = x - p.dest.Left + p.source.Left;
                        const int sy = y - p.dest.Top + p.source.Top;
                        const bool inside = x >= p.dest.Left && x < p.dest.Right &&
                                            y >= p.dest.Top && y < p.dest.Bottom && sx >= 0 &&
                                            sx < W && sy >= 0 && sy < H;
                        const bool drawn = inside && !(m && m->Pixels(sx, sy) == clWhite);
                        EXPECT_EQ(dst.Pixels(x, y), drawn ? src.Pixels(sx, sy) : RGB(1, 2, 3))
                            << int(f) << " " << p.dest.Left << "," << p.dest.Top << " mask "
                            << (m != nullptr) << " at " << x << "," << y;
                    }
            }
        }
    }
}

TEST(CanvasTest, TransparentBitmapDrawsThroughItsOwnMask) {
    TBitmap src(2, 1, pf24bit);
    src.SetPixels(0, 0, RGB(7, 7, 7));
    src.SetPixels(1, 0, RGB(200, 0, 0));
    src.SetTransparentColor(RGB(200, 0, 0));
    src.SetTransparent(true);
    TBitmap dst(2, 1, pf24bit);
    dst.SetPixels(1, 0, RGB(0, 0, 99));
    dst.Canvas().Draw(0, 0, src);
    EXPECT_EQ(dst.Pixels(0, 0), RGB(7, 7, 7));
    EXPECT_EQ(dst.Pixels(1, 0), RGB(0, 0, 99));
}

TEST(CanvasTest, IndexedTargetsKeepIndicesOrTakeTheNearestEntry) {
    auto pal = PaletteFromColors(std::vector<TColor>{clBlack, RGB(250, 0, 0), RGB(0, 0, 250)});
    TBitmap src(2, 1, pf8bit);
    src.SetPalette(pal);
    src.ScanLine(0)[0] = 2;
    src.ScanLine(0)[1] = 1;
    TBitmap same(2, 1, pf8bit);
    same.SetPalette(pal);
    same.Canvas().Draw(0, 0, src);
    EXPECT_EQ(same.ScanLine(0)[0], 2);
    EXPECT_EQ(same.ScanLine(0)[1], 1);

    TBitmap vga(2, 1, pf4bit);
    vga.Canvas().Draw(0, 0, src);
    EXPECT_EQ(vga.Pixels(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(vga.Pixels(1, 0), RGB(255, 0, 0));
}

TEST(CanvasTest, RasterOperationsCombineWithTheTarget) {
    TBitmap src(1, 1, pf24bit);
    src.SetPixels(0, 0, RGB(0xF0, 0x0F, 0xFF));
    TBitmap dst(1, 1, pf24bit);
    dst.SetPixels(0, 0, RGB(0xFF, 0xFF, 0x00));
    dst.Canvas().CopyMode = cmSrcInvert;
    dst.Canvas().Draw(0, 0, src);
    EXPECT_EQ(dst.Pixels(0, 0), RGB(0x0F, 0xF0, 0xFF));
    dst.Canvas().CopyMode = cmSrcAnd;
    dst.Canvas().Draw(0, 0, src);
    EXPECT_EQ(dst.Pixels(0, 0), RGB(0x00, 0x00, 0xFF));
}

TEST(CanvasTest, PixelAccessOutsideIsHarmless) {
    TBitmap bmp(2, 2, pf24bit);
    bmp.Canvas().SetPixels(5, 5, clWhite);
    bmp.Canvas().SetPixels(1, 1, clWhite);
    EXPECT_EQ(bmp.Canvas().Pixels(5, 5), clNone);
    EXPECT_EQ(bmp.Canvas().Pixels(1, 1), clWhite);
    TBitmap empty;
    empty.Canvas().StretchDraw(Rect(0, 0, 5, 5), bmp);   // nothing to draw on
    bmp.Canvas().StretchDraw(Rect(0, 0, 0, 5), bmp);
    EXPECT_EQ(bmp.Pixels(1, 1), clWhite);
}

} // namespace
} // namespace gif
