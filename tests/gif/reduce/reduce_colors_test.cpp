#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/graphics/palettes.h"
#include "gif/reduce/dib.h"
#include "gif/reduce/dither_engine.h"
#include "gif/reduce/fast_color_lookup.h"
#include "gif/reduce/reduce_colors.h"

namespace gif {
namespace {

const TDitherMode AllModes[] = {dtNearest, dtFloydSteinberg, dtStucki, dtSierra,
                                dtJarvisJudiceNinke, dtStevensonArce, dtBurkes};

// A picture with gradients and edges, so that every ditherer has errors to spread.
TBitmap Gradient(int w, int h) {
    TBitmap bmp(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.SetPixels(x, y, RGB(uint8_t(x * 255 / w), uint8_t(y * 255 / h),
                                    uint8_t((x * y) % 256)));
    return bmp;
}

TEST(ReduceColorsTest, OnePixelGetsTheLookupsNearestColourUnderEveryDitherer) {
    TBitmap one(1, 1, pf24bit);
    one.SetPixels(0, 0, RGB(100, 150, 200));
    for (TColorReduction method : {crSystem20, crHalftone, crGray4, crMonochrome, crGray256,
                                   crWeb216, crOptimized, crOptimizedSystem}) {
        HPALETTE pal = ReductionPalette(one, method, nullptr, 8);
        auto lookup = CreateColorLookup(method, pal);
        TRGB chosen;
        uint8_t nearest = lookup->Lookup(100, 150, 200, chosen);
        for (TDitherMode mode : AllModes) {
            auto out = ReduceColors(one, method, mode, nullptr, 8);
            ASSERT_EQ(out->PixelFormat(), pf8bit);
            EXPECT_EQ(out->ScanLine(0)[0], nearest) << int(method) << "/" << int(mode);
            EXPECT_EQ(out->Pixels(0, 0), RGB(chosen.Red, chosen.Green, chosen.Blue));
        }
    }
}

TEST(ReduceColorsTest, TheSecondRowIsProcessedRightToLeft) {
    // 8 and 15 share a 5-5-5 cell and the first of them to be looked up decides the
    // cell (8 ties and takes entry 0; 15 is nearer to entry 1). Row 1 is walked from the
    // right, so 15 comes first and both pixels get entry 1.
    auto pal = PaletteFromColors(std::vector<TColor>{RGB(0, 0, 0), RGB(16, 0, 0)});
    TBitmap bmp(2, 2, pf24bit);
    bmp.SetPixels(0, 1, RGB(8, 0, 0));
    bmp.SetPixels(1, 1, RGB(15, 0, 0));
    auto out = ReduceColors(bmp, crCustom, dtNearest, pal, 8);
    EXPECT_EQ(out->ScanLine(1)[0], 1);
    EXPECT_EQ(out->ScanLine(1)[1], 1);
    // On the first row (left to right) the same pair resolves the other way.
    TBitmap top(2, 1, pf24bit);
    top.SetPixels(0, 0, RGB(8, 0, 0));
    top.SetPixels(1, 0, RGB(15, 0, 0));
    out = ReduceColors(top, crCustom, dtNearest, pal, 8);
    EXPECT_EQ(out->ScanLine(0)[0], 0);
    EXPECT_EQ(out->ScanLine(0)[1], 0);
}

TEST(ReduceColorsTest, ResultCarriesTheMethodsPaletteInAFullTable) {
    TBitmap bmp = Gradient(16, 8);
    auto out = ReduceColors(bmp, crGray4, dtFloydSteinberg, nullptr, 8);
    ASSERT_EQ(out->ColorTable()->Count(), 256);
    EXPECT_EQ(out->ColorTable()->ColorAt(1), RGB(128, 128, 128));
    EXPECT_EQ(out->ColorTable()->ColorAt(4), clBlack);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) EXPECT_LT(out->ScanLine(y)[x], 4);

    auto opt = ReduceColors(bmp, crOptimized, dtNearest, nullptr, 3);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) EXPECT_LT(opt->ScanLine(y)[x], 8);
}

TEST(ReduceColorsTest, NoneCopiesAt24Bits) {
    TBitmap bmp(2, 1, pf8bit);
    bmp.SetPixels(1, 0, clWhite);
    auto out = ReduceColors(bmp, crNone, dtFloydSteinberg, nullptr, 8);
    EXPECT_EQ(out->PixelFormat(), pf24bit);
    EXPECT_EQ(out->Pixels(1, 0), clWhite);
}

TEST(ReduceColorsTest, BadSettingsGiveAnEmptyBitmap) {
    TBitmap bmp = Gradient(4, 4);
    EXPECT_TRUE(
        ReduceColors(bmp, TColorReduction(LastColorReduction + 1), dtNearest, nullptr, 8)->Empty());
    EXPECT_TRUE(ReduceColors(bmp, crWeb216, TDitherMode(LastDitherMode + 1), nullptr, 8)->Empty());
    EXPECT_TRUE(ReduceColors(bmp, crCustom, dtNearest, nullptr, 8)->Empty());
    EXPECT_TRUE(
        ReduceColors(bmp, crCustom, dtNearest, std::make_shared<TPalette>(), 8)->Empty());
    EXPECT_THROW(ReduceColors(bmp, crOptimized, dtNearest, nullptr, 9), GIFException);
    EXPECT_THROW(ReduceColors(TBitmap(), crWeb216, dtNearest, nullptr, 8), GIFException);
}

TEST(ReduceColorsTest, DitheringIsDeterministicAndStaysInThePalette) {
    TBitmap bmp = Gradient(37, 23);
    for (TDitherMode mode : AllModes) {
        auto a = ReduceColors(bmp, crWeb216, mode, nullptr, 8);
        auto b = ReduceColors(bmp, crWeb216, mode, nullptr, 8);
        ASSERT_TRUE(std::equal(a->Bits().begin(), a->Bits().end(), b->Bits().begin()));
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x) ASSERT_LT(a->ScanLine(y)[x], 216) << int(mode);
    }
    // Diffusion changes the picture compared with the nearest colour.
    auto nearest = ReduceColors(bmp, crWeb216, dtNearest, nullptr, 8);
    auto fs = ReduceColors(bmp, crWeb216, dtFloydSteinberg, nullptr, 8);
    EXPECT_FALSE(std::equal(nearest->Bits().begin(), nearest->Bits().end(), fs->Bits().begin()));
}

TEST(ReduceColorsTest, RowWalksMatchPixelByPixelDithering) {
    // ReduceColors walks whole rows; driving Dither pixel by pixel must give the same.
    TBitmap bmp = Gradient(29, 11);
    HPALETTE pal = ReductionPalette(bmp, crOptimized, nullptr, 4);
    std::vector<TDitherMode> modes(std::begin(AllModes), std::end(AllModes));
    modes.insert(modes.end(), {dtClampedFloydSteinberg, dtOrdered});
    for (TDitherMode mode : modes) {
        auto reduced = ReduceColors(bmp, crCustom, mode, pal, 8);
        TFastColorLookup lookup(pal);
        auto ditherer = CreateDitherer(mode, 29, lookup);
        for (int y = 0; y < 11; ++y) {
            const uint8_t* row = bmp.ScanLine(y);
            for (int x = ditherer->Column(); x >= 0 && x < 29; x = ditherer->Column())
                ASSERT_EQ(ditherer->Dither(row[3 * x + 2], row[3 * x + 1], row[3 * x]),
                          reduced->ScanLine(y)[x])
                    << int(mode) << " at " << x << "," << y;
            ditherer->NextLine();
        }
    }
}

TEST(ReduceColorsTest, LargePicturesAreReducedCompletely) {
    TBitmap big(1001, 500, pf24bit);   // above 500000 pixels
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 1001; ++x) big.ScanLine(y)[3 * x + 1] = uint8_t(x & 0xFF);
    auto out = ReduceColors(big, crGray256, dtNearest, nullptr, 8);
    ASSERT_EQ(out->PixelFormat(), pf8bit);
    ASSERT_EQ(out->Width(), 1001);
    EXPECT_EQ(out->ScanLine(499)[200], (150 * 200) >> 8);
}

TEST(DIBWriterTest, ChecksFormatSizeAndRows) {
    TBitmap target;
    EXPECT_THROW(TDIBWriter(target, pf4bit, 2, 2, nullptr), GIFException);
    EXPECT_THROW(TDIBWriter(target, pf8bit, 0, 2, nullptr), GIFException);
    TDIBWriter writer(target, pf8bit, 3, 2, MakeGray4Palette());
    EXPECT_THROW(writer.DIB(), GIFException);   // nothing built yet
    EXPECT_THROW(writer.ScanLine(2), GIFException);
    writer.ScanLine(0)[2] = 3;
    writer.ScanLine(1)[0] = 1;
    const std::vector<uint8_t>& dib = writer.DIB();
    EXPECT_EQ(dib[8], 2);     // positive height
    EXPECT_EQ(dib[32], 0);    // colours used: 256
    EXPECT_EQ(dib[33], 1);
    EXPECT_EQ(dib[36], 4);    // colours important: the palette's count
    EXPECT_EQ(dib[40 + 4 * 1], 128);
    EXPECT_EQ(dib[40 + 1024 + 0], 1);   // bottom row first
    EXPECT_TRUE(target.Empty());         // delivered only on Commit
    writer.Commit();
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(target.Pixels(2, 0), clWhite);
    EXPECT_EQ(target.Pixels(0, 1), RGB(128, 128, 128));
}

TEST(DIBReaderTest, ConvertsWithoutTouchingTheSource) {
    TBitmap src(2, 1, pf4bit);
    src.SetPixels(1, 0, RGB(255, 0, 0));
    TDIBReader reader(src, pf24bit);
    EXPECT_EQ(reader.ScanLine(0)[5], 255);
    EXPECT_EQ(src.PixelFormat(), pf4bit);
    EXPECT_THROW(TDIBReader(src, pf32bit), GIFException);
}

} // namespace
} // namespace gif
