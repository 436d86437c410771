#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "gif/base/stream.h"
#include "gif/optimize/duplicate_pixels.h"
#include "gif/optimize/optimize_fixtures.h"

using namespace gif;
using namespace opttest;

namespace {

struct Animation {
    TGIFImage image;
    explicit Animation(const std::vector<TColor>& colors = Four) {
        SetColors(image.GlobalColorMap(), colors);
    }
    TGIFSubImage& Add(int left, int top, int width, int height, const std::vector<uint8_t>& pixels) {
        return giftest::AddFrame(image, left, top, width, height, pixels);
    }
};

} // namespace

TEST(DuplicatePixels, IdenticalOpaqueFrameBecomesFullyTransparent) {
    Animation a;
    a.Add(0, 0, 4, 2, {1, 2, 3, 1, 2, 3, 1, 2});
    TGIFSubImage& second = a.Add(0, 0, 4, 2, {1, 2, 3, 1, 2, 3, 1, 2});
    a.image.Optimize(optDuplicatePixels);
    ASSERT_TRUE(second.IsTransparent());
    // Frame 0's pixel (1, 1) is index 3 (blue): the transparent entry gets that colour.
    EXPECT_EQ(second.TransparentIndex(), 3);
    EXPECT_EQ(Pixels(second), std::vector<uint8_t>(8, 3));
    EXPECT_EQ(a.image.FrameCount(), 2);
}

TEST(DuplicatePixels, TransparentIndexNeverHidesVisiblePixels) {
    // Frame 0's pixel (1, 0) is red (index 1), so index 1 is the colour of choice; but the
    // second frame keeps a red pixel where frame 0 is blue. Index 1 would make it vanish.
    Animation a;
    a.Add(0, 0, 4, 1, {0, 1, 2, 3});
    TGIFSubImage& second = a.Add(0, 0, 4, 1, {0, 2, 2, 1});
    a.image.Optimize(optDuplicatePixels);
    ASSERT_TRUE(second.IsTransparent());
    EXPECT_EQ(second.TransparentIndex(), 0);   // the first index no visible pixel uses
    EXPECT_EQ(Pixels(second), (std::vector<uint8_t>{0, 2, 0, 1}));
}

TEST(DuplicatePixels, EveryIndexVisibleAddsATransparentEntry) {
    Animation a({RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0)});
    a.Add(0, 0, 5, 1, {0, 1, 1, 0, 2});
    TGIFSubImage& second = a.Add(0, 0, 5, 1, {0, 0, 2, 1, 2});
    a.image.Optimize(optDuplicatePixels);
    ASSERT_TRUE(second.IsTransparent());
    EXPECT_EQ(a.image.GlobalColorMap().EntryCount(), 4);
    EXPECT_EQ(second.TransparentIndex(), 3);
    EXPECT_EQ(Pixels(second), (std::vector<uint8_t>{3, 0, 2, 1, 3}));
}

TEST(DuplicatePixels, TransparentFrameUsesItsOwnIndexAndKeepsItsHoles) {
    Animation a;
    TGIFSubImage& first = a.Add(0, 0, 4, 1, {1, 2, 3, 0});
    Control(first, dmNoDisposal, 5, 0);   // index 0 is a hole in frame 0
    TGIFSubImage& second = a.Add(0, 0, 4, 1, {1, 3, 3, 2});
    Control(second, dmNone, 5, 2);
    a.image.Optimize(optDuplicatePixels);
    // Pixel 3 of frame 0 is a hole: what shows there is not frame 0's colour.
    EXPECT_EQ(Pixels(second), (std::vector<uint8_t>{2, 3, 2, 2}));
    EXPECT_EQ(second.TransparentIndex(), 2);
}

TEST(DuplicatePixels, OnlyTheOverlapIsCompared) {
    Animation a;
    a.Add(0, 0, 3, 3, {1, 1, 1, 1, 2, 1, 1, 1, 1});
    TGIFSubImage& second = a.Add(1, 1, 3, 3, {2, 1, 3, 1, 1, 3, 3, 3, 3});
    a.image.Optimize(optDuplicatePixels);
    // The overlap is screen (1,1)-(3,3): frame 0 shows 2 1 / 1 1 there.
    int t = second.TransparentIndex();
    ASSERT_GE(t, 0);
    EXPECT_NE(t, 3);
    EXPECT_EQ(Pixels(second),
              (std::vector<uint8_t>{uint8_t(t), uint8_t(t), 3, uint8_t(t), uint8_t(t), 3, 3, 3, 3}));
}

TEST(DuplicatePixels, SameColourInAnotherTableCounts) {
    Animation a;
    a.Add(0, 0, 2, 1, {1, 3});   // red, blue
    TGIFSubImage& second = a.Add(0, 0, 2, 1, {0, 1});
    SetColors(second.LocalTable(), {RGB(255, 0, 0), RGB(0, 255, 0)});   // red, green
    a.image.Optimize(optDuplicatePixels);
    ASSERT_TRUE(second.IsTransparent());
    EXPECT_EQ(second.PixelAt(0, 0), second.TransparentIndex());
    EXPECT_EQ(second.PixelAt(1, 0), 1);
    EXPECT_NE(second.TransparentIndex(), 1);
}

TEST(DuplicatePixels, SameColourUnderAnotherIndexOfTheSameTableCounts) {
    // Entries 1 and 4 are both red: a pixel that moves from one to the other repeats.
    Animation a({RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 0, 0)});
    a.Add(0, 0, 3, 1, {1, 2, 4});
    TGIFSubImage& second = a.Add(0, 0, 3, 1, {4, 3, 1});
    a.image.Optimize(optDuplicatePixels);
    ASSERT_TRUE(second.IsTransparent());
    const auto t = uint8_t(second.TransparentIndex());
    EXPECT_EQ(Pixels(second), (std::vector<uint8_t>{t, 3, t}));
}

TEST(DuplicatePixels, WideFrameKeepsOnlyWhatChangedAtAnyColumn) {
    // Rows longer than a word, with the changes at the start, in the middle, across a word
    // boundary and at the end of a row that is no multiple of eight wide.
    constexpr int W = 29, H = 4;
    std::vector<uint8_t> before(size_t(W) * H, 1);
    for (int x = 0; x < W; x += 3) before[size_t(W) + size_t(x)] = 2;
    Animation a;
    a.Add(0, 0, W, H, before);
    std::vector<uint8_t> after = before;
    const std::vector<std::pair<int, int>> changes = {{0, 0}, {7, 1}, {8, 1}, {15, 2}, {28, 3}};
    for (auto [x, y] : changes) after[size_t(y) * W + size_t(x)] = 3;
    TGIFSubImage& second = a.Add(0, 0, W, H, after);
    a.image.Optimize(optDuplicatePixels | optTrim);
    ASSERT_TRUE(second.IsTransparent());
    EXPECT_EQ(second.BoundsRect(), (TRect{0, 0, W, H}));
    const int t = second.TransparentIndex();
    EXPECT_NE(t, 3);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool changed =
                std::find(changes.begin(), changes.end(), std::pair{x, y}) != changes.end();
            EXPECT_EQ(second.PixelAt(x, y), changed ? 3 : t) << x << "," << y;
        }
}

TEST(DuplicatePixels, ReferenceSkipsFramesThatRestoreThePrevious) {
    Animation a;
    TGIFSubImage& first = a.Add(0, 0, 2, 1, {1, 2});
    Control(first, dmNoDisposal, 5);
    TGIFSubImage& popup = a.Add(0, 0, 2, 1, {3, 3});
    Control(popup, dmPrevious, 5);
    TGIFSubImage& third = a.Add(0, 0, 2, 1, {1, 2});
    a.image.Optimize(optDuplicatePixels);
    EXPECT_EQ(optimize::ReferenceFrameIndex(a.image, 2), 0);
    ASSERT_TRUE(third.IsTransparent());
    EXPECT_EQ(third.PixelAt(0, 0), third.TransparentIndex());
    EXPECT_EQ(third.PixelAt(1, 0), third.TransparentIndex());
    EXPECT_FALSE(popup.IsTransparent());   // it differs from frame 0 everywhere
}

TEST(DuplicatePixels, NothingAgainstAFrameThatIsCleared) {
    for (int disposal : {int(dmBackground), int(dmPrevious)}) {
        Animation a;
        TGIFSubImage& first = a.Add(0, 0, 2, 1, {1, 2});
        Control(first, disposal, 5);
        TGIFSubImage& second = a.Add(0, 0, 2, 1, {1, 2});
        a.image.Optimize(optDuplicatePixels);
        EXPECT_FALSE(second.IsTransparent()) << disposal;
        EXPECT_EQ(Pixels(second), (std::vector<uint8_t>{1, 2}));
    }
}

TEST(DuplicatePixels, OpaqueFrameWithAFullTableIsLeftAlone) {
    std::vector<TColor> full;
    for (int i = 0; i < 256; ++i) full.push_back(RGB(uint8_t(i), 0, 0));
    Animation a(full);
    a.Add(0, 0, 2, 1, {7, 8});
    TGIFSubImage& second = a.Add(0, 0, 2, 1, {7, 8});
    a.image.Optimize(optDuplicatePixels);
    EXPECT_FALSE(second.IsTransparent());
    EXPECT_EQ(Pixels(second), (std::vector<uint8_t>{7, 8}));
}

TEST(DuplicatePixels, NeverMakesNoisyVideoLarger) {
    // Moving smooth shapes with a little noise, as video frames cut to a colour cube look:
    // many pixels repeat the frame before at scattered places. Turning those into
    // transparency breaks the runs LZW feeds on, so the pass must leave such frames alone.
    std::vector<TColor> cube;
    for (int i = 0; i < 216; ++i) cube.push_back(RGB(uint8_t(i / 36 * 51), uint8_t(i / 6 % 6 * 51), uint8_t(i % 6 * 51)));
    Animation a(cube);
    constexpr int W = 120, H = 90;
    uint32_t seed = 5;
    auto noise = [&] { return double(((seed = seed * 1103515245u + 12345u) >> 16) % 100) / 1000.0 - 0.05; };
    auto level = [](double v) { return std::clamp(int(v * 6), 0, 5); };
    for (int f = 0; f < 4; ++f) {
        std::vector<uint8_t> pixels(size_t(W) * H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                double t = f * 0.15;
                double v = std::sin(x * 0.05 + t) + std::sin(y * 0.07 - t) + std::sin((x + y) * 0.03 + 2 * t);
                double n = noise();
                pixels[size_t(y) * W + x] = uint8_t(36 * level(0.5 + v / 6 + n) +
                                                    6 * level(0.5 + std::sin(v) / 3 + n) +
                                                    level(0.5 - v / 6 + n));
            }
        a.Add(0, 0, W, H, pixels);
    }
    auto savedSize = [](TGIFImage& image) {
        TCountingStream counter;
        image.SaveToStream(counter);
        return counter.Size();
    };
    int64_t before = savedSize(a.image);
    a.image.Optimize(optDuplicatePixels);
    EXPECT_LE(savedSize(a.image), before);
}
