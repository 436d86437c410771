// The optimiser's work shared between two threads: the frame rewrite gives the same frames
// as on one thread and keeps the old forms of the frames as they were; shared pieces of
// work are each done once, and an error in one reaches the caller. Also run under
// ThreadSanitizer.
#include "gif/base/stream.h"
#include "gif/optimize/best_optimize.h"
#include "gif/optimize/model_rewrite.h"
#include "gif/optimize/optimize_fixtures.h"
#include "gif/optimize/two_threads.h"
#include "gif/graphics/bitmap.h"
#include "gif/render/compose.h"
#include "gif/render/timing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

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
// a loop that starts at `loopFrame` (past 0, later passes play on other screens).
void SpriteAnimation(TGIFImage& image, int frames, int loopFrame = 3) {
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
    AddLoop(*image.Frame(loopFrame), 0);
}

TEST(OptimizeThreads, TwoThreadsRewriteEveryFrameAsOneDoes) {
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

TEST(OptimizeThreads, OldFormsAreKeptOnlyWhenAsked) {
    TGIFImage image;
    SpriteAnimation(image, 40);
    const std::vector<TRewrittenFrame> changed =
        optimize::RewriteOnModel(image, 2, /*keepOldForms=*/false);
    ASSERT_FALSE(changed.empty());
    for (size_t k = 0; k < changed.size(); ++k) {
        EXPECT_EQ(changed[k].Old, nullptr);
        if (k > 0) {
            EXPECT_LT(changed[k - 1].Index, changed[k].Index);
        }
    }
}

TEST(OptimizeThreads, EveryPieceOfSharedWorkIsDoneOnce) {
    for (size_t count : {size_t(0), size_t(1), size_t(2), size_t(7), size_t(5000)}) {
        std::vector<std::atomic<int>> calls(count);
        std::atomic<bool> badThread{false};
        optimize::ShareOutOnTwoThreads(count, [&](size_t index, int thread) {
            if (thread != 0 && thread != 1) badThread = true;
            ++calls[index];
        });
        EXPECT_FALSE(badThread);
        for (size_t i = 0; i < count; ++i)
            ASSERT_EQ(calls[i], 1) << "piece " << i << " of " << count;
    }
}

TEST(OptimizeThreads, AnErrorInSharedWorkReachesTheCaller) {
    EXPECT_THROW(optimize::ShareOutOnTwoThreads(200,
                                                [](size_t index, int) {
                                                    if (index == 150)
                                                        throw std::runtime_error("piece failed");
                                                }),
                 std::runtime_error);
}

// What is shown and for how long: the renderer's pictures, equal neighbours joined.
std::vector<std::pair<std::vector<uint8_t>, int>> Timeline(TGIFImage& image) {
    std::vector<std::pair<std::vector<uint8_t>, int>> shown;
    const auto pictures = ComposeFrames(image, RGB(250, 0, 250));
    for (size_t i = 0; i < pictures.size(); ++i) {
        std::vector<uint8_t> bits(pictures[i]->Bits().begin(), pictures[i]->Bits().end());
        const int delay = FrameDelayUnits(*image.Frame(int(i)), true);
        if (!shown.empty() && shown.back().first == bits)
            shown.back().second += delay;
        else
            shown.emplace_back(std::move(bits), delay);
    }
    return shown;
}

// Full frames of noise that change almost everywhere: the optimised frames stay large, so
// the colour numbering and the choice of encodings take their second thread too.
void NoisyAnimation(TGIFImage& image, int frames) {
    constexpr int W = 100, H = 80;
    SetColors(image.GlobalColorMap(), Four);
    Random random(5);
    std::vector<uint8_t> pixels(W * H);
    for (int f = 0; f < frames; ++f) {
        for (uint8_t& p : pixels)
            if (random.Chance(70)) p = uint8_t(random.Next(4));
        Control(giftest::AddFrame(image, 0, 0, W, H, pixels), dmNone, 4, -1);
    }
    AddLoop(*image.Frame(0), 0);
}

// The whole optimiser, whose plays, rewrites and measurements run on several threads:
// what the result shows is what the input shows, on the way through the passes (loop from
// frame 0) and on the way that starts from the frames as they are (loop from frame 3).
// The animations are large enough for every step to take a second thread.
TEST(OptimizeThreads, TheOptimisedAnimationShowsTheSame) {
    for (int kind : {0, 3, -1}) {
        TGIFImage image;
        if (kind >= 0)
            SpriteAnimation(image, 100, /*loopFrame=*/kind);
        else
            NoisyAnimation(image, 12);
        ASSERT_TRUE(optimize::WorthASecondThread(image));
        ASSERT_TRUE(optimize::WorthASecondThreadToPlay(image));
        const auto before = Timeline(image);
        const TBestOptimizeResult result = OptimizeBest(image);
        EXPECT_TRUE(result.Changed) << "animation " << kind;
        EXPECT_LT(result.BytesAfter, result.BytesBefore);
        EXPECT_EQ(Timeline(image), before) << "animation " << kind;
    }
}

} // namespace
