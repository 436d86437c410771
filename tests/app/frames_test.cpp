// loopwright-cli frames, checked against an independent decoder: ImageMagick's coalesced
// frames, flattened over the same background, must be pixel-identical to ours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "app/cli_util.h"
#include "gif/graphics/bitmap.h"
#include "gif/test_util.h"

using clitest::Quote;
using clitest::TempDir;
using giftest::GifBuilder;

namespace {

// Eight colours (red in the low byte); entry 6 is the background index, a colour no test
// uses as background: the renderer, like ImageMagick, shows cleared areas as what lay
// under the animation, never as the background index's colour.
const std::vector<uint32_t> Palette = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                       0x0000FF, 0xFFFF00, 0x808080, 0x00FFFF};

struct FrameSpec {
    int Left, Top, Width, Height;
    int Disposal = -1;      // -1: no graphic control extension
    int Transparent = -1;
    bool Interlaced = false;
    std::vector<uint32_t> Local = {};   // a local colour table, when not empty
    int LoopCount = -1;            // a looping block before this frame
};

// Colour indices of a frame: a pattern that differs from frame to frame and, for a
// transparent frame, marks about a third of the pixels transparent.
std::vector<uint8_t> Pattern(const FrameSpec& f, int seed, int colors) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < f.Height; ++y)
        for (int x = 0; x < f.Width; ++x) {
            int v = (x * 3 + y * 5 + seed * 7) % colors;
            if (f.Transparent >= 0 && (x + 2 * y + seed) % 3 == 0) v = f.Transparent;
            pixels.push_back(uint8_t(v));
        }
    return pixels;
}

// Rows in the order an interlaced image stores them.
std::vector<uint8_t> Interlace(const std::vector<uint8_t>& pixels, int width, int height) {
    std::vector<uint8_t> out;
    for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < height; y += step)
            out.insert(out.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
    return out;
}

void WriteGif(const std::filesystem::path& path, int width, int height,
              const std::vector<FrameSpec>& frames) {
    GifBuilder gif(width, height, Palette);
    gif.Bytes[11] = 6;   // background colour index
    for (size_t i = 0; i < frames.size(); ++i) {
        const FrameSpec& f = frames[i];
        if (f.LoopCount >= 0)
            gif.Raw({0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1,
                     f.LoopCount & 0xFF, f.LoopCount >> 8, 0});
        if (f.Disposal >= 0) gif.Control(10, f.Disposal, f.Transparent);
        int colors = f.Local.empty() ? int(Palette.size()) : int(f.Local.size());
        std::vector<uint8_t> pixels = Pattern(f, int(i), colors);
        if (f.Interlaced) pixels = Interlace(pixels, f.Width, f.Height);
        gif.Raw({0x2C}).Word(f.Left).Word(f.Top).Word(f.Width).Word(f.Height);
        int flags = f.Interlaced ? 0x40 : 0;
        if (!f.Local.empty()) {
            int code = 0;
            while ((2 << code) < colors) ++code;
            gif.Raw({flags | 0x80 | code}).Table(f.Local, 2 << code);
        } else {
            gif.Raw({flags});
        }
        gif.Raw(giftest::PlainLZW(pixels, 3));
    }
    gif.Trailer();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(gif.Bytes.data()), std::streamsize(gif.Bytes.size()));
}

std::unique_ptr<gif::TBitmap> LoadBitmap(const std::filesystem::path& path) {
    auto bitmap = std::make_unique<gif::TBitmap>();
    bitmap->LoadFromFile(path.string());
    return bitmap;
}

std::string FrameName(const char* prefix, int i) {
    char name[32];
    std::snprintf(name, sizeof name, "%s-%03d.bmp", prefix, i);
    return name;
}

// Runs both tools over `gif` and compares every frame; returns how many were compared.
int CompareWithImageMagick(const TempDir& dir, const std::filesystem::path& gif,
                           const std::string& background) {
    auto ours = dir / "ours";
    auto theirs = dir / "theirs";
    std::filesystem::create_directories(theirs);
    clitest::Result result =
        clitest::Run("frames " + Quote(gif) + " " + Quote(ours) + " --background " + background);
    EXPECT_EQ(result.Status, 0) << result.Output;
    // -coalesce gives every frame as shown (disposal applied, transparent where nothing
    // was drawn); -alpha remove flattens each one over the background.
    std::string command = "/usr/bin/convert " + Quote(gif) + " -coalesce -background '#" +
                          background + "' -alpha remove -alpha off -type TrueColor " +
                          Quote(theirs / "im-%03d.bmp").replace(1, 0, "BMP3:");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;

    int count = 0;
    while (std::filesystem::exists(theirs / FrameName("im", count))) ++count;
    EXPECT_GT(count, 0);
    EXPECT_FALSE(std::filesystem::exists(ours / FrameName("frame", count)));
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        auto a = LoadBitmap(ours / FrameName("frame", i));
        auto b = LoadBitmap(theirs / FrameName("im", i));
        EXPECT_EQ(a->PixelFormat(), gif::pf24bit);
        EXPECT_EQ(b->PixelFormat(), gif::pf24bit);
        EXPECT_EQ(a->Width(), b->Width());
        EXPECT_EQ(a->Height(), b->Height());
        int differences = 0;
        for (int y = 0; y < a->Height(); ++y)
            for (int x = 0; x < a->Width(); ++x)
                if (a->Pixels(x, y) != b->Pixels(x, y) && differences++ == 0)
                    ADD_FAILURE() << "first difference at " << x << "," << y << ": ours "
                                  << std::hex << a->Pixels(x, y) << ", ImageMagick "
                                  << b->Pixels(x, y);
        EXPECT_EQ(differences, 0);
    }
    return count;
}

} // namespace

// Every disposal code after every kind of predecessor, with and without transparency,
// partial frames at offsets, an interlaced frame, a local table and a looping block.
TEST(CliFrames, MatchesImageMagickForEveryDisposalCode) {
    TempDir dir;
    WriteGif(dir / "all.gif", 10, 8,
             {
                 {0, 0, 10, 8, 1, -1, false, {}, 3},
                 {2, 1, 5, 4, 2, 7},                 // background, transparent
                 {5, 3, 4, 4, 3, 0},                 // previous after background, transparent
                 {0, 0, 3, 2, 3},                    // previous after previous
                 {3, 5, 6, 3, 0, 1, true},           // unspecified, transparent, interlaced
                 {1, 2, 4, 3, 3, 2},                 // previous after unspecified
                 {8, 0, 2, 2, 2},                    // background, opaque
                 {0, 0, 10, 8, 1, 3, false, {0x102030, 0x405060, 0x708090, 0xA0B0C0}},
                 {0, 4, 4, 4, 2, 5},
                 {1, 1, 2, 2, 1, 4},
                 // No control block: left in place. ImageMagick would carry the previous
                 // block's disposal over to it (a block belongs to one image only), so it
                 // follows a frame with disposal 1 where both readings agree.
                 {7, 5, 3, 3},
                 {6, 4, 4, 4, 1, 6},
             });
    EXPECT_EQ(CompareWithImageMagick(dir, dir / "all.gif", "336699"), 12);
    // Frame 1's area, cleared, shows the background in frame 2 (both tools flattened it).
    EXPECT_EQ(LoadBitmap(dir / "ours" / "frame-002.bmp")->Pixels(2, 1), gif::RGB(0x33, 0x66, 0x99));
}

// The reserved disposal codes 4 to 7 leave the frame in place, as ImageMagick does too.
TEST(CliFrames, MatchesImageMagickForReservedDisposalCodes) {
    TempDir dir;
    for (int code = 4; code <= 7; ++code) {
        SCOPED_TRACE("code " + std::to_string(code));
        auto gif = dir / ("reserved-" + std::to_string(code) + ".gif");
        WriteGif(gif, 6, 4, {{0, 0, 6, 4, 1}, {1, 1, 3, 2, code, 3}, {0, 0, 6, 4, 1, 1}});
        EXPECT_EQ(CompareWithImageMagick(dir, gif, "FFFFFF"), 3);
        std::filesystem::remove_all(dir / "ours");
        std::filesystem::remove_all(dir / "theirs");
    }
}

// A first frame that covers part of the screen and is restored to the previous picture,
// then cleared areas over the default background.
TEST(CliFrames, MatchesImageMagickWhenTheFirstFrameIsPartial) {
    TempDir dir;
    WriteGif(dir / "partial.gif", 7, 5,
             {
                 {2, 1, 4, 3, 3, 4},
                 {0, 0, 3, 3, 2},
                 {1, 1, 6, 4, 1, 6},
                 {4, 0, 3, 5, 3, 2},
             });
    EXPECT_EQ(CompareWithImageMagick(dir, dir / "partial.gif", "FFFFFF"), 4);
}

TEST(CliFrames, WritesNamedBitmapsOverTheBackground) {
    TempDir dir;
    WriteGif(dir / "two.gif", 3, 1, {{0, 0, 1, 1, 2}, {2, 0, 1, 1, 1}});
    clitest::Result result =
        clitest::Run("frames " + Quote(dir / "two.gif") + " " + Quote(dir / "out"));
    ASSERT_EQ(result.Status, 0) << result.Output;
    EXPECT_NE(result.Output.find("2 frames written"), std::string::npos) << result.Output;
    auto first = LoadBitmap(dir / "out" / "frame-000.bmp");
    auto second = LoadBitmap(dir / "out" / "frame-001.bmp");
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "frame-002.bmp"));
    // White by default; frame 0 went back to the background before frame 1.
    EXPECT_EQ(first->Pixels(0, 0), gif::TColor(Palette[0]));
    EXPECT_EQ(first->Pixels(1, 0), gif::clWhite);
    EXPECT_EQ(second->Pixels(0, 0), gif::clWhite);
    EXPECT_EQ(second->Pixels(2, 0), gif::TColor(Palette[7]));

    EXPECT_EQ(clitest::Run("frames " + Quote(dir / "two.gif")).Status, 2);
    EXPECT_EQ(clitest::Run("frames " + Quote(dir / "two.gif") + " " + Quote(dir / "x") +
                           " --background 12345")
                  .Status,
              2);
    EXPECT_EQ(clitest::Run("frames " + Quote(dir / "two.gif") + " " + Quote(dir / "x") + " --fast")
                  .Status,
              2);
    result = clitest::Run("frames " + Quote(dir / "missing.gif") + " " + Quote(dir / "x"));
    EXPECT_EQ(result.Status, 1);
}
