// The single-image export: file names, the three formats, the placeholder and write failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "export_test_util.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"
#include "io/export/export_names.h"
#include "io/export/frame_export.h"
#include "io/export/placeholder.h"
#include "io/io_test_util.h"

namespace {

using io::ExportFileName;
using io::TExportFormat;
using iotest::Capture;
using iotest::MakeFrames;
using iotest::Quote;
namespace fs = std::filesystem;

TEST(ExportNames, FrameIndexGoesBeforeTheExtensionOfTheFileName) {
    EXPECT_EQ(ExportFileName("x.jpg", 0), "xGL10.jpg");
    EXPECT_EQ(ExportFileName("/a/b/anim.gif", 3), "/a/b/animGL13.gif");
    EXPECT_EQ(ExportFileName("/a/b/anim.gif", 12), "/a/b/animGL112.gif");
    // Longer extensions keep their dot in front.
    EXPECT_EQ(ExportFileName("/p/x.jpeg", 2), "/p/xGL12.jpeg");
    // A name without extension: before its last four characters.
    EXPECT_EQ(ExportFileName("/p/frames", 1), "/p/frGL11ames");
}

TEST(ExportNames, NameShorterThanFourCharactersGetsTheIndexAtItsStart) {
    EXPECT_EQ(ExportFileName("ab", 5), "GL15ab");
    EXPECT_EQ(ExportFileName("x", 0), "GL10x");
    // The folder is never touched, however short the name in it is.
    EXPECT_EQ(ExportFileName("/some.dir/ab", 5), "/some.dir/GL15ab");
    EXPECT_EQ(ExportFileName("/tmp/abc", 7), "/tmp/GL17abc");
    EXPECT_EQ(ExportFileName("/tmp/", 7), "/tmp/GL17");
}

TEST(ExportNames, GifExtensionReplacesAnyOther) {
    EXPECT_EQ(io::WithGifExtension("/a/x.jpg"), "/a/x.gif");
    EXPECT_EQ(io::WithGifExtension("/a/x.GIF"), "/a/x.gif");
    EXPECT_EQ(io::WithGifExtension("/a.b/x"), "/a.b/x.gif");
    EXPECT_EQ(io::WithGifExtension("/a/.hidden"), "/a/.hidden.gif");
}

TEST(ExportNames, BitsForColorCount) {
    EXPECT_EQ(io::BitsForColorCount(256), 8);
    EXPECT_EQ(io::BitsForColorCount(8), 3);
    for (int nonsense : {0, -8, 4, 7, 100, 512}) EXPECT_EQ(io::BitsForColorCount(nonsense), 0);
}

class FrameExportTest : public ::testing::Test {
  protected:
    iotest::TempDir dir;
    std::unique_ptr<gif::TGIFImage> image =
        MakeFrames<3>({{{40, 30}, {20, 10}, {64, 48}}});

    std::string Identify(const std::string& format, const std::string& file) {
        return Capture("/usr/bin/identify -format " + Quote(format) + " " + Quote(file));
    }
};

TEST_F(FrameExportTest, JpegFramesZeroAndTwoUnderXJpg) {
    io::TExportOptions options;
    options.Format = TExportFormat::efJpeg;
    const int frames[] = {0, 2};
    const io::TExportResult result = io::ExportFrames(*image, frames, dir / "x.jpg", options);
    EXPECT_FALSE(result.PlaceholderWritten);
    EXPECT_TRUE(result.Failures.empty());
    ASSERT_EQ(result.Written, (std::vector<std::string>{dir / "xGL10.jpg", dir / "xGL12.jpg"}));
    EXPECT_FALSE(fs::exists(dir / "xGL11.jpg"));
    EXPECT_FALSE(fs::exists(dir / "x.jpg"));
    // Each frame at its own size, in colour: three components.
    EXPECT_EQ(Identify("%m %w %h %[jpeg:sampling-factor]", dir / "xGL10.jpg"),
              "JPEG 40 30 2x2,1x1,1x1");
    EXPECT_EQ(Identify("%m %w %h %[jpeg:sampling-factor]", dir / "xGL12.jpg"),
              "JPEG 64 48 2x2,1x1,1x1");

    options.Jpeg.Grayscale = true;
    io::ExportFrames(*image, frames, dir / "g.jpg", options);
    EXPECT_EQ(Identify("%w %h %[jpeg:sampling-factor] %[colorspace]", dir / "gGL12.jpg"),
              "64 48 1x1 Gray");
}

TEST_F(FrameExportTest, JpegQualityHundredIsCloserToTheFrameThanTwentyFive) {
    // A smooth picture, as photographs are: diagonal ramps through the table, no wrap.
    auto smooth = MakeFrames<1>({{{64, 48}}});
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) smooth->Frame(0)->Pixels()[y * 64 + x] = uint8_t((x + y) * 2);
    const std::string reference = dir / "frame.bmp";
    io::FramePicture(*smooth, 0)->SaveToFile(reference);
    auto psnr = [&](int quality) {
        io::TExportOptions options;
        options.Format = TExportFormat::efJpeg;
        options.Jpeg.Quality = quality;
        const std::string file = dir / ("q" + std::to_string(quality) + ".jpg");
        io::WriteJpegPicture(*io::FramePicture(*smooth, 0), options, file);
        // compare prints the PSNR in decibels on its standard error.
        return std::stod(Capture("/usr/bin/compare -metric PSNR " + Quote(file) + " " +
                                 Quote(reference) + " null:"));
    };
    const double best = psnr(100), poor = psnr(25), worst = psnr(1);
    EXPECT_GT(best, poor + 5) << best << " dB against " << poor << " dB";
    EXPECT_GT(poor, worst);
    EXPECT_GT(best, 40);
}

TEST_F(FrameExportTest, JpegOptionsChangeTheFile) {
    io::TExportOptions options;
    options.Format = TExportFormat::efJpeg;
    const gif::TBitmap picture = *io::FramePicture(*image, 2);
    io::WriteJpegPicture(picture, options, dir / "plain.jpg");
    EXPECT_EQ(Identify("%[interlace]", dir / "plain.jpg"), "None");

    options.Jpeg.Progressive = true;
    io::WriteJpegPicture(picture, options, dir / "progressive.jpg");
    EXPECT_EQ(Identify("%[interlace]", dir / "progressive.jpg"), "JPEG");

    options.Jpeg.Progressive = false;
    options.Jpeg.Smoothing = 30;
    io::WriteJpegPicture(picture, options, dir / "smooth.jpg");
    options.Jpeg.Smoothing = 0;
    options.Jpeg.FastDct = true;
    io::WriteJpegPicture(picture, options, dir / "fast.jpg");
    const auto plain = iotest::ReadBytes(dir / "plain.jpg");
    EXPECT_NE(iotest::ReadBytes(dir / "smooth.jpg"), plain);
    EXPECT_NE(iotest::ReadBytes(dir / "fast.jpg"), plain);
}

TEST_F(FrameExportTest, QualityOutOfRangeIsClamped) {
    io::TExportOptions options;
    options.Format = TExportFormat::efJpeg;
    const gif::TBitmap picture = *io::FramePicture(*image, 0);
    options.Jpeg.Quality = -40;
    io::WriteJpegPicture(picture, options, dir / "low.jpg");
    options.Jpeg.Quality = 1;
    io::WriteJpegPicture(picture, options, dir / "one.jpg");
    options.Jpeg.Quality = 1000;
    io::WriteJpegPicture(picture, options, dir / "high.jpg");
    options.Jpeg.Quality = 100;
    io::WriteJpegPicture(picture, options, dir / "hundred.jpg");
    EXPECT_EQ(iotest::ReadBytes(dir / "low.jpg"), iotest::ReadBytes(dir / "one.jpg"));
    EXPECT_EQ(iotest::ReadBytes(dir / "high.jpg"), iotest::ReadBytes(dir / "hundred.jpg"));
}

TEST_F(FrameExportTest, EmptyAndMissingFramesAreWrittenAsThePlaceholder) {
    auto withEmpty = MakeFrames<3>({{{40, 30}, {0, 0}, {20, 10}}});
    io::TExportOptions options;
    options.Format = TExportFormat::efBitmap;
    const int frames[] = {1, 2, 9, -1};
    const io::TExportResult result = io::ExportFrames(*withEmpty, frames, dir / "e.bmp", options);
    EXPECT_TRUE(result.PlaceholderWritten);
    ASSERT_EQ(result.Written.size(), 4u);
    for (const std::string& name : {dir / "eGL11.bmp", dir / "eGL19.bmp", dir / "eGL1-1.bmp"}) {
        gif::TBitmap written;
        written.LoadFromFile(name);
        EXPECT_EQ(written.Width(), 125) << name;
        EXPECT_EQ(written.Height(), 50) << name;
        // The same picture as the placeholder, pixel for pixel.
        const auto placeholder = io::MakePlaceholderPicture();
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 125; ++x)
                ASSERT_EQ(written.Pixels(x, y), placeholder->Pixels(x, y)) << name << " " << x << "," << y;
    }
    gif::TBitmap real;
    real.LoadFromFile(dir / "eGL12.bmp");
    EXPECT_EQ(real.Width(), 20);

    // With only real frames the mark stays clear.
    const int good[] = {0, 2};
    EXPECT_FALSE(io::ExportFrames(*withEmpty, good, dir / "f.bmp", options).PlaceholderWritten);
}

TEST(Placeholder, WhiteWithThreeLinesOfBlackText) {
    const auto picture = io::MakePlaceholderPicture();
    ASSERT_EQ(picture->Width(), 125);
    ASSERT_EQ(picture->Height(), 50);
    // Ink only in the three text bands, each starting at x = 5.
    auto inkInRows = [&](int top, int bottom, int& left, int& right) {
        int ink = 0;
        left = 125, right = -1;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 125; ++x) {
                const gif::TColor c = picture->Pixels(x, y);
                if (c == gif::clWhite) continue;
                EXPECT_EQ(c, gif::clBlack) << x << "," << y;
                ++ink;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        return ink;
    };
    int left, right;
    for (int top : {5, 20, 35}) {
        EXPECT_GT(inkInRows(top, top + 9, left, right), 60) << top;
        EXPECT_EQ(left, 5) << top;
        EXPECT_LT(right, 124) << top;
    }
    EXPECT_EQ(inkInRows(0, 5, left, right), 0);
    EXPECT_EQ(inkInRows(14, 20, left, right), 0);
    EXPECT_EQ(inkInRows(29, 35, left, right), 0);
    EXPECT_EQ(inkInRows(44, 50, left, right), 0);
}

TEST_F(FrameExportTest, UnwritableFilesArePassedOverAndTheExportGoesOn) {
    io::TExportOptions options;
    options.Format = TExportFormat::efGif;
    const int frames[] = {0, 1};
    // A missing folder: nothing written, every file recorded with its reason.
    io::TExportResult result =
        io::ExportFrames(*image, frames, dir / "missing/x.gif", options);
    EXPECT_TRUE(result.Written.empty());
    ASSERT_EQ(result.Failures.size(), 2u);
    EXPECT_NE(result.Failures[0].find("xGL10.gif"), std::string::npos) << result.Failures[0];

    // One file in the way (a folder of that name): the next frame is still written.
    fs::create_directory(dir / "yGL10.gif");
    result = io::ExportFrames(*image, frames, dir / "y.jpg", options);
    EXPECT_EQ(result.Failures.size(), 1u);
    EXPECT_EQ(result.Written, std::vector<std::string>{dir / "yGL11.gif"});
}

TEST_F(FrameExportTest, UnwritableFileKeepsItsOldContents) {
    // A failed write leaves what was there: the JPEG of an empty picture fails midway.
    iotest::WriteBytes(dir / "keep.jpg", std::vector<uint8_t>{1, 2, 3});
    io::TExportOptions options;
    options.Format = TExportFormat::efJpeg;
    EXPECT_ANY_THROW(io::WriteJpegPicture(gif::TBitmap(), options, dir / "keep.jpg"));
    EXPECT_EQ(iotest::ReadBytes(dir / "keep.jpg"), (std::vector<uint8_t>{1, 2, 3}));
}

// The colours of the first frame's table of a written GIF.
std::vector<gif::TColor> TableOf(const std::string& file, int* entries = nullptr) {
    gif::TGIFImage read;
    read.LoadFromFile(file);
    const gif::TGIFColorMap& table = read.Frame(0)->EffectiveTable();
    if (entries) *entries = table.EntryCount();
    std::vector<gif::TColor> colors;
    for (const gif::TGIFColor& c : table.Entries()) colors.push_back(gif::RGB(c.Red, c.Green, c.Blue));
    return colors;
}

TEST_F(FrameExportTest, EachGifPaletteGivesTheTableItNames) {
    io::TExportOptions options;
    options.GifOptimized = false;
    const gif::TBitmap picture = *io::FramePicture(*image, 2);
    auto write = [&](uint8_t reduction, int colors = 256) {
        options.GifReduction = reduction;
        options.GifColors = colors;
        const std::string file = dir / ("p" + std::to_string(reduction) + "-" +
                                        std::to_string(colors) + ".gif");
        io::WriteGifPicture(picture, options, file);
        return file;
    };
    int entries = 0;
    // The web cube: every component a multiple of 51, all 216 colours present.
    std::vector<gif::TColor> web = TableOf(write(gif::crWeb216), &entries);
    std::set<gif::TColor> distinct(web.begin(), web.end());
    EXPECT_EQ(distinct.size(), 216u);
    for (gif::TColor c : web)
        for (int shift : {0, 8, 16}) EXPECT_EQ((c >> shift & 0xFF) % 51, 0u);
    // 256 greys.
    std::vector<gif::TColor> grays = TableOf(write(gif::crGray256));
    distinct = {grays.begin(), grays.end()};
    EXPECT_EQ(distinct.size(), 256u);
    for (gif::TColor c : grays) EXPECT_TRUE(gif::GetRValue(c) == gif::GetGValue(c) && gif::GetGValue(c) == gif::GetBValue(c));
    // Black and white.
    std::vector<gif::TColor> mono = TableOf(write(gif::crMonochrome), &entries);
    EXPECT_EQ(entries, 2);
    EXPECT_EQ(std::set<gif::TColor>(mono.begin(), mono.end()), (std::set<gif::TColor>{gif::clBlack, gif::clWhite}));
    // The 20 system colours (the table is padded to 32 entries).
    std::vector<gif::TColor> system = TableOf(write(gif::crSystem20), &entries);
    EXPECT_EQ(entries, 32);
    distinct = {system.begin(), system.end()};
    EXPECT_TRUE(distinct.count(gif::RGB(192, 220, 192))) << "money green";
    EXPECT_LE(distinct.size(), 20u);
    // The optimised palette with the chosen count of colours.
    for (int colors : {256, 64, 16, 8}) {
        TableOf(write(gif::crOptimized, colors), &entries);
        EXPECT_LE(entries, colors) << colors;
        EXPECT_GT(entries, colors / 2) << colors;
    }
}

TEST_F(FrameExportTest, OptimizedGifKeepsOnlyTheColoursUsed) {
    auto two = MakeFrames<1>({{{8, 8}}});
    for (int i = 0; i < 64; ++i) two->Frame(0)->Pixels()[i] = uint8_t(i % 2 ? 0 : 255);
    io::TExportOptions options;
    options.GifReduction = gif::crWeb216;
    options.GifOptimized = true;
    io::WriteGifPicture(*io::FramePicture(*two, 0), options, dir / "o.gif");
    gif::TGIFImage read;
    read.LoadFromFile(dir / "o.gif");
    EXPECT_LE(read.Frame(0)->EffectiveTable().EntryCount(), 4);
    options.GifOptimized = false;
    io::WriteGifPicture(*io::FramePicture(*two, 0), options, dir / "n.gif");
    EXPECT_GT(fs::file_size(dir / "n.gif"), fs::file_size(dir / "o.gif"));
}

TEST_F(FrameExportTest, BitmapKeepsThePictureFormatOrGoesBlackAndWhite) {
    io::TExportOptions options;
    options.Format = TExportFormat::efBitmap;
    const int frames[] = {1};
    io::ExportFrames(*image, frames, dir / "b.bmp", options);
    gif::TBitmap own;
    own.LoadFromFile(dir / "bGL11.bmp");
    EXPECT_EQ(own.PixelFormat(), gif::pf8bit);
    EXPECT_EQ(own.Width(), 20);
    const gif::TBitmap picture = *io::FramePicture(*image, 1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(own.Pixels(x, y), picture.Pixels(x, y));

    options.BitmapMonochrome = true;
    io::ExportFrames(*image, frames, dir / "m.bmp", options);
    EXPECT_EQ(Identify("%w %h %z", dir / "mGL11.bmp"), "20 10 1");
    gif::TBitmap mono;
    mono.LoadFromFile(dir / "mGL11.bmp");
    ASSERT_EQ(mono.PixelFormat(), gif::pf1bit);
    int white = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const gif::TColor c = mono.Pixels(x, y);
            ASSERT_TRUE(c == gif::clBlack || c == gif::clWhite);
            const gif::TColor p = picture.Pixels(x, y);
            const int light = gif::GetRValue(p) * 299 + gif::GetGValue(p) * 587 + gif::GetBValue(p) * 114;
            EXPECT_EQ(c == gif::clWhite, light >= 128000) << x << "," << y;
            white += c == gif::clWhite;
        }
    EXPECT_GT(white, 0);
    EXPECT_LT(white, 200);
}

TEST_F(FrameExportTest, GifFilesTakeTheGifExtensionAndTheFramesOwnSize) {
    io::TExportOptions options;
    const int frames[] = {1, 0};
    const io::TExportResult result = io::ExportFrames(*image, frames, dir / "anim.jpg", options);
    ASSERT_EQ(result.Written, (std::vector<std::string>{dir / "animGL11.gif", dir / "animGL10.gif"}));
    gif::TGIFImage read;
    read.LoadFromFile(dir / "animGL11.gif");
    EXPECT_EQ(read.FrameCount(), 1);
    EXPECT_EQ(read.Width(), 20);
    EXPECT_EQ(read.Height(), 10);
}

} // namespace
