#include "gif/optimize/model_rewrite.h"

#include "gif/model/application_extension.h"
#include "gif/model/image.h"
#include "gif/optimize/frame_rewrite.h"
#include "gif/optimize/frame_rules.h"
#include "gif/optimize/screen_model.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <iterator>
#include <mutex>
#include <span>
#include <system_error>
#include <thread>
#include <utility>

namespace gif::optimize {

namespace {

// One play of a frame: the part of the screen under it before, with it drawn, and after
// its disposal.
struct TPlay {
    TScreen Before;
    TScreen Shown;
    TScreen Next;
};

void Play(const TGIFSubImage& frame, const TScreen& screen, TPlay& play) {
    const TRect rect = frame.BoundsRect();
    play.Before = Window(screen, rect);
    play.Shown = play.Before;
    DrawFrame(frame, play.Shown, 0, 0);
    play.Next = play.Shown;
    ApplyDisposal(DisposalOf(frame), TRect{0, 0, rect.Width(), rect.Height()}, play.Before,
                  play.Next);
}

// A frame to rewrite with its plays: the first pass's, and a later pass's where that one
// starts from another screen.
struct TJob {
    int Index = 0;
    TPlay First;
    TPlay Later;
    bool HasLater = false;
    bool LeavesNothing = false; // nothing ever shows what the frame leaves behind
};

// Once this much waits, the playing thread takes jobs back: the helper never falls far
// behind, and only a few frames' screens (some 6 MB) are held at once. The measure is the
// pixels, not the jobs: while the playing thread rewrites a large frame, the helper needs
// as much work left to do, not a few small frames.
constexpr size_t MaxWaitingPixels = size_t(1) << 19;
constexpr size_t MaxWaitingJobs = 64;

// The jobs the playing thread hands to the helper. Unbounded itself: the playing thread
// keeps it short by taking jobs back when it holds enough (see RewriteOnModel).
class TJobQueue {
  public:
    void Push(std::unique_ptr<TJob> job) {
        {
            std::lock_guard lock(mutex_);
            pixels_ += JobPixels(*job);
            jobs_.push_back(std::move(job));
        }
        ready_.notify_one();
    }
    // The oldest job, waiting for one; none once the queue is closed and empty.
    std::unique_ptr<TJob> Pop() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return closed_ || !jobs_.empty(); });
        return TakeLocked();
    }
    // The oldest job, or none when there is none at the moment.
    std::unique_ptr<TJob> TryPop() {
        std::lock_guard lock(mutex_);
        return TakeLocked();
    }
    // Whether the waiting jobs hold enough work, or screens, for the helper to go on with
    // while this thread rewrites one itself.
    bool Full() const {
        std::lock_guard lock(mutex_);
        return pixels_ >= MaxWaitingPixels || jobs_.size() >= MaxWaitingJobs;
    }
    void Close() {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
        }
        ready_.notify_all();
    }

  private:
    // The pixels of the frame a job rewrites, in each of its plays: its rewrite's work and
    // its screens' memory grow with them.
    static size_t JobPixels(const TJob& job) {
        return job.First.Shown.Pixels.size() * (job.HasLater ? 2 : 1);
    }
    std::unique_ptr<TJob> TakeLocked() {
        if (jobs_.empty()) return nullptr;
        std::unique_ptr<TJob> job = std::move(jobs_.front());
        jobs_.pop_front();
        pixels_ -= JobPixels(*job);
        return job;
    }

    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::unique_ptr<TJob>> jobs_;
    size_t pixels_ = 0; // JobPixels of the waiting jobs
    bool closed_ = false;
};

// Rewrites the job's frame with `rewriter` (one per thread); a changed frame is added to
// `changed`, with its old form when `keepOldForms`. Each thread touches only the frame
// of its job.
void RunJob(TGIFImage& image, const TJob& job, TFrameRewriter& rewriter, bool keepOldForms,
            std::vector<TRewrittenFrame>& changed) {
    TGIFSubImage& frame = *image.Frame(job.Index);
    TFrameView views[2];
    size_t viewCount = 0;
    views[viewCount++] = {&job.First.Before, &job.First.Shown,
                          job.LeavesNothing ? nullptr : &job.First.Next};
    if (job.HasLater)
        views[viewCount++] = {&job.Later.Before, &job.Later.Shown,
                              job.LeavesNothing ? nullptr : &job.Later.Next};
    std::unique_ptr<TGIFSubImage> old;
    if (keepOldForms) {
        old = std::make_unique<TGIFSubImage>(&image);
        old->CopyFrom(frame);
    }
    // The first frame keeps its rectangle: a viewer that clears the screen at each loop
    // clears that rectangle.
    if (rewriter.Rewrite(frame, std::span(views, viewCount), /*keepPlacement=*/job.Index == 0))
        changed.push_back({job.Index, std::move(old)});
}

// The second thread: rewrites what the queue hands it until it is closed. An error stops
// it; the playing thread then rewrites what is left and reports the error.
class THelper {
  public:
    THelper(TGIFImage& image, bool keepOldForms) {
        try {
            thread_ = std::thread([this, &image, keepOldForms] {
                try {
                    TFrameRewriter rewriter(image);
                    while (std::unique_ptr<TJob> job = queue_.Pop())
                        RunJob(image, *job, rewriter, keepOldForms, changed_);
                } catch (...) {
                    error_ = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No second thread: the caller's does all the work.
        }
    }
    ~THelper() { Stop(); }
    THelper(const THelper&) = delete;
    THelper& operator=(const THelper&) = delete;

    bool Running() const { return thread_.joinable(); }
    TJobQueue& Queue() { return queue_; }
    // Closes the queue and waits for the thread; the frames it changed.
    std::vector<TRewrittenFrame> Finish() {
        Stop();
        if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
        return std::move(changed_);
    }

  private:
    void Stop() {
        queue_.Close();
        if (thread_.joinable()) thread_.join();
    }

    TJobQueue queue_;
    std::vector<TRewrittenFrame> changed_;
    std::exception_ptr error_;
    std::thread thread_;
};

} // namespace

int LoopPoint(const TGIFImage& image) {
    for (int i = 0; i < image.FrameCount(); ++i) {
        const TGIFExtensionList& blocks = image.Frame(i)->Blocks();
        for (int k = 0; k < blocks.ItemCount(); ++k)
            if (dynamic_cast<const TGIFAppExtNSLoop*>(blocks.Extensions(k))) return i;
    }
    return 0;
}

std::vector<TRewrittenFrame> RewriteOnModel(TGIFImage& image, int threads, bool keepOldForms) {
    std::vector<TRewrittenFrame> changed;
    const int width = image.Width(), height = image.Height();
    // Play stops at the first blank frame; what follows it is never shown.
    int shownFrames = 0;
    while (shownFrames < image.FrameCount() && !image.Frame(shownFrames)->IsBlank())
        ++shownFrames;

    // A later pass starts from the screen the first one ends on: each frame drawn on it
    // and disposed of in place (restoring the previous screen leaves it as it was).
    TScreen end(width, height);
    for (int i = 0; i < shownFrames; ++i) {
        const TGIFSubImage& frame = *image.Frame(i);
        if (!FrameIsModelled(frame, end)) return changed;
        const int disposal = DisposalOf(frame);
        if (disposal == dmBackground)
            ApplyDisposal(disposal, frame.BoundsRect(), end, end);
        else if (disposal != dmPrevious)
            DrawFrame(frame, end, frame.FrameLeft(), frame.FrameTop());
    }
    TPlay play;

    const int loopPoint = LoopPoint(image);
    // When the loop starts again with a frame that covers the whole screen, nothing shows
    // what the last frame leaves behind: its disposal and what it clears are free.
    bool lastLeavesNothing = false;
    if (loopPoint == 0 && shownFrames == image.FrameCount() && shownFrames > 1) {
        const TGIFSubImage& cover = *image.Frame(0);
        TScreen blank(width, height);
        Play(cover, blank, play);
        lastLeavesNothing = cover.BoundsRect() == TRect{0, 0, width, height} &&
                            std::find(play.Shown.Pixels.begin(), play.Shown.Pixels.end(),
                                      ScreenBackground) == play.Shown.Pixels.end();
    }

    std::unique_ptr<THelper> helper;
    if (threads > 1 && shownFrames > 1) {
        helper = std::make_unique<THelper>(image, keepOldForms);
        if (!helper->Running()) helper.reset();
    }
    TFrameRewriter rewriter(image);
    TScreen first(width, height), later;
    bool laterDiffers = false;
    for (int i = 0; i < shownFrames; ++i) {
        const TGIFSubImage& frame = *image.Frame(i);
        const TRect rect = frame.BoundsRect();
        if (i == loopPoint) {
            later = end;
            laterDiffers = later.Pixels != first.Pixels;
        }
        auto job = std::make_unique<TJob>();
        job->Index = i;
        job->LeavesNothing = lastLeavesNothing && i == shownFrames - 1;
        Play(frame, first, job->First);
        PutWindow(first, rect, job->First.Next);
        if (laterDiffers) {
            job->HasLater = true;
            Play(frame, later, job->Later);
            PutWindow(later, rect, job->Later.Next);
            laterDiffers = later.Pixels != first.Pixels;
        }
        if (!helper) {
            RunJob(image, *job, rewriter, keepOldForms, changed);
            continue;
        }
        // Rather than wait for the helper, this thread takes back the oldest job.
        while (helper->Queue().Full())
            if (std::unique_ptr<TJob> waiting = helper->Queue().TryPop())
                RunJob(image, *waiting, rewriter, keepOldForms, changed);
        helper->Queue().Push(std::move(job));
    }
    if (helper) {
        helper->Queue().Close();
        while (std::unique_ptr<TJob> waiting = helper->Queue().TryPop())
            RunJob(image, *waiting, rewriter, keepOldForms, changed);
        std::vector<TRewrittenFrame> helped = helper->Finish();
        std::move(helped.begin(), helped.end(), std::back_inserter(changed));
        std::sort(changed.begin(), changed.end(),
                  [](const TRewrittenFrame& a, const TRewrittenFrame& b) {
                      return a.Index < b.Index;
                  });
    }
    return changed;
}

} // namespace gif::optimize
