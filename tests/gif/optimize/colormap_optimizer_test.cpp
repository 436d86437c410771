#include <gtest/gtest.h>

#include <set>

#include "gif/optimize/colormap_optimizer.h"
#include "gif/optimize/optimize_fixtures.h"

using namespace gif;
using namespace opttest;
using giftest::WarningLog;

namespace {

// Colour i of the 300-colour set: all different, and the red + green + blue sum is i.
TColor Numbered(int i) {
    return RGB(uint8_t(std::min(i, 255)), uint8_t(std::max(0, i - 255)), 0);
}

TColor ShownColor(TGIFSubImage& frame, int x, int y) {
    return frame.EffectiveTable().ColorAt(frame.PixelAt(x, y));
}

// Two frames with local tables of 150 colours each; colour i is used by i + 1 pixels,
// so colours 44..299 are the 256 most used.
struct ThreeHundredColours {
    TGIFImage image;
    std::vector<std::vector<TColor>> expected;   // per frame, per pixel: the colour shown

    ThreeHundredColours() {
        for (int f = 0; f < 2; ++f) {
            std::vector<TColor> colors;
            std::vector<uint8_t> pixels;
            for (int k = 0; k < 150; ++k) {
                int i = f * 150 + k;
                colors.push_back(Numbered(i));
                pixels.insert(pixels.end(), size_t(i + 1), uint8_t(k));
            }
            TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, int(pixels.size()), 1, pixels);
            SetColors(frame.LocalTable(), colors);
        }
        for (int f = 0; f < 2; ++f) {
            expected.emplace_back();
            for (int x = 0; x < image.Frame(f)->FrameWidth(); ++x)
                expected.back().push_back(ShownColor(*image.Frame(f), x, 0));
        }
    }
};

} // namespace

TEST(ColorMapMerge, ThreeHundredColoursKeepTheMostUsed) {
    ThreeHundredColours a;
    a.image.OptimizeColorMaps();
    TGIFGlobalColorMap& global = a.image.GlobalColorMap();
    ASSERT_EQ(global.EntryCount(), 256);
    std::set<TColor> kept;
    for (int i = 0; i < 256; ++i) kept.insert(global.ColorAt(i));
    for (int i = 44; i < 300; ++i) EXPECT_TRUE(kept.count(Numbered(i))) << i;
    for (int f = 0; f < 2; ++f) {
        TGIFSubImage& frame = *a.image.Frame(f);
        EXPECT_EQ(frame.LocalTable().EntryCount(), 0);
        for (int x = 0; x < frame.FrameWidth(); ++x) {
            TColor was = a.expected[size_t(f)][size_t(x)];
            // Dropped colours (sums 0..43) go to the kept colour of nearest sum: 44.
            TColor now = kept.count(was) ? was : Numbered(44);
            ASSERT_EQ(ShownColor(frame, x, 0), now) << f << ":" << x;
        }
    }
    EXPECT_TRUE(global.SortedByUse());
}

TEST(ColorMapMerge, TransparencyLeavesRoomForItsEntry) {
    ThreeHundredColours a;
    // Frame 1 gets holes: a 151st local entry as its transparent colour, used by 5 pixels.
    TGIFSubImage& frame = *a.image.Frame(1);
    frame.LocalTable().AppendColor(RGB(1, 2, 3));
    for (int x = 0; x < 5; ++x) frame.RowAt(0)[x] = 150;
    Control(frame, dmNone, 5, 150);
    std::vector<TColor> expected = a.expected[1];
    a.image.OptimizeColorMaps();

    TGIFGlobalColorMap& global = a.image.GlobalColorMap();
    ASSERT_EQ(global.EntryCount(), 256);
    int t = frame.TransparentIndex();
    ASSERT_GE(t, 0);
    EXPECT_EQ(global.ColorAt(t), RGB(0, 0, 0));
    std::set<TColor> kept;
    for (int i = 0; i < 256; ++i)
        if (i != t) kept.insert(global.ColorAt(i));
    EXPECT_EQ(kept.size(), 255u);
    // The five pixels of frame 1 that were colours 150..154 are holes now, the rest of
    // frame 1 (colours 155..299) is kept; of frame 0 the 255 - 145 = 110 most used stay.
    for (int i = 40; i < 300; ++i) EXPECT_EQ(kept.count(Numbered(i)) == 1, i >= 45) << i;
    for (int x = 0; x < frame.FrameWidth(); ++x) {
        if (x < 5) EXPECT_EQ(frame.PixelAt(x, 0), t);
        else EXPECT_EQ(ShownColor(frame, x, 0), expected[size_t(x)]);
    }
    EXPECT_EQ(a.image.Frame(0)->TransparentIndex(), -1);
}

TEST(ColorMapMerge, EqualColoursOfDifferentTablesBecomeOneEntry) {
    TGIFImage image;
    SetColors(image.GlobalColorMap(), {RGB(9, 9, 9), RGB(255, 0, 0), RGB(0, 255, 0)});
    image.Header().SetBackgroundIndex(2);
    giftest::AddFrame(image, 0, 0, 3, 1, {1, 2, 1});
    TGIFSubImage& local = giftest::AddFrame(image, 0, 0, 3, 1, {0, 1, 0});
    SetColors(local.LocalTable(), {RGB(0, 255, 0), RGB(0, 0, 255)});
    image.OptimizeColorMaps();
    TGIFGlobalColorMap& global = image.GlobalColorMap();
    // Unused (9, 9, 9) is gone; green from both tables is one entry.
    ASSERT_EQ(global.EntryCount(), 3);
    // Green's uses add up (1 + 2) and put it ahead of red (2) and blue (1).
    EXPECT_EQ(global.ColorAt(0), RGB(0, 255, 0));
    EXPECT_EQ(global.ColorAt(1), RGB(255, 0, 0));
    EXPECT_EQ(global.ColorAt(image.Header().BackgroundIndex()), RGB(0, 255, 0));
    EXPECT_EQ(local.LocalTable().EntryCount(), 0);
    EXPECT_EQ(ShownColor(local, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(ShownColor(local, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(ShownColor(*image.Frame(0), 1, 0), RGB(0, 255, 0));
}

TEST(ColorMapMerge, PixelOutsideItsTableIsReportedAndBecomesEntryZero) {
    TGIFImage image;
    SetColors(image.GlobalColorMap(), {RGB(10, 0, 0), RGB(20, 0, 0)});
    // Two values outside, one of them in a run longer than a word: one warning.
    std::vector<uint8_t> pixels = {1, 7, 1};
    pixels.insert(pixels.end(), 10, 9);
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, int(pixels.size()), 1, pixels);
    WarningLog log;
    log.Attach(image);
    image.OptimizeColorMaps();
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"Color not in color table"}));
    EXPECT_EQ(log.Entries[0].Sender, "TGIFSubImage");
    EXPECT_EQ(ShownColor(frame, 1, 0), RGB(10, 0, 0));
    EXPECT_EQ(ShownColor(frame, 0, 0), RGB(20, 0, 0));
    for (int x = 3; x < int(pixels.size()); ++x)
        EXPECT_EQ(ShownColor(frame, x, 0), RGB(10, 0, 0)) << x;
}

TEST(ColorMapMerge, UnusedTransparencyIsDropped) {
    TGIFImage image;
    SetColors(image.GlobalColorMap(), Four);
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 2, 1, {1, 2});
    Control(frame, dmNone, 5, 3);
    TColorMapOptimizer optimizer(image);
    optimizer.Optimize();
    EXPECT_FALSE(frame.IsTransparent());
    EXPECT_EQ(frame.ControlBlock()->TransparentIndex(), 0);
    EXPECT_EQ(optimizer.NewTransparentIndex(), -1);
    EXPECT_EQ(optimizer.FinalCount(), 2);
    EXPECT_EQ(image.GlobalColorMap().EntryCount(), 2);
}

TEST(ColorMapMerge, ImageWithoutPicturesKeepsItsPalette) {
    TGIFImage image;
    SetColors(image.GlobalColorMap(), Four);
    image.OptimizeColorMaps();
    EXPECT_EQ(image.GlobalColorMap().EntryCount(), 4);
    auto blank = std::make_unique<TGIFSubImage>(&image);
    AddComment(*blank, "only a comment");
    image.AddFrame(std::move(blank));
    image.OptimizeColorMaps();
    EXPECT_EQ(image.GlobalColorMap().EntryCount(), 4);
}
