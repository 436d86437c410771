// Asynchronous renderers on their own threads, with a queued dispatcher pumped by the
// test thread standing in for the user-interface thread. Built also under
// ThreadSanitizer (gif_thread_tests).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "gif/base/exception.h"
#include "gif/graphics/canvas.h"
#include "gif/render/dispatcher.h"
#include "gif/render/painter.h"
#include "render_test_util.h"
#include "support/thread_count.h"

using namespace gif;
using namespace std::chrono_literals;
using testsupport::ThreadCount;
using testsupport::ThreadsDownTo;

namespace {

// Pumps the dispatcher until `done` holds; false after 20 s (a hang, not a slow machine).
bool PumpUntil(TQueuedDispatcher& dispatcher, const std::function<bool()>& done) {
    auto limit = std::chrono::steady_clock::now() + 20s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        dispatcher.WaitAndProcess(1ms);
    }
    return true;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Fixture {
    TGIFImage Image;
    std::shared_ptr<TQueuedDispatcher> Dispatcher = std::make_shared<TQueuedDispatcher>();
    TBitmap Screen{2, 1};
    std::atomic<int> Before{0};
    int Baseline = 0;

    explicit Fixture(int delay, int frames = 3) {
        // The first thread a process starts may bring a helper thread of the runtime
        // (ThreadSanitizer's) that stays: start one before counting.
        std::thread([] {}).join();
        Baseline = ThreadCount();
        rendertest::SetScreen(Image, 2, 1, {clBlack, clWhite, RGB(255, 0, 0)});
        for (int i = 0; i < frames; ++i)
            rendertest::AddFrame(Image, {0, 0, 2, 1, {uint8_t(i % 3), uint8_t(i % 3)}, delay});
        Image.Dispatcher = Dispatcher;
        Image.OnBeforeFrame = [this](TObject*) { ++Before; };
    }
};

} // namespace

// A renderer waiting out a delay of 65535 units (13 minutes) stops at once, and its
// thread is gone when its owner lets go of it.
TEST(RenderThreads, StopDuringALongDelayReturnsPromptly) {
    Fixture f(65535);
    auto painter = f.Image.Paint(f.Screen.Canvas(), GIFDefaultDrawOptions, Rect(0, 0, 2, 1));
    ASSERT_NE(painter, nullptr);
    painter->Start();
    ASSERT_TRUE(PumpUntil(*f.Dispatcher, [&] { return painter->Painted(); }));
    EXPECT_EQ(f.Screen.Pixels(0, 0), clBlack);
    EXPECT_EQ(ThreadCount(), f.Baseline + 1);
    auto start = std::chrono::steady_clock::now();
    painter.reset();
    EXPECT_LT(SecondsSince(start), 10.0);
    EXPECT_EQ(f.Before, 1);
    EXPECT_TRUE(ThreadsDownTo(f.Baseline));
}

// Speed 0 freezes play until the renderer is woken; stopping all renderers of the image
// ends it, and the frozen renderer leaves the image.
TEST(RenderThreads, FrozenAtSpeedZeroUntilWokenOrStopped) {
    Fixture f(5);
    f.Image.AnimationSpeed = 0;
    auto painter = f.Image.Paint(f.Screen.Canvas(), GIFDefaultDrawOptions, Rect(0, 0, 2, 1));
    painter->Start();
    ASSERT_TRUE(PumpUntil(*f.Dispatcher, [&] { return f.Before == 1 && painter->Painted(); }));
    f.Dispatcher->WaitAndProcess(50ms);   // no frame comes by itself
    EXPECT_EQ(f.Before, 1);
    painter->Wake();
    ASSERT_TRUE(PumpUntil(*f.Dispatcher, [&] { return f.Before == 2; }));
    EXPECT_EQ(painter->ActiveFrame(), 1);

    auto start = std::chrono::steady_clock::now();
    f.Image.StopAllPainters();
    EXPECT_LT(SecondsSince(start), 10.0);
    EXPECT_TRUE(painter->Finished());
    EXPECT_EQ(painter->Image(), nullptr);
    EXPECT_NO_THROW(painter->WaitFor());
    painter.reset();
    EXPECT_TRUE(ThreadsDownTo(f.Baseline));
}

// Frames are painted by the pumping thread: the picture changes frame by frame, and
// the play ends by itself after one pass without doLoop.
TEST(RenderThreads, PaintsRunOnTheDispatchingThread) {
    Fixture f(1);
    std::vector<TColor> seen;
    std::thread::id pumping = std::this_thread::get_id();
    bool elsewhere = false;
    f.Image.OnAfterFrame = [&](TObject*) {
        seen.push_back(f.Screen.Pixels(1, 0));
        elsewhere |= std::this_thread::get_id() != pumping;
    };
    int ends = 0;
    f.Image.OnPlayEnd = [&](TObject*) { ++ends; };
    auto painter = f.Image.Paint(f.Screen.Canvas(), doAsync | doAnimate, Rect(0, 0, 2, 1));
    painter->Start();
    ASSERT_TRUE(PumpUntil(*f.Dispatcher, [&] { return painter->Finished(); }));
    painter->WaitFor();
    EXPECT_EQ(seen, (std::vector<TColor>{clBlack, clWhite, RGB(255, 0, 0)}));
    EXPECT_FALSE(elsewhere);
    EXPECT_EQ(ends, 1);
}

// The image's Draw: played into its cached bitmap, shown once the first frame is there;
// StopDraw ends the renderer and discards the bitmap.
TEST(RenderThreads, DrawPlaysAsynchronouslyUntilStopDraw) {
    Fixture f(65535);
    TBitmap window(4, 1);
    f.Image.Draw(window.Canvas(), Rect(0, 0, 4, 1));
    EXPECT_EQ(f.Before, 1);
    EXPECT_EQ(rendertest::Row(window), (std::vector<TColor>(4, clBlack)));
    ASSERT_NE(f.Image.Bitmap(), nullptr);
    EXPECT_EQ(ThreadCount(), f.Baseline + 1);
    f.Image.StopDraw();
    EXPECT_TRUE(ThreadsDownTo(f.Baseline));

    // Drawing straight onto the canvas: a second Draw onto the same place keeps the
    // renderer that is playing there.
    f.Image.SetDrawOptions(GIFDefaultDrawOptions | doDirectDraw);
    int starts = 0;
    f.Image.OnPlayStart = [&](TObject*) { ++starts; };
    f.Image.Draw(window.Canvas(), Rect(0, 0, 4, 1));
    ASSERT_TRUE(PumpUntil(*f.Dispatcher, [&] { return f.Before == 2; }));
    f.Image.Draw(window.Canvas(), Rect(0, 0, 4, 1));
    f.Dispatcher->WaitAndProcess(20ms);
    EXPECT_EQ(starts, 1);
    f.Image.Draw(window.Canvas(), Rect(0, 0, 2, 1));   // another place: a new renderer
    ASSERT_TRUE(PumpUntil(*f.Dispatcher, [&] { return starts == 2; }));
    EXPECT_EQ(ThreadCount(), f.Baseline + 1);
}

// Destroying the image stops its renderers, whoever owns them; they leave the image
// and cannot be started again.
TEST(RenderThreads, ImageDestroyedWhilePlaying) {
    auto f = std::make_unique<Fixture>(5);
    auto playing = f->Image.Paint(f->Screen.Canvas(), GIFDefaultDrawOptions, Rect(0, 0, 2, 1));
    auto idle = f->Image.Paint(f->Screen.Canvas(), GIFDefaultDrawOptions, Rect(0, 0, 2, 1));
    playing->Start();
    ASSERT_TRUE(PumpUntil(*f->Dispatcher, [&] { return f->Before >= 2; }));
    int baseline = f->Baseline;
    auto dispatcher = f->Dispatcher;
    f.reset();
    EXPECT_TRUE(playing->Finished());
    EXPECT_EQ(playing->Image(), nullptr);
    EXPECT_EQ(idle->Image(), nullptr);
    idle->Start();
    EXPECT_FALSE(idle->Started());
    playing.reset();
    idle.reset();
    EXPECT_TRUE(ThreadsDownTo(baseline));
}

// An error on the renderer's way (here a handler run through the dispatcher) ends the
// play and comes back from WaitFor.
TEST(RenderThreads, ErrorsComeBackFromWaitFor) {
    Fixture f(1);
    f.Image.OnAfterFrame = [](TObject* sender) {
        if (static_cast<TGIFPainter*>(sender)->ActiveFrame() == 1) throw GIFException("stop here");
    };
    auto painter = f.Image.Paint(f.Screen.Canvas(), GIFDefaultDrawOptions, Rect(0, 0, 2, 1));
    painter->Start();
    ASSERT_TRUE(PumpUntil(*f.Dispatcher, [&] { return painter->Finished(); }));
    EXPECT_TRUE(painter->Terminated());
    EXPECT_EQ(f.Before, 2);
    EXPECT_THROW(painter->WaitFor(), GIFException);
    EXPECT_NO_THROW(painter->WaitFor());   // raised once
}

// Without a dispatcher the renderer paints on its own thread; the owner waits for the end.
TEST(RenderThreads, InlineDispatchPaintsOnTheRenderersThread) {
    Fixture f(1);
    f.Image.Dispatcher = nullptr;
    std::atomic<bool> elsewhere{false};
    std::thread::id self = std::this_thread::get_id();
    f.Image.OnAfterFrame = [&](TObject*) {
        elsewhere = elsewhere || std::this_thread::get_id() != self;
    };
    auto painter = f.Image.Paint(f.Screen.Canvas(), doAsync | doAnimate, Rect(0, 0, 2, 1));
    painter->Start();
    painter->WaitFor();
    EXPECT_TRUE(elsewhere);
    EXPECT_EQ(f.Before, 3);
    EXPECT_EQ(f.Screen.Pixels(0, 0), RGB(255, 0, 0));
}
