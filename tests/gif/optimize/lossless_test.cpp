// The optimiser must not change what a viewer sees: every animation below uses at most
// 255 colours, and for every combination of passes (with and without the colour-map
// merge) the written file shows the same composed pictures for the same time.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/render/compose.h"
#include "gif/render/timing.h"
#include "gif/optimize/optimize_fixtures.h"

using namespace gif;
using namespace opttest;

namespace {

constexpr TColor Background = RGB(250, 0, 250);   // in no palette below

std::vector<TColor> Palette(int count, int salt) {
    std::vector<TColor> colors;
    for (int i = 0; i < count; ++i)
        colors.push_back(RGB(uint8_t(i * 37 + salt), uint8_t(i * 11 + 3 * salt), uint8_t(i * 5 + 90)));
    return colors;
}

// One shown picture and how long it stays, consecutive equal pictures joined.
struct Shot {
    std::vector<uint8_t> Pixels;
    int Delay;
};

std::vector<Shot> Timeline(TGIFImage& image) {
    std::vector<std::unique_ptr<TBitmap>> pictures = ComposeFrames(image, Background);
    std::vector<Shot> shots;
    for (size_t i = 0; i < pictures.size(); ++i) {
        std::span<const uint8_t> bits = pictures[i]->Bits();
        std::vector<uint8_t> pixels(bits.begin(), bits.end());
        int delay = FrameDelayUnits(*image.Frame(int(i)), true);
        if (!shots.empty() && shots.back().Pixels == pixels) shots.back().Delay += delay;
        else shots.push_back({std::move(pixels), delay});
    }
    return shots;
}

std::string OptionsText(int options, bool merge) {
    std::string text;
    if (options & optTrim) text += "trim ";
    if (options & optDuplicatePixels) text += "duplicates ";
    if (options & optCleanup) text += "cleanup ";
    if (options & optSortPalettes) text += "sort ";
    if (merge) text += "merge";
    return text;
}

// Optimises copies of `source` with every option set and compares what they show.
void ExpectLossless(TGIFImage& source, const std::string& name) {
    std::vector<Shot> before = Timeline(source);
    ASSERT_FALSE(before.empty()) << name;
    for (int options = 0; options < 16; ++options) {
        for (bool merge : {false, true}) {
            TGIFImage copy;
            copy.Assign(&source);
            copy.Optimize(TGIFOptimizeOptions(options));
            if (merge) copy.OptimizeColorMaps();
            // What counts is the file: written and read back.
            TMemoryStream stream;
            copy.SaveToStream(stream);
            stream.SetPosition(0);
            TGIFImage reread;
            reread.LoadFromStream(stream);
            std::vector<Shot> after = Timeline(reread);
            ASSERT_EQ(after.size(), before.size()) << name << ": " << OptionsText(options, merge);
            for (size_t i = 0; i < before.size(); ++i) {
                ASSERT_TRUE(after[i].Pixels == before[i].Pixels)
                    << name << ": picture " << i << " differs with " << OptionsText(options, merge);
                ASSERT_EQ(after[i].Delay, before[i].Delay)
                    << name << ": picture " << i << " with " << OptionsText(options, merge);
            }
        }
    }
}

// A still background with a sprite moving across it, every frame the whole screen.
void BuildMovingSprite(TGIFImage& image) {
    constexpr int W = 24, H = 16;
    SetColors(image.GlobalColorMap(), Palette(16, 7));
    std::vector<uint8_t> still(W * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) still[size_t(y * W + x)] = uint8_t((x / 4 + y / 3) % 6);
    for (int f = 0; f < 6; ++f) {
        std::vector<uint8_t> pixels = still;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) pixels[size_t((y + 2 + f) * W + x + 3 * f)] = uint8_t(10 + (x + y) % 3);
        TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, W, H, pixels);
        if (f % 2) Control(frame, dmNone, 8);
    }
}

// The same sprite as small transparent frames over a background frame, with every
// disposal method.
void BuildSpriteFrames(TGIFImage& image) {
    constexpr int W = 20, H = 12;
    SetColors(image.GlobalColorMap(), Palette(12, 50));
    std::vector<uint8_t> still(W * H);
    for (size_t i = 0; i < still.size(); ++i) still[i] = uint8_t(i % 7 == 0 ? 1 : 2);
    TGIFSubImage& first = giftest::AddFrame(image, 0, 0, W, H, still);
    Control(first, dmNoDisposal, 10);
    const int disposals[] = {dmNoDisposal, dmPrevious, dmBackground, dmNone, dmPrevious, dmNoDisposal};
    for (int f = 0; f < 6; ++f) {
        std::vector<uint8_t> pixels(6 * 5, 11);   // 11: transparent
        for (int y = 1; y < 4; ++y)
            for (int x = 1; x < 5; ++x) pixels[size_t(y * 6 + x)] = uint8_t(4 + (x * y + f) % 4);
        pixels[7] = 2;   // one pixel of the background's colour
        TGIFSubImage& frame = giftest::AddFrame(image, 2 * f + 1, f + 2, 6, 5, pixels);
        Control(frame, disposals[f], f == 3 ? 0 : 6, 11);
    }
}

// Frames with local tables that share colours in different orders.
void BuildLocalTables(TGIFImage& image) {
    constexpr int W = 16, H = 10;
    std::vector<TColor> all = Palette(40, 3);
    Random random(77);
    std::vector<uint8_t> previous;
    for (int f = 0; f < 5; ++f) {
        std::vector<TColor> local;
        for (int i = 0; i < 20; ++i) local.push_back(all[size_t((i * (f + 1) + f) % 40)]);
        std::vector<uint8_t> pixels(W * H);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint8_t(!previous.empty() && random.Chance(60) ? previous[i] : random.Next(20));
        TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, W, H, pixels);
        SetColors(frame.LocalTable(), local);
        if (f == 2) Control(frame, dmNone, 4, 19);
        previous = pixels;
    }
}

// Identical frames, frames with nothing visible and frames of delay 0, in the places where
// removing them is and is not allowed.
void BuildRepeats(TGIFImage& image) {
    SetColors(image.GlobalColorMap(), Palette(8, 9));
    const std::vector<uint8_t> a = {1, 2, 3, 1, 2, 3, 4, 4, 4, 5, 5, 5};
    TGIFSubImage& f0 = giftest::AddFrame(image, 0, 0, 4, 3, a);
    Control(f0, dmNone, 0);
    giftest::AddFrame(image, 0, 0, 4, 3, a);                         // identical, no control block
    Control(giftest::AddFrame(image, 1, 1, 2, 2, {7, 7, 7, 7}), dmNone, 5, 7);   // invisible
    Control(giftest::AddFrame(image, 0, 0, 4, 3, a), dmBackground, 9);
    Control(giftest::AddFrame(image, 1, 0, 3, 3, std::vector<uint8_t>(9, 6)), dmNone, 7, 6);
    Control(giftest::AddFrame(image, 0, 0, 4, 3, a), dmPrevious, 3);
    giftest::AddFrame(image, 0, 0, 4, 3, a);
}

// Random placements, disposals and transparency; pixels often repeat the frame before.
void BuildRandom(TGIFImage& image, uint64_t seed) {
    Random random(seed);
    constexpr int W = 14, H = 11;
    SetColors(image.GlobalColorMap(), Palette(10, int(seed % 50)));
    image.SetWidth(W);
    image.SetHeight(H);
    std::vector<uint8_t> screen(W * H, 0);   // the last pixels placed at each position
    const int frames = 4 + random.Next(6);
    for (int f = 0; f < frames; ++f) {
        bool full = f == 0 || random.Chance(30);
        int left = full ? 0 : random.Next(W - 1), top = full ? 0 : random.Next(H - 1);
        int width = full ? W : 1 + random.Next(W - left), height = full ? H : 1 + random.Next(H - top);
        bool transparent = random.Chance(50);
        int t = random.Next(10);
        bool invisible = transparent && random.Chance(15);
        int repeat = random.Chance(15) ? 100 : 65;   // sometimes the frame repeats the screen
        std::vector<uint8_t> pixels(size_t(width * height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t& p = pixels[size_t(y * width + x)];
                p = random.Chance(repeat) ? screen[size_t((top + y) * W + left + x)] : uint8_t(random.Next(10));
                if (transparent && (invisible || random.Chance(25))) p = uint8_t(t);
                screen[size_t((top + y) * W + left + x)] = p;
            }
        TGIFSubImage& frame = giftest::AddFrame(image, left, top, width, height, pixels);
        if (random.Chance(20) && f > 0) {
            // A local table: the global colours in another order, or other colours.
            std::vector<TColor> local = Palette(10, int(seed % 50) + (random.Chance(50) ? 0 : 100));
            std::reverse(local.begin(), local.end());
            SetColors(frame.LocalTable(), local);
        }
        if (transparent || random.Chance(70))
            Control(frame, random.Next(4), random.Chance(20) ? 0 : 1 + random.Next(10),
                    transparent ? t : -1);
        if (random.Chance(10)) AddComment(frame, "comment");
    }
    if (random.Chance(50)) AddLoop(*image.Frame(0), random.Next(3));
}

} // namespace

TEST(OptimizeLossless, MovingSprite) {
    TGIFImage image;
    BuildMovingSprite(image);
    ExpectLossless(image, "moving sprite");
}

TEST(OptimizeLossless, SpriteFramesWithEveryDisposal) {
    TGIFImage image;
    BuildSpriteFrames(image);
    ExpectLossless(image, "sprite frames");
}

TEST(OptimizeLossless, LocalTables) {
    TGIFImage image;
    BuildLocalTables(image);
    ExpectLossless(image, "local tables");
}

TEST(OptimizeLossless, RepeatedAndInvisibleFrames) {
    TGIFImage image;
    BuildRepeats(image);
    ExpectLossless(image, "repeats");
}

TEST(OptimizeLossless, RandomAnimations) {
    for (uint64_t seed = 1; seed <= 100; ++seed) {
        TGIFImage image;
        BuildRandom(image, seed);
        ExpectLossless(image, "random seed " + std::to_string(seed));
        if (HasFatalFailure()) return;
    }
}
