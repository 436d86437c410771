#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/graphics/icon.h"
#include "gif/graphics/palettes.h"
#include "gif/graphics/picture.h"

namespace gif {
namespace {

const TPixelFormat AllFormats[] = {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit};

TEST(BitmapTest, StorageLayoutPerFormat) {
    // Stride: bits rounded up to whole 32-bit words.
    EXPECT_EQ(BytesPerScanLine(33, pf1bit), 8);
    EXPECT_EQ(BytesPerScanLine(9, pf4bit), 8);
    EXPECT_EQ(BytesPerScanLine(5, pf8bit), 8);
    EXPECT_EQ(BytesPerScanLine(3, pf15bit), 8);
    EXPECT_EQ(BytesPerScanLine(3, pf24bit), 12);
    EXPECT_EQ(BytesPerScanLine(3, pf32bit), 12);

    TBitmap bmp(2, 2, pf24bit);
    bmp.SetPixels(1, 0, RGB(10, 20, 30));
    const uint8_t* row = bmp.ScanLine(0);
    EXPECT_EQ(row[3], 30);   // blue first
    EXPECT_EQ(row[4], 20);
    EXPECT_EQ(row[5], 10);

    TBitmap mono(10, 1, pf1bit);
    mono.SetPixels(1, 0, clWhite);
    EXPECT_EQ(mono.ScanLine(0)[0], 0x40);   // leftmost pixel in the top bit
    TBitmap nibbles(2, 1, pf4bit);
    nibbles.SetPixels(0, 0, RGB(255, 0, 0));   // VGA entry 9
    EXPECT_EQ(nibbles.ScanLine(0)[0], 0x90);
    EXPECT_THROW(bmp.ScanLine(2), GIFException);
    EXPECT_THROW(bmp.ScanLine(-1), GIFException);
}

TEST(BitmapTest, PixelsRoundTripInEveryFormat) {
    for (TPixelFormat f : AllFormats) {
        TBitmap bmp(3, 2, f);
        // Colours every format stores exactly (in every default table, too).
        bmp.SetPixels(0, 0, clWhite);
        bmp.SetPixels(2, 1, clWhite);
        EXPECT_EQ(bmp.Pixels(0, 0), clWhite) << int(f);
        EXPECT_EQ(bmp.Pixels(1, 0), clBlack) << int(f);
        EXPECT_EQ(bmp.Pixels(2, 1), clWhite) << int(f);
        EXPECT_EQ(bmp.Pixels(3, 0), clNone);
    }
    TBitmap hi(1, 1, pf16bit);
    hi.SetPixels(0, 0, RGB(0xF8, 0xFC, 0x08));
    EXPECT_EQ(hi.PixelValue(0, 0), 0xFFE1u);
    EXPECT_EQ(hi.Pixels(0, 0), RGB(0xFF, 0xFF, 0x08));   // 5/6 bits widened by repetition
    TBitmap lo(1, 1, pf15bit);
    lo.SetPixels(0, 0, RGB(0x80, 0x40, 0x08));
    EXPECT_EQ(lo.PixelValue(0, 0), uint32_t((16 << 10) | (8 << 5) | 1));
    EXPECT_EQ(lo.Pixels(0, 0), RGB(0x84, 0x42, 0x08));
}

TEST(BitmapTest, IndicesPastTheColorTableReadAsBlack) {
    TBitmap bmp(1, 1, pf8bit);
    bmp.SetPalette(PaletteFromColors(std::vector<TColor>{RGB(1, 2, 3), RGB(4, 5, 6)}));
    bmp.ScanLine(0)[0] = 200;
    EXPECT_EQ(bmp.Pixels(0, 0), clBlack);
    bmp.ScanLine(0)[0] = 1;
    EXPECT_EQ(bmp.Pixels(0, 0), RGB(4, 5, 6));
}

TEST(BitmapTest, ResizeKeepsTopLeftPixelsAndClearsNewOnes) {
    for (TPixelFormat f : AllFormats) {
        TBitmap bmp(3, 3, f);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) bmp.SetPixels(x, y, clWhite);
        bmp.SetSize(2, 2);
        bmp.SetSize(5, 4);
        EXPECT_EQ(bmp.Pixels(1, 1), clWhite) << int(f);
        EXPECT_EQ(bmp.Pixels(2, 1), clBlack) << int(f);
        EXPECT_EQ(bmp.Pixels(1, 2), clBlack) << int(f);
    }
}

TEST(BitmapTest, SizeLimitsAreCheckedBeforeAllocating) {
    TBitmap bmp;
    EXPECT_THROW(bmp.SetSize(MaxBitmapSide + 1, 1), GIFException);
    EXPECT_THROW(bmp.SetSize(60000, 60000), GIFException);
    EXPECT_THROW(bmp.SetSize(-1, 5), GIFException);
    EXPECT_TRUE(bmp.Empty());
}

TEST(BitmapTest, UpConversionIsExact) {
    TBitmap src(4, 1, pf4bit);
    for (int x = 0; x < 4; ++x) src.ScanLine(0)[x / 2] |= uint8_t((x * 5) << ((x & 1) ? 0 : 4));
    std::vector<TColor> expected;
    for (int x = 0; x < 4; ++x) expected.push_back(src.Pixels(x, 0));
    for (TPixelFormat to : {pf8bit, pf24bit, pf32bit}) {
        TBitmap b(src);
        b.SetPixelFormat(to);
        for (int x = 0; x < 4; ++x) EXPECT_EQ(b.Pixels(x, 0), expected[size_t(x)]) << int(to);
    }
    // Indexed up-conversion keeps the indices and the table.
    TBitmap b(src);
    b.SetPixelFormat(pf8bit);
    EXPECT_EQ(b.ScanLine(0)[3], 15);
    EXPECT_EQ(b.ColorTable()->Count(), 16);

    TBitmap hi(1, 1, pf15bit);
    hi.SetPixels(0, 0, RGB(200, 100, 50));
    TColor before = hi.Pixels(0, 0);
    hi.SetPixelFormat(pf24bit);
    EXPECT_EQ(hi.Pixels(0, 0), before);
}

TEST(BitmapTest, DownConversionTakesTheNearestTableEntry) {
    TBitmap bmp(3, 1, pf24bit);
    bmp.SetPixels(0, 0, RGB(250, 10, 10));
    bmp.SetPixels(1, 0, RGB(100, 100, 100));
    bmp.SetPixels(2, 0, RGB(20, 20, 20));
    bmp.SetPixelFormat(pf4bit);   // VGA 16
    EXPECT_EQ(bmp.Pixels(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(bmp.Pixels(1, 0), RGB(128, 128, 128));
    EXPECT_EQ(bmp.Pixels(2, 0), clBlack);
    bmp.SetPixelFormat(pf1bit);   // 16 entries do not fit: black and white
    EXPECT_EQ(bmp.ColorTable()->Count(), 2);
    EXPECT_EQ(bmp.Pixels(0, 0), clBlack);
    EXPECT_EQ(bmp.Pixels(1, 0), clWhite);
}

TEST(BitmapTest, PaletteIsCutToWhatTheFormatAddresses) {
    TBitmap bmp(1, 1, pf1bit);
    EXPECT_EQ(bmp.ColorTable()->ColorAt(0), clBlack);
    EXPECT_EQ(bmp.ColorTable()->ColorAt(1), clWhite);
    bmp.SetPalette(MakeWebPalette());
    EXPECT_EQ(bmp.ColorTable()->Count(), 2);
    bmp.SetPalette(nullptr);
    EXPECT_EQ(bmp.ColorTable()->Count(), 2);   // back to the default table
}

TEST(BitmapTest, TransparentColorDefaultsToBottomLeftPixel) {
    TBitmap bmp(2, 2, pf24bit);
    bmp.SetPixels(0, 1, RGB(1, 2, 3));
    EXPECT_EQ(bmp.TransparentColor(), RGB(1, 2, 3));
    EXPECT_EQ(bmp.TransparentMode(), tmAuto);
    bmp.SetTransparentColor(RGB(9, 9, 9));
    EXPECT_EQ(bmp.TransparentMode(), tmFixed);
    EXPECT_EQ(bmp.TransparentColor(), RGB(9, 9, 9));
}

TEST(BitmapTest, MasksSetBitsWhereTheColorMatches) {
    for (TPixelFormat f : {pf8bit, pf24bit, pf32bit}) {
        TBitmap bmp(9, 2, f);
        bmp.SetPixels(0, 0, clWhite);
        bmp.SetPixels(8, 0, clWhite);
        bmp.SetPixels(3, 1, clWhite);
        auto mask = bmp.CreateMask(clWhite);
        ASSERT_TRUE(mask);
        EXPECT_EQ(mask->PixelFormat(), pf1bit);
        EXPECT_EQ(mask->ScanLine(0)[0], 0x80) << int(f);
        EXPECT_EQ(mask->ScanLine(0)[1], 0x80) << int(f);
        EXPECT_EQ(mask->ScanLine(1)[0], 0x10) << int(f);
        // The default transparent colour is the bottom-left pixel: black here.
        auto auto_mask = bmp.MaskBitmap();
        EXPECT_EQ(auto_mask->ScanLine(1)[0], 0xEF) << int(f);
    }
    EXPECT_FALSE(TBitmap().CreateMask(clWhite));
}

TEST(BitmapTest, CopiesAreDeepAndAssignRefusesStrangers) {
    TBitmap a(2, 1, pf8bit);
    a.ScanLine(0)[0] = 7;
    TBitmap b;
    b.Assign(&a);
    b.ScanLine(0)[0] = 9;
    b.ColorTable()->Entries[7] = {1, 2, 3, 0};
    EXPECT_EQ(a.ScanLine(0)[0], 7);
    EXPECT_NE(a.ColorTable()->ColorAt(7), RGB(1, 2, 3));
    EXPECT_EQ(b.PixelFormat(), pf8bit);

    TPicture picture;   // not a graphic: refused
    TCanvas& canvas = a.Canvas();
    EXPECT_THROW(b.Assign(&canvas), EConvertError);
    // A picture container hands over its graphic.
    picture.SetGraphic(std::make_unique<TBitmap>(a));
    TBitmap c;
    c.Assign(&picture);
    EXPECT_EQ(c.Width(), 2);
    EXPECT_EQ(c.ScanLine(0)[0], 7);
}

TEST(BitmapTest, AssignFromOtherGraphicDrawsIt) {
    TBitmap image(2, 2, pf24bit);
    image.SetPixels(0, 0, RGB(10, 20, 30));
    image.SetPixels(1, 0, RGB(40, 50, 60));
    TBitmap mask(2, 2, pf1bit);
    mask.SetPixels(1, 0, clWhite);   // transparent pixel: the white fill shows
    TIcon icon;
    icon.SetImage(image, &mask);
    TBitmap bmp;
    bmp.Assign(&icon);
    EXPECT_EQ(bmp.PixelFormat(), pf24bit);
    EXPECT_EQ(bmp.Pixels(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(bmp.Pixels(1, 0), clWhite);
}

} // namespace
} // namespace gif
