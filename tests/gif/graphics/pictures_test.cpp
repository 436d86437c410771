#include <gtest/gtest.h>

#include <set>

#include "gif/base/exception.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/graphics/icon.h"
#include "gif/graphics/metafile.h"
#include "gif/graphics/palettes.h"
#include "gif/graphics/picture.h"

namespace gif {
namespace {

TIcon MakeIcon() {
    TBitmap image(3, 2, pf32bit);
    image.SetPixels(0, 0, RGB(10, 20, 30));
    image.SetPixels(2, 1, RGB(40, 50, 60));
    TBitmap mask(3, 2, pf1bit);
    mask.SetPixels(1, 0, clWhite);
    TIcon icon;
    icon.SetImage(image, &mask);
    return icon;
}

TEST(IconTest, RoundTripsThroughIcoFiles) {
    TIcon icon = MakeIcon();
    TMemoryStream s;
    icon.SaveToStream(s);
    s.SetPosition(0);
    TIcon loaded;
    loaded.LoadFromStream(s);
    ASSERT_EQ(loaded.Width(), 3);
    ASSERT_EQ(loaded.Height(), 2);
    EXPECT_EQ(loaded.Bitmap().Pixels(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(loaded.Bitmap().Pixels(2, 1), RGB(40, 50, 60));
    EXPECT_EQ(loaded.MaskBitmap().Pixels(1, 0), clWhite);
    EXPECT_EQ(loaded.MaskBitmap().Pixels(0, 0), clBlack);
}

TEST(IconTest, DrawsThroughItsMask) {
    TIcon icon = MakeIcon();
    TBitmap dst(3, 2, pf24bit);
    dst.Canvas().Brush.Color = RGB(1, 1, 1);
    dst.Canvas().FillRect(dst.Canvas().ClipRect());
    dst.Canvas().Draw(0, 0, icon);
    EXPECT_EQ(dst.Pixels(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(dst.Pixels(1, 0), RGB(1, 1, 1));
    EXPECT_EQ(dst.Pixels(2, 1), RGB(40, 50, 60));
}

TEST(IconTest, RefusesDamagedIcoFiles) {
    TIcon icon = MakeIcon();
    TMemoryStream s;
    icon.SaveToStream(s);
    std::vector<uint8_t> good = s.Bytes();
    auto load = [](std::vector<uint8_t> bytes) {
        TMemoryStream in(std::move(bytes));
        TIcon i;
        i.LoadFromStream(in);
    };
    auto notIcon = good;
    notIcon[2] = 7;
    EXPECT_THROW(load(notIcon), GIFException);
    auto noImages = good;
    noImages[4] = 0;
    EXPECT_THROW(load(noImages), GIFException);
    auto offsetPastEnd = good;
    offsetPastEnd[18] = 0xFF;
    offsetPastEnd[19] = 0xFF;
    EXPECT_THROW(load(offsetPastEnd), GIFException);
    auto oddHeight = good;
    oddHeight[22 + 8] = 5;   // colour and mask halves must be equal
    EXPECT_THROW(load(oddHeight), GIFException);
    auto cut = good;
    cut.resize(30);
    EXPECT_THROW(load(cut), GIFException);
    EXPECT_NO_THROW(load(good));
}

TEST(MetafileTest, DrawingLeavesUncoveredPixelsAlone) {
    TMetafile mf;
    mf.SetWidth(4);
    mf.SetHeight(4);
    mf.AddFillRect(Rect(0, 0, 2, 1), RGB(200, 0, 0));
    mf.AddPixel(3, 3, RGB(0, 200, 0));
    std::vector<uint32_t> raster(16, 0);
    raster[1 * 4 + 2] = 0xFF0000FF;   // opaque blue at (2, 1)
    mf.SetRaster(raster);

    TBitmap dst(8, 8, pf24bit);
    dst.Canvas().Brush.Color = RGB(9, 9, 9);
    dst.Canvas().FillRect(dst.Canvas().ClipRect());
    dst.Canvas().StretchDraw(Rect(0, 0, 8, 8), mf);   // scaled 2x
    EXPECT_EQ(dst.Pixels(3, 1), RGB(200, 0, 0));
    EXPECT_EQ(dst.Pixels(4, 0), RGB(9, 9, 9));
    EXPECT_EQ(dst.Pixels(7, 7), RGB(0, 200, 0));
    EXPECT_EQ(dst.Pixels(6, 6), RGB(0, 200, 0));   // one picture pixel covers 2x2
    EXPECT_EQ(dst.Pixels(5, 7), RGB(9, 9, 9));
    EXPECT_EQ(dst.Pixels(5, 3), RGB(0, 0, 255));
    EXPECT_EQ(dst.Pixels(5, 5), RGB(9, 9, 9));
    EXPECT_EQ(dst.Canvas().Brush.Color, RGB(9, 9, 9));
}

TEST(MetafileTest, RoundTripsAndRefusesDamage) {
    TMetafile mf;
    mf.SetWidth(2);
    mf.SetHeight(2);
    mf.AddFillRect(Rect(0, 0, 1, 2), RGB(1, 2, 3));
    mf.SetRaster({0, 0x80FFFFFF, 0, 0});
    TMemoryStream s;
    mf.SaveToStream(s);
    s.SetPosition(0);
    TMetafile loaded;
    loaded.LoadFromStream(s);
    EXPECT_EQ(loaded.Width(), 2);
    EXPECT_EQ(loaded.Records(), mf.Records());
    EXPECT_EQ(loaded.Raster(), mf.Raster());

    std::vector<uint8_t> bytes = s.Bytes();
    bytes.resize(bytes.size() - 2);
    TMemoryStream cut(bytes);
    EXPECT_THROW(loaded.LoadFromStream(cut), GIFException);
    std::vector<uint8_t> many = s.Bytes();
    many[12] = 0xFF;   // a record count the data cannot hold
    many[13] = 0xFF;
    TMemoryStream lying(many);
    EXPECT_THROW(loaded.LoadFromStream(lying), GIFException);
    EXPECT_EQ(loaded.Raster(), mf.Raster());
}

TEST(PictureTest, HoldsCopiesOfTheirKind) {
    TPicture picture;
    TIcon icon = MakeIcon();
    picture.Assign(&icon);
    ASSERT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 3);

    TPicture other;
    other.Assign(&picture);
    ASSERT_NE(dynamic_cast<TIcon*>(other.Graphic()), nullptr);
    EXPECT_NE(other.Graphic(), picture.Graphic());

    TBitmap& bmp = other.Bitmap();   // not a bitmap: replaced by an empty one
    EXPECT_TRUE(bmp.Empty());
    other.Assign(nullptr);
    EXPECT_EQ(other.Graphic(), nullptr);
}

TEST(PalettesTest, FixedPalettesHaveThePlatformsLayout) {
    auto web = MakeWebPalette();
    ASSERT_EQ(web->Count(), 216);
    EXPECT_EQ(web->ColorAt(36 * 1 + 6 * 2 + 3), RGB(51, 102, 153));
    auto sys = MakeSystemPalette20();
    ASSERT_EQ(sys->Count(), 20);
    EXPECT_EQ(sys->ColorAt(1), RGB(128, 0, 0));
    EXPECT_EQ(sys->ColorAt(8), RGB(192, 220, 192));
    EXPECT_EQ(sys->ColorAt(10), RGB(255, 251, 240));
    EXPECT_EQ(sys->ColorAt(19), clWhite);
    auto half = MakeHalftonePalette();
    ASSERT_EQ(half->Count(), 256);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(half->ColorAt(i), sys->ColorAt(i));
        EXPECT_EQ(half->ColorAt(246 + i), sys->ColorAt(10 + i));
    }
    for (int i = 0; i < 216; ++i) ASSERT_EQ(half->ColorAt(10 + i), web->ColorAt(i));
    std::vector<TColor> grays;
    for (int i = 226; i < 246; ++i) grays.push_back(half->ColorAt(i));
    EXPECT_EQ(std::set<TColor>(grays.begin(), grays.end()).size(), 20u);
    for (TColor g : grays) EXPECT_NE(GetRValue(g) % 51, 0);   // not already in the cube
    EXPECT_EQ(MakeGray4Palette()->ColorAt(2), RGB(192, 192, 192));
    EXPECT_EQ(MakeGray256Palette()->ColorAt(77), RGB(77, 77, 77));
    EXPECT_EQ(MakeMonochromePalette()->Count(), 2);
    EXPECT_EQ(MakeVGA16Palette()->ColorAt(8), RGB(128, 128, 128));
}

TEST(PalettesTest, ColorTablesConvertBothWays) {
    auto pal = PaletteFromColors(std::vector<TColor>{RGB(1, 2, 3), RGB(4, 5, 6)});
    std::vector<uint8_t> quads = PaletteToColorTable(*pal, 3);
    EXPECT_EQ(quads, (std::vector<uint8_t>{3, 2, 1, 0, 6, 5, 4, 0, 0, 0, 0, 0}));
    auto back = PaletteFromColorTable(quads);
    EXPECT_EQ(back->Count(), 3);
    EXPECT_EQ(back->ColorAt(1), RGB(4, 5, 6));
    EXPECT_EQ(NearestPaletteIndex(*pal, RGB(5, 5, 5)), 1);
    EXPECT_EQ(NearestPaletteIndex(TPalette{}, clWhite), -1);
}

} // namespace
} // namespace gif
