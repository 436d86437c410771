// The frame rewrite shared between two threads: the same frames as on one thread, and the
// old forms kept are those of the frames as they were.
#include "gif/base/stream.h"
#include "gif/optimize/model_rewrite.h"
#include "gif/optimize/optimize_fixtures.h"

#include <gtest/gtest.h>

using namespace gif;
using namespace opttest;
using gif::optimize::TRewrittenFrame;

namespace {

std::vector<uint8_t> Saved(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

// Many frames as a naive exporter writes them: full frames over a still noisy background
// with a few sprites moving, every disposal, some frames with holes, some interlaced, and
// a loop that starts at frame 3 (so later passes play on other screens).
void SpriteAnimation(TGIFImage& image, int frames) {
    constexpr int W = 40, H = 30;
    SetColors(image.GlobalColorMap(), Four);
    Random random(11);
    std::vector<uint8_t> background(W * H);
    for (uint8_t& p : background)
        p = uint8_t(random.Chance(80) ? 0 : 1 + random.Next(2));
    for (int f = 0; f < frames; ++f) {
        std::vector<uint8_t> pixels = background;
        for (int sprite = 0; sprite < 3; ++sprite) {
            const int left = (f * (sprite + 1) + sprite * 11) % (W - 6);
            const int top = (f * 2 + sprite * 7) % (H - 5);
            for (int y = top; y < top + 5; ++y)
                for (int x = left; x < left + 6; ++x)
                    pixels[size_t(y) * W + size_t(x)] = uint8_t(1 + (sprite + x + y) % 3);
        }
        const bool holes = f % 4 == 2;
        if (holes)
            for (size_t i = 0; i < pixels.size(); ++i)
                if (pixels[i] == background[i] && random.Chance(50)) pixels[i] = 3;
        TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, W, H, pixels);
        Control(frame, f % 3 == 1 ? dmBackground : f % 5 == 4 ? dmPrevious : dmNone, 4,
                holes ? 3 : -1);
        frame.SetInterlaced(f % 7 == 3);
    }
    AddLoop(*image.Frame(3), 0);
}

TEST(RewriteThreads, TwoThreadsRewriteEveryFrameAsOneDoes) {
    TGIFImage original;
    SpriteAnimation(original, 120);
    TGIFImage alone, shared;
    alone.Assign(&original);
    shared.Assign(&original);

    const std::vector<TRewrittenFrame> changedAlone =
        optimize::RewriteOnModel(alone, 1, /*keepOldForms=*/true);
    const std::vector<TRewrittenFrame> changedShared =
        optimize::RewriteOnModel(shared, 2, /*keepOldForms=*/true);

    // Many frames shrink (those after a restoring frame change everywhere); the result
    // must not depend on the threads.
    ASSERT_GT(changedAlone.size(), 30u);
    EXPECT_EQ(Saved(shared), Saved(alone));
    ASSERT_EQ(changedShared.size(), changedAlone.size());
    for (size_t k = 0; k < changedShared.size(); ++k) {
        const TRewrittenFrame& changed = changedShared[k];
        EXPECT_EQ(changed.Index, changedAlone[k].Index);
        // The old form is the frame before its rewrite, whichever thread took it.
        ASSERT_NE(changed.Old, nullptr);
        const TGIFSubImage& before = *original.Frame(changed.Index);
        EXPECT_EQ(changed.Old->BoundsRect(), before.BoundsRect()) << "frame " << changed.Index;
        EXPECT_EQ(Pixels(*changed.Old), Pixels(before)) << "frame " << changed.Index;
        EXPECT_EQ(changed.Old->IsInterlaced(), before.IsInterlaced());
    }
}

TEST(RewriteThreads, OldFormsAreKeptOnlyWhenAsked) {
    TGIFImage image;
    SpriteAnimation(image, 40);
    const std::vector<TRewrittenFrame> changed =
        optimize::RewriteOnModel(image, 2, /*keepOldForms=*/false);
    ASSERT_FALSE(changed.empty());
    for (size_t k = 0; k < changed.size(); ++k) {
        EXPECT_EQ(changed[k].Old, nullptr);
        if (k > 0) EXPECT_LT(changed[k - 1].Index, changed[k].Index);
    }
}

} // namespace
