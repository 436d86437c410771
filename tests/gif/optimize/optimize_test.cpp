#include <gtest/gtest.h>

#include <stdexcept>

#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/render/compose.h"
#include "gif/optimize/optimize_fixtures.h"

using namespace gif;
using namespace opttest;

namespace {

struct ProgressLog {
    struct Call {
        TProgressStage Stage;
        int Percent;
        std::string Message;
    };
    std::vector<Call> Calls;
    void Attach(TGIFImage& image) {
        image.OnProgress = [this](TObject*, TProgressStage stage, uint8_t percent, bool,
                                  const TRect&, const std::string& message) {
            Calls.push_back({stage, percent, message});
        };
    }
};

void AddSixFrames(TGIFImage& image) {
    SetColors(image.GlobalColorMap(), Four);
    for (int f = 0; f < 6; ++f)
        giftest::AddFrame(image, 0, 0, 3, 2, {uint8_t(f % 4), 1, 2, 3, 0, uint8_t((f + 1) % 4)});
}

} // namespace

TEST(Optimize, IdenticalOpaqueFramesCollapseInOneRun) {
    TGIFImage image;
    SetColors(image.GlobalColorMap(), Four);
    giftest::AddFrame(image, 0, 0, 3, 2, {1, 2, 3, 3, 2, 1});
    giftest::AddFrame(image, 0, 0, 3, 2, {1, 2, 3, 3, 2, 1});
    giftest::AddFrame(image, 0, 0, 3, 2, {1, 1, 1, 3, 2, 1});
    image.Optimize(optDuplicatePixels | optTrim);
    ASSERT_EQ(image.FrameCount(), 2);
    // Both frames had no control block: each played for the fallback delay.
    EXPECT_EQ(Delay(*image.Frame(0)), 20);
    // The third frame keeps only the two pixels that changed.
    EXPECT_EQ(image.Frame(1)->BoundsRect(), (TRect{1, 0, 3, 1}));
    EXPECT_EQ(Pixels(*image.Frame(1)), (std::vector<uint8_t>{1, 1}));
}

TEST(Optimize, ProgressRunsFromStartToOneHundred) {
    TGIFImage image;
    AddSixFrames(image);
    ProgressLog log;
    log.Attach(image);
    image.Optimize(optTrim | optDuplicatePixels | optCleanup | optSortPalettes);
    ASSERT_GE(log.Calls.size(), 3u);
    EXPECT_EQ(log.Calls.front().Stage, TProgressStage::psStarting);
    EXPECT_EQ(log.Calls.front().Percent, 0);
    EXPECT_EQ(log.Calls.back().Stage, TProgressStage::psEnding);
    EXPECT_EQ(log.Calls.back().Percent, 100);
    int last = 0;
    for (size_t i = 1; i + 1 < log.Calls.size(); ++i) {
        EXPECT_EQ(log.Calls[i].Stage, TProgressStage::psRunning);
        EXPECT_GT(log.Calls[i].Percent, last);
        last = log.Calls[i].Percent;
    }
    EXPECT_EQ(last, 100);
    for (const auto& call : log.Calls) EXPECT_EQ(call.Message, "Optimizing...");

    // Passes that are not chosen still count: the running calls reach 100 all the same.
    ProgressLog sortOnly;
    TGIFImage other;
    AddSixFrames(other);
    sortOnly.Attach(other);
    other.Optimize(optSortPalettes);
    ASSERT_GE(sortOnly.Calls.size(), 3u);
    EXPECT_EQ(sortOnly.Calls[sortOnly.Calls.size() - 2].Percent, 100);
    // Six frames make 36 steps; the first running call follows the sort of frame 0.
    EXPECT_EQ(sortOnly.Calls[1].Percent, 2);
}

TEST(Optimize, EmptyImageIsLeftAloneWithoutProgress) {
    TGIFImage image;
    ProgressLog log;
    log.Attach(image);
    image.Optimize(optTrim | optCleanup);
    EXPECT_TRUE(log.Calls.empty());
}

TEST(Optimize, FailureEndsWithZeroPercent) {
    TGIFImage image;
    AddSixFrames(image);
    ProgressLog log;
    image.OnProgress = [&log](TObject*, TProgressStage stage, uint8_t percent, bool, const TRect&,
                              const std::string& message) {
        log.Calls.push_back({stage, percent, message});
        if (stage == TProgressStage::psRunning && percent > 40) throw std::runtime_error("stop");
    };
    EXPECT_THROW(image.Optimize(optTrim | optDuplicatePixels), std::runtime_error);
    ASSERT_FALSE(log.Calls.empty());
    EXPECT_EQ(log.Calls.back().Stage, TProgressStage::psEnding);
    EXPECT_EQ(log.Calls.back().Percent, 0);
}

TEST(Optimize, OptimisedAnimationSurvivesWritingAndReading) {
    TGIFImage image;
    SetColors(image.GlobalColorMap(), Four);
    giftest::AddFrame(image, 0, 0, 4, 3, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3});
    Control(giftest::AddFrame(image, 0, 0, 4, 3, {0, 1, 2, 3, 3, 3, 2, 3, 0, 1, 2, 3}), dmNone, 5);
    Control(giftest::AddFrame(image, 0, 0, 4, 3, {0, 1, 2, 3, 3, 3, 2, 3, 0, 1, 2, 1}), dmNone, 5);
    AddLoop(*image.Frame(0), 0);
    AddComment(*image.Frame(1), "gone after clean-up");
    const TColor background = RGB(9, 9, 9);
    auto before = ComposeFrames(image, background);

    image.Optimize(optTrim | optDuplicatePixels | optCleanup | optSortPalettes);
    image.OptimizeColorMaps();
    TMemoryStream stream;
    image.SaveToStream(stream);
    stream.SetPosition(0);
    TGIFImage reread;
    reread.LoadFromStream(stream);

    ASSERT_EQ(reread.FrameCount(), 3);
    EXPECT_EQ(reread.Frame(1)->FrameWidth() * reread.Frame(1)->FrameHeight(), 2);
    EXPECT_EQ(reread.Frame(2)->FrameWidth() * reread.Frame(2)->FrameHeight(), 1);
    auto after = ComposeFrames(reread, background);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(std::ranges::equal(after[i]->Bits(), before[i]->Bits())) << i;
}

TEST(Optimize, SortingAwayAnUnusedTransparentEntryKeepsTheFileWritable) {
    // Frame 1 is marked transparent but has no holes; sorting drops its transparent entry,
    // and the duplicate pass must not then write that vanished index into its pixels.
    TGIFImage image;
    SetColors(image.GlobalColorMap(), Four);
    giftest::AddFrame(image, 0, 0, 3, 1, {1, 1, 0});
    Control(giftest::AddFrame(image, 0, 0, 3, 1, {1, 1, 0}), dmNone, 5, 3);
    const TColor background = RGB(9, 9, 9);
    auto before = ComposeFrames(image, background);
    image.Optimize(optSortPalettes | optDuplicatePixels);
    TMemoryStream stream;
    ASSERT_NO_THROW(image.SaveToStream(stream));
    stream.SetPosition(0);
    TGIFImage reread;
    reread.LoadFromStream(stream);
    auto after = ComposeFrames(reread, background);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(std::ranges::equal(after[i]->Bits(), before[i]->Bits())) << i;
}
