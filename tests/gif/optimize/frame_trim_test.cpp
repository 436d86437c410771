#include <gtest/gtest.h>

#include "gif/optimize/frame_trim.h"
#include "gif/optimize/optimize_fixtures.h"

using namespace gif;
using namespace opttest;

namespace {

TGIFImage& NewImage(TGIFImage& image) {
    SetColors(image.GlobalColorMap(), Four);
    return image;
}

} // namespace

TEST(Trim, TransparentFrameShrinksToItsVisiblePixels) {
    TGIFImage image;
    NewImage(image);
    giftest::AddFrame(image, 0, 0, 8, 8);
    // 5 x 4 at (2, 3); visible pixels (index != 0) span columns 1..3 and rows 1..2.
    TGIFSubImage& frame = giftest::AddFrame(image, 2, 3, 5, 4,
                                            {0, 0, 0, 0, 0,
                                             0, 1, 0, 0, 0,
                                             0, 0, 0, 2, 0,
                                             0, 0, 0, 0, 0});
    Control(frame, dmNone, 7, 0);
    EXPECT_EQ(optimize::VisibleRect(frame), (TRect{1, 1, 4, 3}));
    image.Optimize(optTrim);
    EXPECT_EQ(frame.BoundsRect(), (TRect{3, 4, 6, 6}));
    EXPECT_EQ(Pixels(frame), (std::vector<uint8_t>{1, 0, 0, 0, 0, 2}));
    EXPECT_EQ(Delay(frame), 7);
    EXPECT_EQ(image.Width(), 8);
}

TEST(Trim, OpaqueRectFindsTheEdgesOfLongTransparentRows) {
    // Rows are searched eight pixels at a time from both ends: visible pixels at every
    // distance from a word's edge must be found, and rows of any width ended by hand.
    for (int width : {1, 7, 8, 9, 23, 64}) {
        for (int at = 0; at < width; ++at) {
            std::vector<uint8_t> pixels(size_t(width) * 3, 5);
            pixels[size_t(width) + size_t(at)] = 6;
            EXPECT_EQ(optimize::OpaqueRect(pixels, width, 3, 5), (TRect{at, 1, at + 1, 2}))
                << width << " " << at;
        }
        std::vector<uint8_t> pixels(size_t(width) * 2, 5);
        EXPECT_TRUE(optimize::OpaqueRect(pixels, width, 2, 5).IsEmpty()) << width;
        pixels.back() = 1;
        pixels.front() = 1;
        EXPECT_EQ(optimize::OpaqueRect(pixels, width, 2, 5), (TRect{0, 0, width, 2})) << width;
        EXPECT_EQ(optimize::OpaqueRect(pixels, width, 2, -1), (TRect{0, 0, width, 2})) << width;
    }
}

TEST(Trim, OpaqueFramesAndFramesClearedToBackgroundKeepTheirSize) {
    TGIFImage image;
    NewImage(image);
    TGIFSubImage& opaque = giftest::AddFrame(image, 0, 0, 3, 1, {0, 1, 0});
    TGIFSubImage& cleared = giftest::AddFrame(image, 0, 0, 3, 1, {0, 1, 0});
    Control(cleared, dmBackground, 5, 0);
    image.Optimize(optTrim);
    EXPECT_EQ(opaque.FrameWidth(), 3);
    // Its whole rectangle is cleared after it is shown: a smaller one would clear less.
    EXPECT_EQ(cleared.FrameWidth(), 3);
}

TEST(Trim, InvisibleFrameIsDeletedAndItsTimeGoesToTheFrameBefore) {
    TGIFImage image;
    NewImage(image);
    TGIFSubImage& first = giftest::AddFrame(image, 0, 0, 2, 1, {1, 2});
    Control(first, dmNoDisposal, 30);
    TGIFSubImage& empty = giftest::AddFrame(image, 0, 0, 2, 1, {3, 3});
    Control(empty, dmNone, 20, 3);
    giftest::AddFrame(image, 0, 0, 2, 1, {2, 1});
    image.Optimize(optTrim);
    ASSERT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(Delay(*image.Frame(0)), 50);
    EXPECT_EQ(Pixels(*image.Frame(1)), (std::vector<uint8_t>{2, 1}));
}

TEST(Trim, DelayOfZeroCountsAsThePlayersFallback) {
    TGIFImage image;
    NewImage(image);
    giftest::AddFrame(image, 0, 0, 2, 1, {1, 2});   // no control block: plays 10 units
    TGIFSubImage& empty = giftest::AddFrame(image, 0, 0, 2, 1, {3, 3});
    Control(empty, dmNone, 0, 3);
    image.Optimize(optTrim);
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(Delay(*image.Frame(0)), 20);
}

TEST(Trim, InvisibleFrameThatShowsAnotherPictureShrinksToOnePixel) {
    // After a frame cleared to the background the screen differs from that frame's
    // picture, so the invisible frame shows something of its own.
    TGIFImage image;
    NewImage(image);
    TGIFSubImage& first = giftest::AddFrame(image, 0, 0, 2, 2, {1, 2, 1, 2});
    Control(first, dmBackground, 30);
    TGIFSubImage& empty = giftest::AddFrame(image, 1, 1, 2, 2, {3, 3, 3, 3});
    Control(empty, dmNone, 20, 3);
    image.Optimize(optTrim);
    ASSERT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(empty.BoundsRect(), (TRect{1, 1, 2, 2}));
    EXPECT_EQ(Pixels(empty), (std::vector<uint8_t>{3}));
    EXPECT_EQ(Delay(first), 30);
    EXPECT_EQ(Delay(empty), 20);

    // Frame 0 has no frame before it to take over its time.
    TGIFImage other;
    NewImage(other);
    TGIFSubImage& leading = giftest::AddFrame(other, 0, 0, 2, 2, {3, 3, 3, 3});
    Control(leading, dmNone, 20, 3);
    giftest::AddFrame(other, 0, 0, 2, 2, {1, 1, 1, 1});
    other.Optimize(optTrim);
    ASSERT_EQ(other.FrameCount(), 2);
    EXPECT_EQ(leading.BoundsRect(), (TRect{0, 0, 1, 1}));
}

TEST(Trim, BlocksKeepAnInvisibleFrameUnlessTheCleanupRemovesThem) {
    for (bool cleanup : {false, true}) {
        TGIFImage image;
        NewImage(image);
        giftest::AddFrame(image, 0, 0, 2, 1, {1, 2});
        TGIFSubImage& empty = giftest::AddFrame(image, 0, 0, 2, 1, {3, 3});
        Control(empty, dmNone, 20, 3);
        AddComment(empty, "hello");
        image.Optimize(TGIFOptimizeOptions(optTrim | (cleanup ? optCleanup : 0)));
        EXPECT_EQ(image.FrameCount(), cleanup ? 1 : 2) << cleanup;
    }
    // A loop block marks where playback restarts: never deleted with its frame.
    TGIFImage image;
    NewImage(image);
    giftest::AddFrame(image, 0, 0, 2, 1, {1, 2});
    TGIFSubImage& empty = giftest::AddFrame(image, 0, 0, 2, 1, {3, 3});
    Control(empty, dmNone, 20, 3);
    AddLoop(empty, 0);
    image.Optimize(optTrim | optCleanup);
    EXPECT_EQ(image.FrameCount(), 2);
}

TEST(Trim, DelayThatWouldOverflowKeepsTheFrame) {
    TGIFImage image;
    NewImage(image);
    TGIFSubImage& first = giftest::AddFrame(image, 0, 0, 2, 1, {1, 2});
    Control(first, dmNone, 60000);
    TGIFSubImage& empty = giftest::AddFrame(image, 0, 0, 2, 1, {3, 3});
    Control(empty, dmNone, 6000, 3);
    image.Optimize(optTrim);
    ASSERT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(Delay(first), 60000);
}
