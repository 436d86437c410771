// TGIFPainter: creation, threads, stopping and the play loop. The paint steps are in
// painter_paint.cpp.
#include "gif/render/painter.h"

#include <algorithm>
#include <chrono>

#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/render/auto_reset_event.h"
#include "gif/render/clock.h"
#include "gif/render/dispatcher.h"
#include "gif/render/thread_priority.h"
#include "gif/render/timing.h"

namespace gif {

namespace {

// A weak_ptr that was never assigned, as opposed to one whose object has died.
bool IsUnset(const std::weak_ptr<const void>& token) {
    std::weak_ptr<const void> none;
    return !token.owner_before(none) && !none.owner_before(token);
}

// The colour the composition buffer clears to without doTransparent.
TColor BackgroundOf(TGIFImage& image) {
    if (image.DrawBackgroundColor != clNone) return image.DrawBackgroundColor & 0xFFFFFF;
    if (image.GlobalColorMap().EntryCount() == 0) return clWindow;
    return image.Header().ScreenBackground();
}

// Bit n set when some frame's graphic control extension carries disposal code n.
unsigned DisposalCodesInUse(const TGIFImage& image) {
    unsigned codes = 0;
    for (int i = 0; i < image.FrameCount(); ++i) {
        const TGIFExtensionList& blocks = image.Frame(i)->Blocks();
        for (int b = 0; b < blocks.ItemCount(); ++b)
            if (auto* control =
                    dynamic_cast<const TGIFGraphicControlExtension*>(blocks.Extensions(b)))
                codes |= 1u << control->DisposalCode();
    }
    return codes;
}

} // namespace

TGIFPainter::TGIFPainter(TGIFImage& image, TCanvas& canvas, const TRect& rect,
                         TGIFDrawOptions options, TGIFRenderEnvironment environment)
    : image_(&image),
      canvas_(&canvas),
      rect_(rect),
      options_(options),
      speed_(image.AnimationSpeed),
      dispatcher_(environment.Dispatcher ? std::move(environment.Dispatcher)
                                         : std::make_shared<TInlineDispatcher>()),
      clock_(environment.Clock ? std::move(environment.Clock) : std::make_shared<TSteadyClock>()),
      canvasLifetime_(environment.CanvasLifetime),
      validateCanvas_((options & doValidateCanvas) && !IsUnset(environment.CanvasLifetime)),
      keepAlive_(std::move(environment.KeepAlive)),
      priority_(environment.Priority) {
    OnPlayStart = image.OnPlayStart;
    OnBeforeFrame = image.OnBeforeFrame;
    OnAfterFrame = image.OnAfterFrame;
    OnLoop = image.OnLoop;
    OnPlayEnd = image.OnPlayEnd;

    // Every asynchronous renderer gets its event: it is what a stop wakes.
    if (options & doAsync) event_ = std::make_unique<TAutoResetEvent>();
    background_ = BackgroundOf(image);

    unsigned codes = DisposalCodesInUse(image);
    if (options & doClearOnLoop) codes |= 1u << dmBackground;
    if (!rect.IsEmpty()) {
        TRect whole = Rect(0, 0, rect.Width(), rect.Height());
        if ((codes & (1u << dmBackground)) && (options & doTransparent)) {
            backgroundSnapshot_ = std::make_unique<TBitmap>(rect.Width(), rect.Height(), pf24bit);
            backgroundSnapshot_->Canvas().CopyRect(whole, canvas, rect);
        }
        if (codes & ((1u << dmBackground) | (1u << dmPrevious))) {
            compositionBuffer_ = std::make_unique<TBitmap>(rect.Width(), rect.Height(), pf24bit);
            compositionBuffer_->Canvas().Brush.Color = background_;
            compositionBuffer_->Canvas().CopyRect(whole, canvas, rect);
            frameBuffer_ = std::make_unique<TBitmap>(rect.Width(), rect.Height(), pf24bit);
            frameBuffer_->Canvas().Brush.Color = background_;
        }
    }

    std::lock_guard lock(image.painterLock_);
    image.painters_.push_back(this);
}

TGIFPainter::~TGIFPainter() {
    Stop();
    if (!BusyOnThisThread()) WaitUntilFinished();
    {
        std::lock_guard lock(joinMutex_);
        if (thread_.joinable()) {
            // Destroyed by its own thread (a handler run inline): nobody can wait for it.
            if (thread_.get_id() == std::this_thread::get_id()) thread_.detach();
            else thread_.join();
        }
    }
    Detach();
}

void TGIFPainter::Start() {
    if (!Async() || terminated_ || !image_) return;
    if (started_.exchange(true)) return;
    try {
        thread_ = std::thread([this] {
            nativeThread_ = CurrentNativeThreadId();
            if (priority_ != TThreadPriority::tpNormal)
                SetNativeThreadPriority(nativeThread_, priority_);
            Run();
            // Tear down at normal priority, so that a stopped idle renderer ends quickly.
            if (priority_ != TThreadPriority::tpNormal)
                SetNativeThreadPriority(nativeThread_, TThreadPriority::tpNormal);
            Detach();
            MarkFinished();
        });
    } catch (...) {
        started_ = false;
        throw;
    }
}

void TGIFPainter::Execute() {
    if (terminated_ || !image_) return;
    if (started_.exchange(true)) return;
    Run();
    MarkFinished();
}

void TGIFPainter::Stop() {
    terminated_ = true;
    if (event_) event_->Set();
}

void TGIFPainter::Wake() {
    if (event_) event_->Set();
}

void TGIFPainter::WaitFor() {
    if (BusyOnThisThread()) return;   // waiting for itself would never end
    WaitUntilFinished();
    {
        std::lock_guard lock(joinMutex_);
        if (thread_.joinable()) thread_.join();
    }
    std::exception_ptr error;
    {
        std::lock_guard lock(stateMutex_);
        std::swap(error, error_);
    }
    if (error) std::rethrow_exception(error);
}

bool TGIFPainter::Finished() const {
    std::lock_guard lock(stateMutex_);
    return finished_;
}

bool TGIFPainter::BusyOnThisThread() const {
    std::thread::id self = std::this_thread::get_id();
    return runThread_.load() == self || callThread_.load() == self;
}

void TGIFPainter::MarkFinished() {
    {
        std::lock_guard lock(stateMutex_);
        finished_ = true;
    }
    finishedSignal_.notify_all();
}

void TGIFPainter::WaitUntilFinished() {
    if (!started_) return;
    std::unique_lock lock(stateMutex_);
    while (!finished_) {
        // The renderer may be blocked in a paint step or event that waits for this thread.
        lock.unlock();
        dispatcher_->ProcessPendingWork();
        lock.lock();
        finishedSignal_.wait_for(lock, std::chrono::milliseconds(1), [this] { return finished_; });
    }
}

void TGIFPainter::Detach() {
    TGIFImage* image = image_.load();
    if (!image) return;
    std::lock_guard lock(image->painterLock_);
    auto& list = image->painters_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    image_ = nullptr;
}

void TGIFPainter::Run() {
    runThread_ = std::this_thread::get_id();
    try {
        Play();
    } catch (...) {
        // Ends playback; WaitFor raises it again.
        std::lock_guard lock(stateMutex_);
        error_ = std::current_exception();
        terminated_ = true;
    }
    runThread_ = std::thread::id();
}

void TGIFPainter::Synchronize(const std::function<void()>& step) {
    auto run = [this, &step] {
        std::thread::id previous = callThread_.exchange(std::this_thread::get_id());
        struct Restore {
            std::atomic<std::thread::id>& slot;
            std::thread::id value;
            ~Restore() { slot = value; }
        } restore{callThread_, previous};
        step();
    };
    if (Async()) dispatcher_->Invoke(run);
    else run();
}

void TGIFPainter::Fire(const TNotifyEvent& handler) {
    if (!handler || terminated_) return;
    Synchronize([this, &handler] {
        if (!terminated_) handler(this);
    });
}

void TGIFPainter::Play() {
    TGIFImage& image = *image_.load();
    const bool async = Async();
    const bool animate = options_ & doAnimate;
    const bool loop = options_ & doLoop;
    const bool forever = options_ & doLoopForever;

    activeFrame_ = 0;
    Fire(OnPlayStart);
    painted_ = false;

    int64_t loopCount = 1;
    int loopPoint = 0;
    bool loopSeen = false;
    int pending = async ? 0 : 1;
    previousDisposal_ = dmNoDisposal;
    delayStart_ = clock_->Now();
    overhead_ = 0;

    auto playable = [&image](int index) {
        return index >= 0 && index < image.FrameCount() && !image.Frame(index)->IsBlank();
    };

    while ((loopCount != 0 || forever) && !terminated_) {
        activeFrame_ = loopPoint;
        if (painted_) Fire(OnLoop);
        bool paintedThisPass = false;
        while (!terminated_ && playable(activeFrame_)) {
            WaitForFrame(pending);
            if (terminated_) break;
            Fire(OnBeforeFrame);
            if (terminated_) break;
            int index = activeFrame_;   // an OnBeforeFrame handler may have moved it
            if (!playable(index)) break;
            TGIFSubImage& frame = *image.Frame(index);

            disposal_ = dmNoDisposal;
            const TGIFExtensionList& blocks = frame.Blocks();
            for (int b = 0; b < blocks.ItemCount(); ++b) {
                TGIFExtension* block = blocks.Extensions(b);
                if (auto* looping = dynamic_cast<TGIFAppExtNSLoop*>(block)) {
                    if (loopSeen) continue;
                    loopSeen = true;
                    loopCount = looping->LoopCount;
                    if (loopCount >= 1 && loopCount <= 65534) ++loopCount;
                    if ((loopCount == 0 || forever) && async) loopCount = -1;   // endless
                    loopPoint = index;
                } else if (auto* control = dynamic_cast<TGIFGraphicControlExtension*>(block)) {
                    disposal_ = control->DisposalCode();
                }
            }
            // The reserved codes 4 to 7 leave the frame in place, as code 1.
            if (disposal_ > dmPrevious) disposal_ = dmNoDisposal;

            PaintFrame(index);
            paintedThisPass = true;
            previousDisposal_ = disposal_;
            if (terminated_) break;

            pending = FrameDelayUnits(frame, async);
            Fire(OnAfterFrame);
            if (terminated_) break;
            if (activeFrame_ == index) activeFrame_ = index + 1;
            if (!animate) break;
        }
        if (loopCount > 0) --loopCount;
        if (!(animate && loop)) break;
        // A pass that showed nothing would repeat without ever waiting.
        if (!paintedThisPass) break;
    }
    activeFrame_ = -1;
    Fire(OnPlayEnd);
}

void TGIFPainter::WaitForFrame(int pendingUnits) {
    if (pendingUnits < 1) {
        clock_->Sleep(0);
        return;
    }
    // Decode before waiting, so that the decoding overlaps the delay.
    int index = activeFrame_;
    if (TGIFImage* image = image_.load(); image && index >= 0 && index < image->FrameCount())
        image->Frame(index)->FrameBitmap();

    const bool async = Async();
    int64_t now = clock_->Now();
    int64_t wait = int64_t(MaximumDelay) * DelayUnitMs;
    bool endless = false;
    if (speed_ > 0) {
        TWaitPlan plan = PlanWait(pendingUnits, now - delayStart_, overhead_, speed_);
        wait = plan.WaitMs;
        overhead_ = plan.Overhead;
    } else if (async) {
        endless = true;   // frozen until woken
    }
    delayStart_ = now;

    if (async) {
        if ((endless || wait > 0) && clock_->WaitFor(*event_, endless ? -1 : wait)) {
            overhead_ = 0;
            delayStart_ = clock_->Now();
        }
        return;
    }
    // Synchronous: sleep in chunks of at most 100 ms and keep the caller's work flowing.
    if (wait <= 0) wait = 1;
    int64_t chunkStart = clock_->Now();
    while (wait > 0 && !terminated_) {
        clock_->Sleep(std::min<int64_t>(wait, 100));
        int64_t t = clock_->Now();
        wait -= t - chunkStart;
        chunkStart = t;
        dispatcher_->ProcessPendingWork();
    }
}

} // namespace gif
