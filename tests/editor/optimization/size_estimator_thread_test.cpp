// The live size estimate on its worker thread: what it measures, that a new choice replaces
// the running estimate, and that ending it leaves no thread and no file behind. Run under
// ThreadSanitizer in build-tsan.
#include "editor/optimization/size_estimator.h"
#include "gif/base/stream.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

#include "support/thread_count.h"
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

using editor::TOptimizationChoices;
using editor::TSizeEstimator;

namespace {

// `frames` frames of width x height on a 16-colour table: a moving block over a fixed
// noisy background, so that every pass has work to do. Frame 1 repeats frame 0.
std::shared_ptr<gif::TGIFImage> MakeAnimation(int frames, int width, int height) {
    auto image = std::make_shared<gif::TGIFImage>();
    for (int c = 0; c < 16; ++c) image->GlobalColorMap().AppendColor(gif::RGB(c * 16, 255 - c * 16, c * 7));
    uint32_t seed = 12345;
    std::vector<uint8_t> background(size_t(width) * height);
    for (uint8_t& pixel : background) {
        seed = seed * 1103515245 + 12345;
        pixel = uint8_t((seed >> 16) % 4);
    }
    for (int i = 0; i < frames; ++i) {
        auto frame = std::make_unique<gif::TGIFSubImage>(image.get());
        frame->SetPlacement(0, 0, width, height);
        std::copy(background.begin(), background.end(), frame->Pixels());
        const int shift = i == 1 ? 0 : i;
        for (int y = 10; y < std::min(height, 40); ++y)
            for (int x = shift; x < std::min(width, shift + 30); ++x)
                frame->Pixels()[y * width + x] = uint8_t(4 + i % 12);
        auto control = std::make_unique<gif::TGIFGraphicControlExtension>(frame.get());
        control->SetDelayTime(10);
        frame->Blocks().Add(std::move(control));
        image->AddFrame(std::move(frame));
    }
    return image;
}

int64_t Written(gif::TGIFImage& image) {
    gif::TCountingStream counter;
    image.SaveToStream(counter);
    return counter.Size();
}

int TempFileCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
        ++count;
    return count;
}

TSizeEstimator::TState WaitForEnd(const TSizeEstimator& estimator) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    for (;;) {
        TSizeEstimator::TState state = estimator.State();
        if (!state.Running || std::chrono::steady_clock::now() > deadline) return state;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace

TEST(SizeEstimatorThreads, EstimateIsTheSizeOfTheSameRunDoneDirectly) {
    auto source = MakeAnimation(12, 64, 48);
    const int64_t sourceSize = Written(*source);
    TSizeEstimator estimator(source, false);
    TOptimizationChoices choices;
    choices.Trim = choices.DuplicatePixels = choices.NonVisible = true;
    estimator.Request(choices);
    const TSizeEstimator::TState state = WaitForEnd(estimator);
    ASSERT_TRUE(state.Size.has_value()) << state.Error;

    gif::TGIFImage direct;
    editor::RunOptimization(*source, direct, choices, false);
    EXPECT_EQ(*state.Size, Written(direct));
    EXPECT_LT(*state.Size, sourceSize);
    // The copy comes out only for the choices it was made for, and only once.
    TOptimizationChoices other = choices;
    other.Trim = false;
    EXPECT_EQ(estimator.TakeResult(other), nullptr);
    auto result = estimator.TakeResult(choices);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Written(*result), *state.Size);
    EXPECT_EQ(estimator.TakeResult(choices), nullptr);
}

TEST(SizeEstimatorThreads, ANewChoiceReplacesTheRunningEstimate) {
    auto source = MakeAnimation(40, 160, 120);
    // Writing an image prepares its blocks: the snapshot is measured before the worker
    // reads it, never while.
    const int64_t sourceSize = Written(*source);
    TSizeEstimator estimator(source, false);
    std::atomic<int> notified{0};
    estimator.OnChanged = [&notified] { ++notified; };
    TOptimizationChoices choices;
    // Many quick changes: each cancels the one before; only the last one's size counts.
    for (int i = 0; i < 20; ++i) {
        choices.Trim = i % 2;
        choices.DuplicatePixels = i % 3 == 0;
        choices.NonVisible = i % 5 == 0;
        estimator.Request(choices);
    }
    const TSizeEstimator::TState state = WaitForEnd(estimator);
    ASSERT_TRUE(state.Size.has_value()) << state.Error;
    EXPECT_EQ(state.Generation, 20u);
    gif::TGIFImage direct;
    editor::RunOptimization(*source, direct, choices, false);
    EXPECT_EQ(*state.Size, Written(direct));
    EXPECT_GT(notified.load(), 0);
    EXPECT_LE(*state.Size, sourceSize);
}

TEST(SizeEstimatorThreads, EndingWhileAnEstimateRunsLeavesNoThreadOrFile) {
    // A temporary folder of the test's own: the machine's is shared with other programs.
    char folder[] = "/tmp/estimator-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("TMPDIR", folder, 1);
    auto source = MakeAnimation(60, 240, 160);
    // A first thread of the process makes ThreadSanitizer start its own helper thread:
    // the count starts after that.
    std::thread([] {}).join();
    const int threadsBefore = testsupport::ThreadCount();
    const int filesBefore = TempFileCount();
    for (int round = 0; round < 3; ++round) {
        auto estimator = std::make_unique<TSizeEstimator>(source, false);
        // The worker holds on at its first progress report until the test lets it go, so
        // that the estimator surely ends in the middle of a run.
        std::atomic<bool> started{false}, released{false};
        estimator->OnChanged = [&started, &released] {
            started = true;
            while (!released) std::this_thread::sleep_for(std::chrono::microseconds(100));
        };
        TOptimizationChoices choices;
        choices.Trim = choices.DuplicatePixels = choices.NonVisible = true;
        choices.Smallest = round == 2; // the slow best-effort run too
        estimator->Request(choices);
        while (!started) std::this_thread::sleep_for(std::chrono::microseconds(100));
        EXPECT_TRUE(estimator->State().Running);
        released = true;
        estimator.reset();
        EXPECT_TRUE(testsupport::ThreadsDownTo(threadsBefore));
    }
    EXPECT_EQ(TempFileCount(), filesBefore);
    unsetenv("TMPDIR");
    std::filesystem::remove_all(folder);
}

TEST(SizeEstimatorThreads, CancelStopsTheRunAndTheNextRequestStillWorks) {
    auto source = MakeAnimation(30, 120, 90);
    TSizeEstimator estimator(source, false);
    TOptimizationChoices choices;
    choices.DuplicatePixels = true;
    estimator.Request(choices);
    estimator.Cancel();
    TSizeEstimator::TState state = estimator.State();
    EXPECT_FALSE(state.Running);
    EXPECT_FALSE(state.Size.has_value());
    EXPECT_EQ(estimator.TakeResult(choices), nullptr);
    estimator.Request(choices);
    state = WaitForEnd(estimator);
    ASSERT_TRUE(state.Size.has_value());
    EXPECT_EQ(state.Percent, 100);
}

TEST(SizeEstimatorThreads, AnAnimationThatCannotBeWrittenEndsWithItsError) {
    // No frames: the writer refuses it; the estimate ends with that message, no size.
    auto source = std::make_shared<gif::TGIFImage>();
    TSizeEstimator estimator(source, false);
    estimator.Request({});
    const TSizeEstimator::TState state = WaitForEnd(estimator);
    EXPECT_FALSE(state.Running);
    EXPECT_FALSE(state.Size.has_value());
    EXPECT_FALSE(state.Error.empty());
    EXPECT_EQ(estimator.TakeResult({}), nullptr);
}
