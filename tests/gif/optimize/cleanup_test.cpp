#include <gtest/gtest.h>

#include "gif/optimize/optimize_fixtures.h"

using namespace gif;
using namespace opttest;

namespace {

int CountBlocks(const TGIFSubImage& frame, const char* className) {
    int n = 0;
    for (int i = 0; i < frame.Blocks().ItemCount(); ++i)
        if (std::string(frame.Blocks().Extensions(i)->ClassName()) == className) ++n;
    return n;
}

struct Animation {
    TGIFImage image;
    Animation() { SetColors(image.GlobalColorMap(), Four); }
    TGIFSubImage& Add(int left, int top, int width, int height, uint8_t fill = 1) {
        return giftest::AddFrame(image, left, top, width, height,
                                 std::vector<uint8_t>(size_t(width * height), fill));
    }
};

} // namespace

TEST(Cleanup, SingleFrameLosesAControlBlockThatChangesNothing) {
    Animation a;
    TGIFSubImage& frame = a.Add(0, 0, 2, 2);
    Control(frame, dmBackground, 250);
    a.image.Optimize(optCleanup);
    EXPECT_EQ(frame.ControlBlock(), nullptr);
    EXPECT_EQ(frame.Blocks().ItemCount(), 0);

    Animation b;
    TGIFSubImage& waiting = b.Add(0, 0, 2, 2);
    Control(waiting, dmNone, 0).SetUserInputFlag(true);
    b.image.Optimize(optCleanup);
    EXPECT_NE(waiting.ControlBlock(), nullptr);
}

TEST(Cleanup, AnimationKeepsControlBlocksThatMatter) {
    Animation a;
    TGIFSubImage& plain = a.Add(0, 0, 2, 2);
    Control(plain, dmNoDisposal, 0);
    TGIFSubImage& timed = a.Add(0, 0, 2, 2);
    Control(timed, dmNone, 10);
    TGIFSubImage& cleared = a.Add(0, 0, 2, 2);
    Control(cleared, dmBackground, 0);
    TGIFSubImage& holes = a.Add(0, 0, 2, 2);
    Control(holes, dmNone, 0, 1);
    a.image.Optimize(optCleanup);
    EXPECT_EQ(plain.ControlBlock(), nullptr);
    EXPECT_NE(timed.ControlBlock(), nullptr);
    EXPECT_NE(cleared.ControlBlock(), nullptr);
    EXPECT_NE(holes.ControlBlock(), nullptr);
}

TEST(Cleanup, InvisibleBlocksGoAndTheHonouredLoopBlockStays) {
    Animation a;
    TGIFSubImage& first = a.Add(0, 0, 2, 2);
    AddComment(first, "made by hand");
    AddLoop(first, 3);
    auto unknown = std::make_unique<TGIFUnknownAppExtension>(&first);
    unknown->AppIdentifier = MakeAppIdentifier("XMP DataXMP");
    first.Blocks().Add(std::move(unknown));
    TGIFSubImage& second = a.Add(0, 0, 2, 2);
    AddLoop(second, 5);   // later loop blocks are ignored by players
    second.Blocks().Add(std::make_unique<TGIFTextExtension>(&second));
    a.image.Optimize(optCleanup);
    EXPECT_EQ(first.Blocks().ItemCount(), 1);
    ASSERT_EQ(CountBlocks(first, "TGIFAppExtNSLoop"), 1);
    EXPECT_EQ(static_cast<TGIFAppExtNSLoop*>(first.Blocks().Extensions(0))->LoopCount, 3);
    EXPECT_EQ(second.Blocks().ItemCount(), 0);
}

TEST(Cleanup, LoopBlockAfterFrameZeroIsTheOneKept) {
    // Players restart at the frame that carries the first loop block; deleting it would
    // make the animation play once.
    Animation a;
    a.Add(0, 0, 2, 2);
    TGIFSubImage& second = a.Add(0, 0, 2, 2);
    AddLoop(second, 0);
    a.image.Optimize(optCleanup);
    EXPECT_EQ(CountBlocks(second, "TGIFAppExtNSLoop"), 1);

    Animation single;
    TGIFSubImage& only = single.Add(0, 0, 2, 2);
    AddLoop(only, 0);
    single.image.Optimize(optCleanup);
    EXPECT_EQ(only.Blocks().ItemCount(), 0);
}

TEST(Cleanup, UnusedTransparencyIsDropped) {
    Animation a;
    TGIFSubImage& unused = a.Add(0, 0, 2, 2, 1);
    Control(unused, dmNone, 5, 2);
    TGIFSubImage& used = a.Add(0, 0, 2, 2, 2);
    Control(used, dmNone, 5, 2);
    a.image.Optimize(optCleanup);
    EXPECT_FALSE(unused.IsTransparent());
    EXPECT_TRUE(used.IsTransparent());
}

TEST(Cleanup, RestoreIsDroppedOnlyWhenTheNextFrameCoversIt) {
    struct Case {
        TRect next;
        int nextDisposal;
        bool nextTransparent;
        int expected;
    };
    const Case cases[] = {
        {{0, 0, 4, 4}, dmNone, false, dmNone},            // covers: the restore is never seen
        {{1, 1, 3, 3}, dmNone, false, dmNone},            // equal rectangles cover too
        {{0, 0, 2, 4}, dmNone, false, dmBackground},      // partial overlap
        {{0, 0, 4, 4}, dmPrevious, false, dmBackground},  // would bring the restored area back
        {{0, 0, 4, 4}, dmNone, true, dmBackground},       // holes show the restored area
        {{0, 0, 4, 4}, dmBackground, false, dmNone},
    };
    for (const Case& c : cases) {
        Animation a;
        TGIFSubImage& first = a.Add(1, 1, 2, 2);
        Control(first, dmBackground, 5);
        TGIFSubImage& next = a.Add(c.next.Left, c.next.Top, c.next.Width(), c.next.Height(), 2);
        Control(next, c.nextDisposal, 5, c.nextTransparent ? 2 : -1);
        a.image.Optimize(optCleanup);
        ASSERT_NE(first.ControlBlock(), nullptr);
        EXPECT_EQ(first.ControlBlock()->DisposalCode(), c.expected)
            << c.next.Left << "," << c.next.Top << "," << c.next.Right << "," << c.next.Bottom
            << " disposal " << c.nextDisposal;
    }
}

TEST(Cleanup, BlankFramesWithoutBlocksAreDeleted) {
    Animation a;
    a.Add(0, 0, 2, 2);
    auto blank = std::make_unique<TGIFSubImage>(&a.image);
    AddComment(*blank, "trailing comment");
    a.image.AddFrame(std::move(blank));
    EXPECT_EQ(a.image.FrameCount(), 2);
    a.image.Optimize(optCleanup);
    EXPECT_EQ(a.image.FrameCount(), 1);
}
