#include <gtest/gtest.h>

#include "gif/graphics/bitmap.h"
#include "gif/render/compose.h"
#include "render_test_util.h"

using namespace gif;
using rendertest::AddFrame;
using rendertest::Row;

namespace {

constexpr TColor K = clBlack, R = RGB(255, 0, 0), G = RGB(0, 255, 0), B = RGB(0, 0, 255),
                 W = clWhite, Y = RGB(255, 255, 0);
// Global table: 0 black, 1 red, 2 green, 3 blue, 4 white, 5 magenta (only ever transparent).
const std::vector<TColor> Colors = {K, R, G, B, W, RGB(255, 0, 255)};

std::vector<std::vector<TColor>> Rows(const std::vector<std::unique_ptr<TBitmap>>& frames,
                                      int y = 0) {
    std::vector<std::vector<TColor>> out;
    for (const auto& frame : frames) {
        EXPECT_EQ(frame->PixelFormat(), pf24bit);
        out.push_back(Row(*frame, y));
    }
    return out;
}

} // namespace

// Every disposal code, each after each kind of predecessor, with transparency: what a
// viewer sees after each frame, over a yellow background.
TEST(ComposeFrames, DisposalCodesFollowTheirPredecessors) {
    TGIFImage image;
    rendertest::SetScreen(image, 4, 1, Colors);
    AddFrame(image, {0, 0, 4, 1, {1, 1, 1, 1}, 5, 1});        // red, left in place
    AddFrame(image, {1, 0, 2, 1, {2, 5}, 5, 2, 5});           // green + transparent, to background
    AddFrame(image, {0, 0, 1, 1, {3}, 5, 3});                 // blue, restore previous after 2
    AddFrame(image, {3, 0, 1, 1, {2}, 5, 3});                 // green, restore previous after 3
    AddFrame(image, {2, 0, 1, 1, {3}, 5, 1});                 // blue, left
    AddFrame(image, {0, 0, 2, 1, {2, 2}, 5, 3});              // green pair, previous after 1
    AddFrame(image, {1, 0, 1, 1, {5}, 5, 0, 5});              // fully transparent, unspecified

    auto frames = ComposeFrames(image, Y);
    ASSERT_EQ(frames.size(), 7u);
    EXPECT_EQ(Rows(frames), (std::vector<std::vector<TColor>>{
                                {R, R, R, R},
                                {R, G, R, R},
                                {B, Y, Y, R},   // frame 1's area went back to the background
                                {R, Y, Y, G},   // frame 2 was undone
                                {R, Y, B, R},   // frame 3 was undone
                                {G, G, B, R},
                                {R, Y, B, R},   // frame 5 was undone
                            }));
    EXPECT_EQ(frames[0]->Width(), 4);
    EXPECT_EQ(frames[0]->Height(), 1);
}

// Without codes 2 and 3 the frames go straight onto the screen: partial frames at offsets,
// transparent pixels showing what lies below, areas never drawn showing the background.
TEST(ComposeFrames, PartialTransparentFramesAtOffsets) {
    TGIFImage image;
    rendertest::SetScreen(image, 3, 2, Colors);
    AddFrame(image, {1, 1, 2, 1, {1, 2}, 10, 1});
    AddFrame(image, {0, 0, 2, 2, {3, 5, 5, 4}, 10, 1, 5});
    TGIFSubImage& local = AddFrame(image, {2, 0, 1, 2, {0, 1}, 10, 0});
    local.LocalTable().AppendColor(W);   // the frame's own table: 0 white, 1 black
    local.LocalTable().AppendColor(K);

    auto frames = ComposeFrames(image, Y);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(Row(*frames[0], 0), (std::vector<TColor>{Y, Y, Y}));
    EXPECT_EQ(Row(*frames[0], 1), (std::vector<TColor>{Y, R, G}));
    EXPECT_EQ(Row(*frames[1], 0), (std::vector<TColor>{B, Y, Y}));
    EXPECT_EQ(Row(*frames[1], 1), (std::vector<TColor>{Y, W, G}));
    EXPECT_EQ(Row(*frames[2], 0), (std::vector<TColor>{B, Y, W}));
    EXPECT_EQ(Row(*frames[2], 1), (std::vector<TColor>{Y, W, K}));
}

// The reserved codes 4 to 7 leave the frame in place, as code 1 does; disposal 2 clears
// to the given background whatever the image's background index says.
TEST(ComposeFrames, ReservedCodesLeaveFramesAndBackgroundIsTheGivenColour) {
    for (int code = 4; code <= 7; ++code) {
        TGIFImage image;
        rendertest::SetScreen(image, 2, 1, Colors);
        image.Header().SetBackgroundIndex(3);
        AddFrame(image, {0, 0, 2, 1, {1, 2}, 5, code});
        AddFrame(image, {0, 0, 2, 1, {5, 3}, 5, 2, 5});
        AddFrame(image, {0, 0, 1, 1, {5}, 5, 1, 5});
        auto frames = ComposeFrames(image, W);
        ASSERT_EQ(frames.size(), 3u) << code;
        EXPECT_EQ(Rows(frames), (std::vector<std::vector<TColor>>{{R, G}, {R, B}, {W, W}})) << code;
    }
}

// Play ends at a frame without pixels; the looping block does not repeat anything; an
// image without frames composes nothing.
TEST(ComposeFrames, StopsAtBlankFrameAndPlaysOnce) {
    TGIFImage image;
    rendertest::SetScreen(image, 1, 1, Colors);
    rendertest::AddLoop(AddFrame(image, {0, 0, 1, 1, {1}, 5}), 3);
    AddFrame(image, {0, 0, 1, 1, {2}, 5});
    auto frames = ComposeFrames(image, W);
    EXPECT_EQ(Rows(frames), (std::vector<std::vector<TColor>>{{R}, {G}}));

    auto blank = std::make_unique<TGIFSubImage>(&image);
    image.AddFrame(std::move(blank));
    AddFrame(image, {0, 0, 1, 1, {3}, 5});
    EXPECT_EQ(ComposeFrames(image, W).size(), 2u);

    TGIFImage empty;
    EXPECT_TRUE(ComposeFrames(empty, W).empty());
}

// The one-at-a-time form hands out the same pictures in order, and an error of the
// receiver ends the play.
TEST(ComposeFrames, PicturesOneAtATime) {
    TGIFImage image;
    rendertest::SetScreen(image, 2, 1, Colors);
    for (int i = 0; i < 5; ++i) AddFrame(image, {i % 2, 0, 1, 1, {uint8_t(1 + i % 3)}, 5, 1});
    auto all = ComposeFrames(image, Y);
    std::vector<std::vector<TColor>> seen;
    ComposeFramesEach(image, Y, [&](int index, const TBitmap& picture) {
        EXPECT_EQ(index, int(seen.size()));
        seen.push_back(Row(picture, 0));
    });
    EXPECT_EQ(seen, Rows(all));
    int calls = 0;
    EXPECT_THROW(ComposeFramesEach(image, Y,
                                   [&](int index, const TBitmap&) {
                                       ++calls;
                                       if (index == 1) throw std::runtime_error("disk full");
                                   }),
                 std::runtime_error);
    EXPECT_EQ(calls, 2);
}
