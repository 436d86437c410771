// The play loop and its timing rules, on a clock the test drives: waits are checked
// exactly, never measured.
#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/graphics/canvas.h"
#include "gif/render/painter.h"
#include "gif/render/timing.h"
#include "render_test_util.h"

using namespace gif;
using rendertest::AddFrame;
using rendertest::FakeClock;

namespace {

struct Play {
    std::vector<int> Frames;       // ActiveFrame at each OnBeforeFrame
    std::vector<int64_t> Times;    // clock at each OnBeforeFrame
    int Starts = 0, Loops = 0, Ends = 0, EndFrame = 99;
};

// Plays `image` with `options` on a fake clock; `afterFrame` runs in OnAfterFrame.
Play Record(TGIFImage& image, TGIFDrawOptions options, const std::shared_ptr<FakeClock>& clock,
            const std::function<void(TGIFPainter&)>& afterFrame = {}) {
    Play play;
    image.Clock = clock;
    image.OnPlayStart = [&](TObject*) { ++play.Starts; };
    image.OnLoop = [&](TObject*) { ++play.Loops; };
    image.OnPlayEnd = [&](TObject* sender) {
        ++play.Ends;
        play.EndFrame = static_cast<TGIFPainter*>(sender)->ActiveFrame();
    };
    image.OnBeforeFrame = [&](TObject* sender) {
        play.Frames.push_back(static_cast<TGIFPainter*>(sender)->ActiveFrame());
        play.Times.push_back(clock->Now());
    };
    image.OnAfterFrame = [&](TObject* sender) {
        if (afterFrame) afterFrame(*static_cast<TGIFPainter*>(sender));
    };
    TBitmap screen(image.Width(), image.Height());
    struct Unhook {
        TGIFImage& image;
        ~Unhook() {
            image.OnPlayStart = image.OnLoop = image.OnPlayEnd = nullptr;
            image.OnBeforeFrame = image.OnAfterFrame = nullptr;
        }
    } unhook{image};
    auto painter = image.Paint(screen.Canvas(), options, Rect(0, 0, image.Width(), image.Height()));
    if (painter) {
        painter->Start();
        painter->WaitFor();
    }
    return play;
}

std::vector<int64_t> Gaps(const Play& play, int64_t start = 1000) {
    std::vector<int64_t> gaps;
    int64_t previous = start;
    for (int64_t t : play.Times) {
        gaps.push_back(t - previous);
        previous = t;
    }
    return gaps;
}

// Five frames with the delays 0, 1, 2, 1500 and 5.
void DelayedFrames(TGIFImage& image) {
    rendertest::SetScreen(image, 1, 1, {clBlack, clWhite});
    for (int delay : {0, 1, 2, 1500, 5}) AddFrame(image, {0, 0, 1, 1, {1}, delay});
}

constexpr TGIFDrawOptions Sync = doAnimate | doTransparent;
constexpr TGIFDrawOptions Async = doAsync | doAnimate | doTransparent;

} // namespace

TEST(PainterTiming, DelaysInSynchronousAndAsynchronousPlay) {
    TGIFImage image;
    DelayedFrames(image);
    // Synchronous play waits one unit before the first frame; 0 plays as 10 units, 1 and 2
    // as 3, 1500 is cut to 1000; one unit is 12 ms.
    Play sync = Record(image, Sync, std::make_shared<FakeClock>());
    EXPECT_EQ(sync.Frames, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Gaps(sync), (std::vector<int64_t>{12, 120, 36, 36, 12000}));
    // Asynchronous play shows the first frame at once and keeps 1500 units.
    Play async = Record(image, Async, std::make_shared<FakeClock>());
    EXPECT_EQ(async.Frames, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Gaps(async), (std::vector<int64_t>{0, 120, 36, 36, 18000}));
}

TEST(PainterTiming, SpeedScalesEveryWait) {
    TGIFImage image;
    DelayedFrames(image);
    image.AnimationSpeed = 200;
    EXPECT_EQ(Gaps(Record(image, Sync, std::make_shared<FakeClock>())),
              (std::vector<int64_t>{6, 60, 18, 18, 6000}));
    EXPECT_EQ(Gaps(Record(image, Async, std::make_shared<FakeClock>())),
              (std::vector<int64_t>{0, 60, 18, 18, 9000}));
    image.AnimationSpeed = 300;   // MulDiv rounds: 36 ms at 300 % is 12
    EXPECT_EQ(Gaps(Record(image, Sync, std::make_shared<FakeClock>()))[2], 12);
    // Speed 0 in synchronous play waits the longest delay every time.
    image.AnimationSpeed = 0;
    EXPECT_EQ(Gaps(Record(image, Sync, std::make_shared<FakeClock>())),
              (std::vector<int64_t>(5, 12000)));
}

TEST(PainterTiming, HalfTheOverheadComesOffTheNextWait) {
    TGIFImage image;
    DelayedFrames(image);
    auto clock = std::make_shared<FakeClock>();
    // Drawing frame 0 "takes" 40 ms: the wait before frame 1 shrinks by 20, to 100.
    Play play = Record(image, Sync, clock, [&](TGIFPainter& painter) {
        if (painter.ActiveFrame() == 0) clock->Advance(40);
    });
    EXPECT_EQ(Gaps(play), (std::vector<int64_t>{12, 140, 36, 36, 12000}));
    // Synchronous play sleeps in chunks of at most 100 ms.
    for (const auto& wait : clock->Waits()) EXPECT_LE(wait.Ms, 100);
}

TEST(PainterTiming, PlanWaitFallsBackWhenTheResultDoesNotFit) {
    EXPECT_EQ(PlanWait(10, 0, 0, 100).WaitMs, 120);
    EXPECT_EQ(PlanWait(10, 50, 10, 100).WaitMs, 100);        // (50 - 10) / 2 off
    EXPECT_EQ(PlanWait(10, 51, 0, 100).WaitMs, 95);          // 25 (truncated) off
    EXPECT_EQ(PlanWait(1, 1000, 0, 100).WaitMs, -488);       // overhead can eat the wait
    EXPECT_EQ(PlanWait(1, 0, 0, 7).WaitMs, 171);             // 1200 / 7 rounded
    TWaitPlan fallback = PlanWait(65535, 0, 0, 1);           // 78,642,000 ms still fits
    EXPECT_EQ(fallback.WaitMs, 78642000);
    fallback = PlanWait(65535, -int64_t(1) << 40, 0, 100);
    EXPECT_EQ(fallback.WaitMs, MaximumDelay * DelayUnitMs);
    EXPECT_EQ(fallback.Overhead, 0);
}

TEST(PainterLoop, LoopValueNPlaysNPlusOneTimes) {
    TGIFImage image;
    rendertest::AddPlainFrames(image, 2, 5);
    rendertest::AddLoop(*image.Frame(0), 2);
    Play play = Record(image, Sync | doLoop, std::make_shared<FakeClock>());
    EXPECT_EQ(play.Frames, (std::vector<int>{0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(play.Starts, 1);
    EXPECT_EQ(play.Loops, 2);
    EXPECT_EQ(play.Ends, 1);
    EXPECT_EQ(play.EndFrame, -1);
    // Without doLoop the animation plays once whatever the block says.
    EXPECT_EQ(Record(image, Sync, std::make_shared<FakeClock>()).Frames, (std::vector<int>{0, 1}));
}

TEST(PainterLoop, LoopingRestartsAtTheFrameCarryingTheBlock) {
    TGIFImage image;
    rendertest::AddPlainFrames(image, 3, 5);
    rendertest::AddLoop(*image.Frame(1), 1);
    rendertest::AddLoop(*image.Frame(2), 5);   // later blocks are ignored
    Play play = Record(image, Sync | doLoop, std::make_shared<FakeClock>());
    EXPECT_EQ(play.Frames, (std::vector<int>{0, 1, 2, 1, 2}));
}

TEST(PainterLoop, LoopValueZeroIsEndlessOnlyInAsynchronousPlay) {
    TGIFImage image;
    rendertest::AddPlainFrames(image, 2, 5);
    rendertest::AddLoop(*image.Frame(0), 0);
    EXPECT_EQ(Record(image, Sync | doLoop, std::make_shared<FakeClock>()).Frames,
              (std::vector<int>{0, 1}));
    int shown = 0;
    Play play =
        Record(image, Async | doLoop, std::make_shared<FakeClock>(), [&](TGIFPainter& painter) {
            if (++shown == 7) painter.Stop();
        });
    EXPECT_EQ(play.Frames, (std::vector<int>{0, 1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(play.Ends, 0);   // nothing is invoked once stopped
    // doLoopForever goes on in synchronous play too.
    shown = 0;
    play = Record(image, Sync | doLoop | doLoopForever, std::make_shared<FakeClock>(),
                  [&](TGIFPainter& painter) {
                      if (++shown == 5) painter.Stop();
                  });
    EXPECT_EQ(play.Frames.size(), 5u);
}

TEST(PainterLoop, LoopValue65535PlaysThatManyTimes) {
    TGIFImage image;
    rendertest::AddPlainFrames(image, 2, 5);
    rendertest::AddLoop(*image.Frame(0), 65535);
    EXPECT_EQ(Record(image, Sync | doLoop, std::make_shared<FakeClock>()).Frames.size(),
              2u * 65535u);
}

TEST(PainterLoop, HandlersSteerTheActiveFrame) {
    TGIFImage image;
    rendertest::AddPlainFrames(image, 5, 5);
    Play play = Record(image, Sync, std::make_shared<FakeClock>(), [](TGIFPainter& painter) {
        if (painter.ActiveFrame() == 0) painter.SetActiveFrame(3);
    });
    EXPECT_EQ(play.Frames, (std::vector<int>{0, 3, 4}));
    // A jump outside the frames ends the pass.
    play = Record(image, Sync, std::make_shared<FakeClock>(), [](TGIFPainter& painter) {
        if (painter.ActiveFrame() == 1) painter.SetActiveFrame(-7);
    });
    EXPECT_EQ(play.Frames, (std::vector<int>{0, 1}));
    EXPECT_EQ(play.Ends, 1);
    // Without doAnimate only the first frame is shown.
    EXPECT_EQ(Record(image, doTransparent, std::make_shared<FakeClock>()).Frames,
              (std::vector<int>{0}));
}

TEST(PainterLoop, EmptyFrameEndsThePass) {
    TGIFImage image;
    rendertest::AddPlainFrames(image, 1, 5);
    image.AddFrame(std::make_unique<TGIFSubImage>(&image));
    rendertest::AddPlainFrames(image, 1, 5);
    rendertest::AddLoop(*image.Frame(0), 1);
    EXPECT_EQ(Record(image, Sync | doLoop, std::make_shared<FakeClock>()).Frames,
              (std::vector<int>{0, 0}));
    // A first frame without pixels shows nothing, even when looping for ever.
    TGIFImage blankFirst;
    rendertest::SetScreen(blankFirst, 1, 1, {clBlack});
    blankFirst.AddFrame(std::make_unique<TGIFSubImage>(&blankFirst));
    rendertest::AddPlainFrames(blankFirst, 1, 5);
    Play play = Record(blankFirst, Sync | doLoop | doLoopForever, std::make_shared<FakeClock>());
    EXPECT_TRUE(play.Frames.empty());
    EXPECT_EQ(play.Ends, 1);
}

TEST(PainterErrors, AnErrorEndsPlayAndIsRaisedAgain) {
    TGIFImage image;
    rendertest::AddPlainFrames(image, 3, 5);
    auto fail = [](TGIFPainter& painter) {
        if (painter.ActiveFrame() == 1) throw GIFException("broken handler");
    };
    for (TGIFDrawOptions options : {Sync, Async}) {
        Play play;
        try {
            play = Record(image, options, std::make_shared<FakeClock>(), fail);
            ADD_FAILURE() << "no error raised";
        } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), "broken handler");
        }
    }
    // The frames before the error were played, and the end was never announced.
    int ends = 0;
    image.OnPlayEnd = [&](TObject*) { ++ends; };
    image.OnAfterFrame = [&](TObject* sender) { fail(*static_cast<TGIFPainter*>(sender)); };
    TBitmap screen(1, 1);
    EXPECT_THROW(image.Paint(screen.Canvas(), Sync, Rect(0, 0, 1, 1)), GIFException);
    EXPECT_EQ(ends, 0);
}

TEST(PainterSetup, PaintRefusesEmptyAndNeverAnimatesOneFrame) {
    TGIFImage image;
    TBitmap screen(2, 2);
    screen.Canvas().Brush.Color = clWhite;
    screen.Canvas().FillRect(Rect(0, 0, 2, 2));
    EXPECT_EQ(image.Paint(screen.Canvas(), Async, Rect(0, 0, 2, 2)), nullptr);
    rendertest::AddPlainFrames(image, 1, 5);
    EXPECT_EQ(image.Paint(screen.Canvas(), Async, Rect(0, 0, 0, 2)), nullptr);
    // One frame: played at once on this thread, nothing comes back.
    int before = 0;
    image.OnBeforeFrame = [&](TObject*) { ++before; };
    image.Clock = std::make_shared<FakeClock>();
    EXPECT_EQ(image.Paint(screen.Canvas(), Async | doLoop, Rect(0, 0, 2, 2)), nullptr);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(rendertest::Row(screen, 1), (std::vector<TColor>{clBlack, clBlack}));   // stretched
}
