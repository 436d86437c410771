// TGIFPainter: plays one TGIFImage onto one destination (a canvas and a rectangle),
// composing the frames with their disposal codes, transparency and delays, looping as
// the looping block asks and reporting through five events. It runs on a thread of its
// own (doAsync: paint steps and events go through the dispatcher to the user-interface
// thread) or directly on the caller's thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "gif/graphics/graphic.h"
#include "gif/model/image.h"

namespace gif {

class TAutoResetEvent;
class TBitmap;
class TCanvas;
class TGIFClock;
class TGIFDispatcher;

// What a renderer is given besides image, destination and options.
struct TGIFRenderEnvironment {
    // Runs paint steps and events on the user-interface thread; none: they run on the
    // renderer's own thread.
    std::shared_ptr<TGIFDispatcher> Dispatcher;
    // The millisecond clock, sleeps and timed waits; none: real time.
    std::shared_ptr<TGIFClock> Clock;
    // With doValidateCanvas: playback stops before a paint step once this has expired,
    // and it is held for the length of each step. The owner of the destination hands
    // out the bitmap's own shared_ptr or a token that dies with the canvas. Left unset
    // (never assigned), the destination counts as always valid.
    std::weak_ptr<const void> CanvasLifetime;
    // A destination bitmap shared with the renderer, kept alive while it plays.
    std::shared_ptr<TBitmap> KeepAlive;
    TThreadPriority Priority = TThreadPriority::tpNormal;
};

class TGIFPainter : public TObject {
public:
    // Prepares play of `image` onto `rect` of `canvas` (the buffers the disposal codes in
    // use need, the background colour) and lists the renderer with the image. Nothing runs
    // yet: Start() an asynchronous renderer, Execute() a synchronous one.
    TGIFPainter(TGIFImage& image, TCanvas& canvas, const TRect& rect, TGIFDrawOptions options,
                TGIFRenderEnvironment environment = {});
    // Stops the renderer, waits for its thread (running the dispatcher's pending work
    // meanwhile) and removes it from the image. A captured error is dropped here; call
    // WaitFor() to receive it.
    ~TGIFPainter() override;
    TGIFPainter(const TGIFPainter&) = delete;
    TGIFPainter& operator=(const TGIFPainter&) = delete;
    const char* ClassName() const override { return "TGIFPainter"; }

    // Starts the thread of an asynchronous renderer; nothing when synchronous, already
    // started, stopped or detached from its image.
    void Start();
    // Plays on the calling thread until the end or until stopped (synchronous play).
    void Execute();
    // Asks the renderer to end: wakes a renderer waiting out a delay or frozen at speed 0.
    // Nothing is invoked after this. Callable from any thread.
    void Stop();
    // Cuts the current wait short: a renderer frozen at speed 0 goes on to the next frame.
    void Wake();
    // Waits until the play has ended (running the dispatcher's pending work meanwhile),
    // then raises the error that ended it, if any (once).
    void WaitFor();

    // The frame being played, -1 outside play. Event handlers may set it: a new value set
    // by an OnAfterFrame handler is the next frame played.
    int ActiveFrame() const { return activeFrame_.load(); }
    void SetActiveFrame(int index) { activeFrame_.store(index); }
    // The image played; none once the renderer has left it.
    TGIFImage* Image() const { return image_.load(); }
    TCanvas& Canvas() const { return *canvas_; }
    const TRect& DestRect() const { return rect_; }
    TGIFDrawOptions DrawOptions() const { return options_; }
    int Speed() const { return speed_; }
    TColor BackgroundColor() const { return background_; }
    bool Async() const { return options_ & doAsync; }
    bool Terminated() const { return terminated_.load(); }
    // Set after every paint step; cleared when a play starts.
    bool Painted() const { return painted_.load(); }
    bool Started() const { return started_.load(); }
    // True once an asynchronous play has ended and left the image, or a synchronous one
    // has returned.
    bool Finished() const;
    // True while this renderer runs code on the calling thread: its synchronous play,
    // its own thread, or one of its paint steps or events in the dispatcher.
    bool BusyOnThisThread() const;
    // The dispatcher in use (never none).
    const std::shared_ptr<TGIFDispatcher>& Dispatcher() const { return dispatcher_; }

    // Copies of the image's handlers, taken when the renderer is made; the sender is the
    // renderer.
    TNotifyEvent OnPlayStart;
    TNotifyEvent OnBeforeFrame;
    TNotifyEvent OnAfterFrame;
    TNotifyEvent OnLoop;
    TNotifyEvent OnPlayEnd;

private:
    friend class TGIFImage;

    // The whole play (the thread body, or Execute); errors are captured.
    void Run();
    void Play();
    void WaitForFrame(int pendingUnits);
    void Fire(const TNotifyEvent& handler);
    void Synchronize(const std::function<void()>& step);
    void PaintFrame(int index);
    void PlainPaint(TGIFSubImage& frame);
    void BufferedPaint(TGIFSubImage& frame, int index);
    void ClearFrameArea(TGIFSubImage& frame);
    bool CanvasAlive(std::shared_ptr<const void>& hold) const;
    // Leaves the image's renderer list and forgets the image (under the image's lock).
    void Detach();
    void MarkFinished();
    void WaitUntilFinished();

    std::atomic<TGIFImage*> image_;
    TCanvas* canvas_;
    TRect rect_;
    TGIFDrawOptions options_;
    int speed_;
    TColor background_ = clWindow;
    std::shared_ptr<TGIFDispatcher> dispatcher_;
    std::shared_ptr<TGIFClock> clock_;
    std::weak_ptr<const void> canvasLifetime_;
    bool validateCanvas_ = false;
    std::shared_ptr<TBitmap> keepAlive_;
    TThreadPriority priority_;

    std::atomic<int> activeFrame_{-1};
    std::atomic<bool> terminated_{false};
    std::atomic<bool> painted_{false};
    std::atomic<bool> started_{false};
    uint8_t disposal_ = 1;
    uint8_t previousDisposal_ = 1;
    int64_t delayStart_ = 0;   // when the previous wait began (clock ms)
    int64_t overhead_ = 0;     // the previous wait, or 0 after a wake-up

    // Off-screen bitmaps of the destination rectangle's size; each may be absent.
    std::unique_ptr<TBitmap> compositionBuffer_;
    std::unique_ptr<TBitmap> frameBuffer_;
    std::unique_ptr<TBitmap> backgroundSnapshot_;
    std::unique_ptr<TAutoResetEvent> event_;

    std::exception_ptr error_;
    std::atomic<std::thread::id> runThread_{};
    std::atomic<std::thread::id> callThread_{};
    std::atomic<int> nativeThread_{0};
    mutable std::mutex stateMutex_;
    std::condition_variable finishedSignal_;
    bool finished_ = false;
    std::mutex joinMutex_;
    std::thread thread_;
};

} // namespace gif
