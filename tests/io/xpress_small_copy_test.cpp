// A small copy (a cover side asked for) of a PNG or a GIF is decoded without ImageMagick,
// and must show what the full decode shows: the same size, the same colours and the same
// transparency. Damaged files still fail as the full decode does.
#include "gif/model/image.h"
#include "io/xpress/xpress.h"
#include "io_test_util.h"

#include <gtest/gtest.h>

using iotest::Quote;

namespace {

struct TCopy {
    int Error = 0;
    int Width = 0, Height = 0, FileWidth = 0, FileHeight = 0;
    bool Alpha = false;
    std::vector<uint8_t> Bgra;
};

TCopy Load(const std::string& path, int coverSide) {
    io::TXpress xpress;
    xpress.SetFileName(path, coverSide);
    TCopy copy;
    copy.Error = xpress.Error();
    if (copy.Error) return copy;
    copy.Width = xpress.Width32();
    copy.Height = xpress.Height32();
    copy.FileWidth = xpress.FileWidth32();
    copy.FileHeight = xpress.FileHeight32();
    copy.Bgra.resize(size_t(copy.Width) * size_t(copy.Height) * 4);
    EXPECT_TRUE(xpress.CopyPixels(copy.Bgra.data(), copy.Alpha));
    return copy;
}

// Pixels agree within `tolerance` per channel; the colour of a fully transparent pixel
// is not compared, as no viewer shows it.
void ExpectSamePixels(const TCopy& quick, const TCopy& full, int tolerance,
                      const std::string& what) {
    ASSERT_EQ(quick.Bgra.size(), full.Bgra.size()) << what;
    int worst = 0;
    for (size_t i = 0; i < full.Bgra.size(); i += 4) {
        const int alpha = full.Alpha ? full.Bgra[i + 3] : 255;
        const int quickAlpha = quick.Alpha ? quick.Bgra[i + 3] : 255;
        worst = std::max(worst, std::abs(alpha - quickAlpha));
        if (alpha == 0) continue;
        for (size_t c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(int(full.Bgra[i + c]) - int(quick.Bgra[i + c])));
    }
    EXPECT_LE(worst, tolerance) << what;
}

// The 48 x 36 picture at `path`, decoded whole for a small copy of `coverSide`, shows what
// the full decode shows.
TCopy ExpectSmallCopyLikeTheFullDecode(const std::string& path, int coverSide, int tolerance,
                                      const std::string& what) {
    const TCopy full = Load(path, 0), quick = Load(path, coverSide);
    EXPECT_EQ(full.Error, 0) << what;
    EXPECT_EQ(quick.Error, 0) << what;
    if (full.Error || quick.Error) return quick;
    EXPECT_EQ(quick.Width, 48) << what;
    EXPECT_EQ(quick.Height, 36) << what;
    EXPECT_EQ(quick.FileWidth, 48) << what;
    EXPECT_EQ(quick.FileHeight, 36) << what;
    ExpectSamePixels(quick, full, tolerance, what);
    return quick;
}

} // namespace

TEST(XpressSmallCopy, PngOfEveryLayoutShowsWhatTheFullDecodeShows) {
    iotest::TempDir dir;
    // 48 x 36: a colour gradient whose lower right fades out.
    const std::string source = dir / "source.png";
    ASSERT_TRUE(iotest::Convert("-size 48x36 gradient:red-blue \\( -size 48x36 "
                                "gradient:white-black -rotate 90 -resize 48x36! \\) -alpha off "
                                "-compose CopyOpacity -composite PNG32:" + Quote(source)));
    struct TKind {
        const char* Name;
        const char* Options;
        const char* Format;
        int Tolerance;
    };
    const TKind kinds[] = {
        {"rgb", "-alpha off", "PNG24:", 0},
        {"rgba", "", "PNG32:", 0},
        {"rgb16", "-alpha off -depth 16", "PNG48:", 1},
        {"rgba16", "-depth 16", "PNG64:", 1},
        {"palette", "-alpha off -colors 16", "PNG8:", 0},
        {"palette_with_transparency", "-channel A -threshold 50% +channel", "PNG8:", 0},
        {"grey", "-alpha off -colorspace Gray", "PNG:", 0},
        {"grey_alpha", "-colorspace Gray -define png:color-type=4", "PNG:", 0},
        {"interlaced", "-interlace PNG", "PNG32:", 0},
    };
    for (const TKind& kind : kinds) {
        const std::string path = dir / (std::string(kind.Name) + ".png");
        ASSERT_TRUE(iotest::Convert(Quote(source) + " " + kind.Options + " " + kind.Format +
                                    Quote(path)))
            << kind.Name;
        ExpectSmallCopyLikeTheFullDecode(path, 16, kind.Tolerance, kind.Name);
    }
}

TEST(XpressSmallCopy, JpegOfEveryLayoutShowsWhatTheFullDecodeShows) {
    iotest::TempDir dir;
    const std::string source = dir / "source.png";
    ASSERT_TRUE(iotest::Convert("-size 48x36 gradient:red-blue PNG24:" + Quote(source)));
    struct TKind {
        const char* Name;
        const char* Options;
    };
    const TKind kinds[] = {
        {"baseline", "-quality 90"},
        {"progressive", "-quality 90 -interlace JPEG"},
        {"grey", "-quality 90 -colorspace Gray"},
        {"cmyk", "-quality 90 -colorspace CMYK"},
        {"subsampled", "-quality 70 -sampling-factor 2x2"},
    };
    for (const TKind& kind : kinds) {
        const std::string path = dir / (std::string(kind.Name) + ".jpg");
        ASSERT_TRUE(iotest::Convert(Quote(source) + " " + kind.Options + " " + Quote(path)))
            << kind.Name;
        // A side the picture does not exceed: decoded whole, as the full decode is.
        EXPECT_FALSE(ExpectSmallCopyLikeTheFullDecode(path, 64, 3, kind.Name).Alpha) << kind.Name;
    }
}

TEST(XpressSmallCopy, GifShowsItsFirstFrameOnItsScreen) {
    iotest::TempDir dir;
    gif::TGIFImage image;
    image.Header().SetLogicalWidth(20);
    image.Header().SetLogicalHeight(10);
    const std::vector<gif::TColor> colors = {gif::RGB(200, 30, 40), gif::RGB(20, 180, 60),
                                             gif::RGB(10, 40, 220)};
    // A 4 x 3 first frame at (5, 2) whose index 2 is transparent, then a whole second one.
    gif::TGIFSubImage& first = iotest::AddFrame(
        image, 5, 2, 4, 3, colors, [](int x, int y) { return uint8_t((x + y) % 3); }, 10);
    first.ControlBlock()->SetTransparentFlag(true);
    first.ControlBlock()->SetTransparentIndexUnchecked(2);
    first.SetIsTransparent(true);
    iotest::AddFrame(image, 0, 0, 20, 10, colors, [](int, int) { return 1; }, 10);
    const std::string path = dir / "anim.gif";
    image.SaveToFile(path);

    const TCopy quick = Load(path, 8);
    ASSERT_EQ(quick.Error, 0);
    EXPECT_EQ(quick.Width, 20);
    EXPECT_EQ(quick.Height, 10);
    EXPECT_EQ(quick.FileWidth, 20);
    EXPECT_TRUE(quick.Alpha);
    const auto at = [&](int x, int y) { return &quick.Bgra[(size_t(y) * 20 + size_t(x)) * 4]; };
    EXPECT_EQ(at(0, 0)[3], 0);  // outside the frame
    EXPECT_EQ(at(19, 9)[3], 0);
    EXPECT_EQ(at(5, 2)[3], 255); // index 0: red
    EXPECT_EQ(at(5, 2)[2], 200);
    EXPECT_EQ(at(5, 2)[0], 40);
    EXPECT_EQ(at(6, 2)[1], 180); // index 1: green
    EXPECT_EQ(at(7, 2)[3], 0);   // index 2: transparent
    // The full decode shows the same frame, cut to its own rectangle.
    const TCopy full = Load(path, 0);
    ASSERT_EQ(full.Error, 0);
    ASSERT_EQ(full.Width, 4);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 4; ++c) {
                const uint8_t want = full.Bgra[(size_t(y) * 4 + size_t(x)) * 4 + size_t(c)];
                if (c < 3 && full.Bgra[(size_t(y) * 4 + size_t(x)) * 4 + 3] == 0) continue;
                EXPECT_EQ(at(5 + x, 2 + y)[c], want) << x << "," << y << " channel " << c;
            }
}

TEST(XpressSmallCopy, GifWhoseFirstFrameIsOffItsScreenShowsTheFrame) {
    iotest::TempDir dir;
    gif::TGIFImage image;
    image.Header().SetLogicalWidth(4);
    image.Header().SetLogicalHeight(4);
    iotest::AddFrame(image, 100, 100, 2, 2, {gif::RGB(200, 30, 40)},
                     [](int, int) { return 0; });
    const std::string path = dir / "off.gif";
    image.SaveToFile(path);
    // The writer widens the screen to hold the frame: the file's screen is set back.
    std::vector<uint8_t> bytes = iotest::ReadBytes(path);
    ASSERT_GT(bytes.size(), 10u);
    bytes[6] = 4, bytes[7] = 0, bytes[8] = 4, bytes[9] = 0;
    iotest::WriteBytes(path, bytes);
    const TCopy quick = Load(path, 8), full = Load(path, 0);
    ASSERT_EQ(quick.Error, full.Error);
    EXPECT_EQ(quick.Width, 2);
    EXPECT_EQ(quick.Width, full.Width);
    EXPECT_EQ(quick.Height, full.Height);
}

TEST(XpressSmallCopy, DamagedFilesFailAsTheFullDecodeDoes) {
    iotest::TempDir dir;
    const std::string png = dir / "whole.png";
    ASSERT_TRUE(iotest::Convert("-size 64x64 plasma:fractal -seed 3 PNG24:" + Quote(png)));
    gif::TGIFImage image;
    image.Header().SetLogicalWidth(64);
    image.Header().SetLogicalHeight(64);
    iotest::AddFrame(image, 0, 0, 64, 64, {gif::RGB(0, 0, 0), gif::RGB(255, 255, 255)},
                     [](int x, int y) { return uint8_t((x * 7 + y * 3) % 5 == 0); });
    const std::string gifPath = dir / "whole.gif";
    image.SaveToFile(gifPath);
    const std::string jpeg = dir / "whole.jpg";
    ASSERT_TRUE(iotest::Convert(Quote(png) + " -quality 90 " + Quote(jpeg)));
    for (const std::string& whole : {png, gifPath, jpeg}) {
        const std::vector<uint8_t> bytes = iotest::ReadBytes(whole);
        for (size_t keep : {size_t(8), bytes.size() / 2, bytes.size() - 1}) {
            const std::string cut = dir / ("cut" + whole.substr(whole.size() - 4));
            iotest::WriteBytes(cut, std::span(bytes).first(keep));
            const TCopy full = Load(cut, 0), quick = Load(cut, 16);
            EXPECT_EQ(quick.Error, full.Error) << whole << " cut to " << keep;
            if (full.Error == 0 && quick.Error == 0)
                ExpectSamePixels(quick, full, 0, whole + " cut");
        }
    }
}
