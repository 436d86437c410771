// The imaging control reads every picture kind of the open dialog that ImageMagick can
// decode: the right size, the right colours where they are probed, and the bitmap depth
// that fits the picture.
#include "gif/graphics/bitmap.h"
#include "hand_made_pictures.h"
#include "io/picture_loader.h"
#include "io/xpress/xpress.h"
#include "io_test_util.h"

#include <array>
#include <gtest/gtest.h>

using namespace gif;
using iotest::Quote;

namespace {

constexpr TColor Red = RGB(220, 30, 30), Green = RGB(30, 200, 40), Blue = RGB(40, 60, 210),
                 Pale = RGB(240, 240, 240);
constexpr std::array<TColor, 4> ColourQuadrants = {Red, Green, Blue, Pale};
constexpr std::array<TColor, 4> GreyQuadrants = {RGB(30, 30, 30), RGB(100, 100, 100),
                                                 RGB(170, 170, 170), RGB(240, 240, 240)};
constexpr std::array<TColor, 4> BlackWhiteQuadrants = {clBlack, clWhite, clWhite, clBlack};

// One kind written by ImageMagick from a 32 x 32 picture of four quadrants.
struct TWrittenKind {
    const char* Name;
    const char* File;    // its extension is the kind under test
    const char* Options; // convert options before the output
    const char* Format;  // explicit output format where the extension names none
    const std::array<TColor, 4>* Colors;
    int Tolerance;      // lossy kinds
    TPixelFormat Depth; // the bitmap's format; pf1bit: not checked
};

const TWrittenKind WrittenKinds[] = {
    {"Gif", "q.gif", "", "", &ColourQuadrants, 0, pf8bit},
    {"Jpeg", "q.jpg", "-quality 95", "", &ColourQuadrants, 12, pf24bit},
    {"JpegLongExtension", "q.jpeg", "-quality 95", "", &ColourQuadrants, 12, pf24bit},
    {"Jiff", "q.jif", "-quality 95", "JPEG:", &ColourQuadrants, 12, pf24bit},
    {"JpegCmyk", "cmyk.jpg", "-colorspace CMYK -quality 95", "", &ColourQuadrants, 16, pf24bit},
    {"Bitmap", "q.bmp", "", "", &ColourQuadrants, 0, pf1bit},
    {"Dcx", "q.dcx", "", "", &ColourQuadrants, 0, pf1bit},
    {"Icon", "q.ico", "", "", &ColourQuadrants, 0, pf1bit},
    {"PortableBitmap", "q.pbm", "", "", &BlackWhiteQuadrants, 0, pf8bit},
    {"Paintbrush", "q.pcx", "", "", &ColourQuadrants, 0, pf1bit},
    {"PortableGraymap", "q.pgm", "", "", &GreyQuadrants, 0, pf8bit},
    {"MacPictAsPic", "q.pic", "", "PICT:", &ColourQuadrants, 0, pf1bit},
    {"Png", "q.png", "", "", &ColourQuadrants, 0, pf1bit},
    {"PortablePixmap", "q.ppm", "", "", &ColourQuadrants, 0, pf24bit},
    {"RunLengthBitmapAsRle", "q.rle", "-type Palette -compress RLE", "BMP3:", &ColourQuadrants, 0,
     pf8bit},
    {"Targa", "q.tga", "", "", &ColourQuadrants, 0, pf1bit},
    {"Tiff", "q.tif", "", "", &ColourQuadrants, 0, pf1bit},
};

void PrintTo(const TWrittenKind& kind, std::ostream* out) {
    *out << kind.Name;
}

class WrittenKindTest : public testing::TestWithParam<TWrittenKind> {};

TEST_P(WrittenKindTest, LoadsWithSizeAndColours) {
    const TWrittenKind& kind = GetParam();
    iotest::TempDir dir;
    iotest::Quadrants(*kind.Colors).SaveToFile(dir / "source.bmp");
    std::string path = dir / kind.File;
    ASSERT_TRUE(iotest::Convert(Quote(dir / "source.bmp") + " " + kind.Options + " " +
                                Quote(std::string(kind.Format) + path)));

    io::TXpress xpress;
    xpress.SetFileName(path);
    ASSERT_EQ(xpress.Error(), 0) << xpress.ErrorMessage();
    EXPECT_EQ(xpress.Width(), 32);
    EXPECT_EQ(xpress.Height(), 32);
    EXPECT_EQ(xpress.Width32(), 32);
    EXPECT_EQ(xpress.Height32(), 32);
    xpress.Release();
    EXPECT_EQ(xpress.Width(), 0);

    TBitmap bitmap;
    std::string message;
    ASSERT_EQ(io::LoadPictureWithXpress(path, bitmap, &message), 0) << message;
    ASSERT_EQ(bitmap.Width(), 32);
    ASSERT_EQ(bitmap.Height(), 32);
    if (kind.Depth != pf1bit) {
        EXPECT_EQ(bitmap.PixelFormat(), kind.Depth);
    }
    const std::array<TColor, 4>& c = *kind.Colors;
    // Quadrant middles and the far corners: a picture upside down or mirrored fails.
    iotest::ExpectColor(bitmap, 8, 8, c[0], kind.Tolerance, kind.Name);
    iotest::ExpectColor(bitmap, 24, 8, c[1], kind.Tolerance, kind.Name);
    iotest::ExpectColor(bitmap, 8, 24, c[2], kind.Tolerance, kind.Name);
    iotest::ExpectColor(bitmap, 24, 24, c[3], kind.Tolerance, kind.Name);
    iotest::ExpectColor(bitmap, 0, 0, c[0], kind.Tolerance, kind.Name);
    iotest::ExpectColor(bitmap, 31, 31, c[3], kind.Tolerance, kind.Name);
}

INSTANTIATE_TEST_SUITE_P(Kinds, WrittenKindTest, testing::ValuesIn(WrittenKinds),
                         [](const auto& info) { return std::string(info.param.Name); });

// Kinds ImageMagick reads but cannot write, from pictures built byte by byte.
struct THandMadeKind {
    const char* Name;
    const char* File;
    std::vector<uint8_t> (*Build)(TColor a, TColor b);
};

const THandMadeKind HandMadeKinds[] = {
    {"WindowsMetafile", "q.wmf", iotest::MetafilePicture},
    {"WordPerfect", "q.wpg", iotest::WordPerfectPicture},
    {"UtahRle", "q.rle", iotest::UtahRlePicture},
};

void PrintTo(const THandMadeKind& kind, std::ostream* out) {
    *out << kind.Name;
}

class HandMadeKindTest : public testing::TestWithParam<THandMadeKind> {};

TEST_P(HandMadeKindTest, LoadsWithSizeAndColours) {
    const THandMadeKind& kind = GetParam();
    iotest::TempDir dir;
    std::string path = dir / kind.File;
    iotest::WriteBytes(path, kind.Build(Red, Blue));

    TBitmap bitmap;
    std::string message;
    ASSERT_EQ(io::LoadPictureWithXpress(path, bitmap, &message), 0) << message;
    ASSERT_EQ(bitmap.Width(), iotest::HandMadeWidth);
    ASSERT_EQ(bitmap.Height(), iotest::HandMadeHeight);
    iotest::ExpectColor(bitmap, 2, 2, Red, 0, kind.Name);
    iotest::ExpectColor(bitmap, 12, 2, Blue, 0, kind.Name);
    iotest::ExpectColor(bitmap, 2, 6, Blue, 0, kind.Name);
    iotest::ExpectColor(bitmap, 15, 7, Blue, 0, kind.Name);
}

INSTANTIATE_TEST_SUITE_P(Kinds, HandMadeKindTest, testing::ValuesIn(HandMadeKinds),
                         [](const auto& info) { return std::string(info.param.Name); });

// Which depth the bitmap gets, and that transparency survives in the fourth byte.
TEST(XpressPicture, AlphaIsKeptInA32BitBitmap) {
    iotest::TempDir dir;
    std::string path = dir / "alpha.png";
    // Left half fully transparent, bottom-right half-transparent blue, top-right opaque red.
    ASSERT_TRUE(iotest::Convert("-size 32x32 xc:none -fill 'rgb(220,30,30)' -draw 'rectangle 16,0 "
                                "31,15' -fill 'rgba(40,60,210,0.5)' -draw 'rectangle 16,16 31,31' "
                                "PNG32:" +
                                Quote(path)));
    TBitmap bitmap;
    ASSERT_EQ(io::LoadPictureWithXpress(path, bitmap), 0);
    ASSERT_EQ(bitmap.PixelFormat(), pf32bit);
    auto alpha = [&](int x, int y) { return bitmap.ScanLine(y)[4 * x + 3]; };
    EXPECT_EQ(alpha(4, 4), 0);
    EXPECT_EQ(alpha(4, 28), 0);
    EXPECT_EQ(alpha(24, 4), 255);
    EXPECT_NEAR(alpha(24, 28), 128, 1);
    iotest::ExpectColor(bitmap, 24, 4, Red, 0, "opaque part");
    iotest::ExpectColor(bitmap, 24, 28, Blue, 1, "half-transparent part");

    // The same pixels in one pass, top-down and unpadded.
    io::TXpress xpress;
    xpress.SetFileName(path);
    std::vector<uint8_t> bgra(32 * 32 * 4);
    bool hasAlpha = false;
    ASSERT_TRUE(xpress.CopyPixels(bgra.data(), hasAlpha));
    EXPECT_TRUE(hasAlpha);
    const auto at = [&](int x, int y) { return &bgra[size_t(y * 32 + x) * 4]; };
    EXPECT_EQ(at(4, 4)[3], 0);
    EXPECT_EQ(at(24, 4)[3], 255);
    EXPECT_EQ(at(24, 4)[2], 220); // red
    EXPECT_NEAR(at(24, 28)[3], 128, 1);
    EXPECT_EQ(at(24, 28)[0], 210); // blue
    xpress.Release();
    EXPECT_FALSE(xpress.CopyPixels(bgra.data(), hasAlpha));
}

TEST(XpressPicture, OpaquePaletteAndGreyPicturesGiveEightBitsWithTheirTable) {
    iotest::TempDir dir;
    iotest::Quadrants(ColourQuadrants).SaveToFile(dir / "source.bmp");
    std::string palette = dir / "palette.png";
    ASSERT_TRUE(iotest::Convert(Quote(dir / "source.bmp") + " PNG8:" + Quote(palette)));
    TBitmap bitmap;
    ASSERT_EQ(io::LoadPictureWithXpress(palette, bitmap), 0);
    EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
    iotest::ExpectColor(bitmap, 24, 8, Green, 0, "palette");

    // A colour picture that happens to use only greys.
    iotest::Quadrants(GreyQuadrants).SaveToFile(dir / "greys.bmp");
    ASSERT_EQ(io::LoadPictureWithXpress(dir / "greys.bmp", bitmap), 0);
    EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
    iotest::ExpectColor(bitmap, 8, 24, GreyQuadrants[2], 0, "greys");
}

TEST(XpressPicture, ManyPicturesInOneFile) {
    iotest::TempDir dir;
    iotest::Quadrants(ColourQuadrants, 32).SaveToFile(dir / "first.bmp");
    iotest::Quadrants({Pale, Pale, Pale, Pale}, 48).SaveToFile(dir / "second.bmp");
    // Pages of a TIFF or DCX and frames of a GIF: the first one.
    for (const char* name : {"pages.tif", "pages.dcx", "frames.gif"}) {
        std::string path = dir / name;
        ASSERT_TRUE(iotest::Convert(Quote(dir / "first.bmp") + " " + Quote(dir / "second.bmp") +
                                    " " + Quote(path)));
        TBitmap bitmap;
        ASSERT_EQ(io::LoadPictureWithXpress(path, bitmap), 0) << name;
        EXPECT_EQ(bitmap.Width(), 32) << name;
        iotest::ExpectColor(bitmap, 8, 8, Red, 0, name);
    }
    // Sizes of an icon: the largest.
    std::string icon = dir / "sizes.ico";
    ASSERT_TRUE(iotest::Convert(Quote(dir / "first.bmp") + " -define icon:auto-resize=16,32,48 " +
                                Quote(icon)));
    io::TXpress xpress;
    xpress.SetFileName(icon);
    ASSERT_EQ(xpress.Error(), 0) << xpress.ErrorMessage();
    EXPECT_EQ(xpress.Width(), 48);
    EXPECT_EQ(xpress.Height(), 48);
}

TEST(XpressPicture, ResampleScalesToExactlyTheSizeAsked) {
    iotest::TempDir dir;
    iotest::Quadrants(ColourQuadrants, 64).SaveToFile(dir / "q.bmp");
    std::string path = dir / "q.png";
    ASSERT_TRUE(iotest::Convert(Quote(dir / "q.bmp") + " " + Quote(path)));
    io::TXpress xpress;
    xpress.SetFileName(path);
    ASSERT_EQ(xpress.Error(), 0);
    ASSERT_TRUE(xpress.Resample(20, 40)); // height, width
    EXPECT_EQ(xpress.Width(), 40);
    EXPECT_EQ(xpress.Height(), 20);
    TBitmap bitmap;
    bitmap.LoadFromDIB(xpress.CopyPicture());
    ASSERT_EQ(bitmap.Width(), 40);
    ASSERT_EQ(bitmap.Height(), 20);
    iotest::ExpectColor(bitmap, 5, 3, Red, 2, "resampled");
    iotest::ExpectColor(bitmap, 35, 16, Pale, 2, "resampled");

    EXPECT_FALSE(xpress.Resample(0, 10));
    EXPECT_NE(xpress.Error(), 0);
    EXPECT_EQ(xpress.Width(), 40); // unchanged
}

// A JPEG decoded for a small copy stops at the smallest scale that still covers the side
// asked for, keeps its colours, and still tells the size stored in the file. Kinds that
// cannot scale while decoding, and a side the picture does not exceed, decode whole.
TEST(XpressPicture, CoverSideDecodesAJpegSmallerButKnowsItsSize) {
    iotest::TempDir dir;
    iotest::Quadrants(ColourQuadrants, 400).SaveToFile(dir / "q.bmp");
    const std::string jpeg = dir / "q.jpg";
    ASSERT_TRUE(iotest::Convert(Quote(dir / "q.bmp") + " -quality 95 " + Quote(jpeg)));
    io::TXpress xpress;
    xpress.SetFileName(jpeg, 90);
    ASSERT_EQ(xpress.Error(), 0);
    EXPECT_EQ(xpress.FileWidth32(), 400);
    EXPECT_EQ(xpress.FileHeight32(), 400);
    EXPECT_LT(xpress.Width32(), 400);
    EXPECT_GE(xpress.Width32(), 90); // 1/4: 100 pixels, never below what was asked
    EXPECT_GE(xpress.Height32(), 90);
    TBitmap bitmap;
    bitmap.LoadFromDIB(xpress.CopyPicture());
    ASSERT_EQ(bitmap.Width(), xpress.Width32());
    iotest::ExpectColor(bitmap, 5, 5, Red, 16, "scaled decode");
    iotest::ExpectColor(bitmap, bitmap.Width() - 5, bitmap.Height() - 5, Pale, 16, "scaled decode");

    xpress.SetFileName(jpeg, 1000); // larger than the picture
    EXPECT_EQ(xpress.Width32(), 400);
    xpress.SetFileName(dir / "q.bmp", 90);
    EXPECT_EQ(xpress.Width32(), 400);
    EXPECT_EQ(xpress.FileWidth32(), 400);
    xpress.Release();
    EXPECT_EQ(xpress.FileWidth32(), 0);
}

} // namespace
