// TGIFImage's drawing entry points and the management of its renderers.
#include <algorithm>
#include <chrono>
#include <thread>

#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/model/image.h"
#include "gif/render/dispatcher.h"
#include "gif/render/frame_draw.h"
#include "gif/render/painter.h"

namespace gif {

namespace {

// Lays copies of `bitmap` from the rectangle's top-left corner across it, clipped to it.
void TileBitmap(TCanvas& canvas, const TRect& rect, const TBitmap& bitmap) {
    int w = bitmap.Width(), h = bitmap.Height();
    if (w <= 0 || h <= 0) return;
    for (int64_t x = rect.Left; x < rect.Right; x += w) {
        for (int64_t y = rect.Top; y < rect.Bottom; y += h) {
            TRect dest{int(x), int(y), int(std::min<int64_t>(x + w, rect.Right)),
                       int(std::min<int64_t>(y + h, rect.Bottom))};
            canvas.StretchBlt(dest, bitmap, Rect(0, 0, dest.Width(), dest.Height()));
        }
    }
}

void DrawCachedBitmap(TCanvas& canvas, const TRect& rect, const TBitmap& bitmap, bool tiled) {
    if (tiled) TileBitmap(canvas, rect, bitmap);
    else canvas.StretchBlt(rect, bitmap, Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

} // namespace

std::unique_ptr<TGIFPainter> TGIFImage::Paint(TCanvas& canvas, TGIFDrawOptions options,
                                              const TRect& rect,
                                              std::weak_ptr<const void> canvasLifetime) {
    if (Empty() || rect.IsEmpty()) return nullptr;
    // A single frame is never animated.
    if (FrameCount() == 1) options &= TGIFDrawOptions(~(doAsync | doAnimate));
    TGIFRenderEnvironment environment{Dispatcher, Clock, std::move(canvasLifetime), nullptr,
                                      ThreadPriority};
    auto painter =
        std::make_unique<TGIFPainter>(*this, canvas, rect, options, std::move(environment));
    if (options & doAsync) return painter;
    painter->Execute();
    painter->WaitFor();
    return nullptr;
}

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect) {
    if (drawing_ || Empty()) return;
    drawing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{drawing_};

    const bool tiled = drawOptions_ & doTile;
    if (FrameCount() == 1 || !(drawOptions_ & doAnimate)) {
        DrawSubImage(*Frame(0), canvas, rect, drawOptions_ & doTransparent, tiled);
        return;
    }
    const bool direct = drawOptions_ & doDirectDraw;
    if (bitmap_ && !direct) {
        DrawCachedBitmap(canvas, rect, *bitmap_, tiled);
        return;
    }
    // Already playing onto this very destination.
    if (painter_ && !painter_->Terminated() && !painter_->Finished() &&
        &painter_->Canvas() == &canvas && painter_->DestRect() == rect)
        return;

    StopDraw();
    if (rect.IsEmpty()) return;

    TGIFRenderEnvironment environment{Dispatcher, Clock, {}, nullptr, ThreadPriority};
    TCanvas* target = &canvas;
    TRect targetRect = rect;
    if (direct) {
        environment.CanvasLifetime = DrawCanvasLifetime;
    } else {
        // Play into a bitmap of the image's size, starting from what the caller shows.
        bitmap_ = std::make_shared<TBitmap>(Width(), Height(), pf24bit);
        bitmap_->SetPalette(CopyPalette(ImagePalette()));
        targetRect = Rect(0, 0, Width(), Height());
        bitmap_->Canvas().CopyRect(targetRect, canvas, rect);
        target = &bitmap_->Canvas();
        environment.KeepAlive = bitmap_;
    }
    painter_ = std::make_unique<TGIFPainter>(*this, *target, targetRect, drawOptions_,
                                             std::move(environment));
    if (!painter_->Async()) {
        painter_->Execute();
        std::unique_ptr<TGIFPainter> done = std::move(painter_);
        done->WaitFor();
    } else {
        painter_->Start();
        if (direct) return;
        // Show the first frame before returning: wait for it, keeping the dispatcher's
        // work flowing, since the renderer paints through it.
        TGIFPainter* painter = painter_.get();
        std::shared_ptr<TGIFDispatcher> dispatcher = painter->Dispatcher();
        while (painter_.get() == painter && !painter->Painted() && !painter->Terminated() &&
               !painter->Finished()) {
            dispatcher->ProcessPendingWork();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (bitmap_ && !direct) DrawCachedBitmap(canvas, rect, *bitmap_, tiled);
}

std::exception_ptr TGIFImage::StopOwnPainter() {
    std::exception_ptr error;
    // Renderers retired earlier can be waited for now, unless this is still inside them.
    std::vector<std::unique_ptr<TGIFPainter>> retired = std::move(retiredPainters_);
    retiredPainters_.clear();
    for (auto& painter : retired) {
        if (painter->BusyOnThisThread()) {
            retiredPainters_.push_back(std::move(painter));
            continue;
        }
        try {
            painter->WaitFor();
        } catch (...) {
            // Their play was abandoned with the image's change; so is the error.
        }
    }
    if (!painter_) return error;
    painter_->Stop();
    if (painter_->BusyOnThisThread()) {
        // Called from one of its own paint steps or events: it ends once that returns.
        // A synchronous one is still inside Draw, which cleans up after it.
        if (painter_->Async()) retiredPainters_.push_back(std::move(painter_));
        return error;
    }
    std::unique_ptr<TGIFPainter> painter = std::move(painter_);
    try {
        painter->WaitFor();
    } catch (...) {
        error = std::current_exception();
    }
    return error;
}

void TGIFImage::StopDraw() {
    std::exception_ptr error = StopOwnPainter();
    bitmap_.reset();
    if (error) std::rethrow_exception(error);
}

void TGIFImage::StopAllPainters() {
    StopOwnPainter();
    // Renderers owned by others leave the list when their threads end; wait for that,
    // running their dispatchers' work meanwhile.
    for (;;) {
        std::vector<std::shared_ptr<TGIFDispatcher>> dispatchers;
        {
            std::lock_guard lock(painterLock_);
            for (auto it = painters_.rbegin(); it != painters_.rend(); ++it) {
                TGIFPainter* painter = *it;
                painter->Stop();
                if (!painter->Async() || !painter->Started() || painter->BusyOnThisThread())
                    continue;
                if (std::find(dispatchers.begin(), dispatchers.end(), painter->Dispatcher()) ==
                    dispatchers.end())
                    dispatchers.push_back(painter->Dispatcher());
            }
        }
        if (dispatchers.empty()) break;
        for (auto& dispatcher : dispatchers) dispatcher->ProcessPendingWork();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    bitmap_.reset();
}

void TGIFImage::DetachPainters() {
    std::lock_guard lock(painterLock_);
    for (TGIFPainter* painter : painters_) {
        painter->Stop();
        painter->image_ = nullptr;
    }
    painters_.clear();
}

void TGIFImage::SetDrawOptions(TGIFDrawOptions value) {
    if (value == drawOptions_) return;
    StopOwnPainter();
    drawOptions_ = value;
    RefreshPalettes();
    Changed(this);
}

TBitmap* TGIFImage::Bitmap() {
    if (bitmap_) return bitmap_.get();
    if (Empty()) return nullptr;
    TGIFSubImage& frame = *Frame(0);
    if (frame.FrameLeft() == 0 && frame.FrameTop() == 0 && frame.FrameWidth() == Width() &&
        frame.FrameHeight() == Height()) {
        if (TBitmap* own = frame.FrameBitmap()) bitmap_ = std::make_shared<TBitmap>(*own);
        return bitmap_.get();
    }
    auto bitmap = std::make_shared<TBitmap>(Width(), Height(), pf24bit);
    bitmap->SetPalette(CopyPalette(ImagePalette()));
    DrawSubImage(frame, bitmap->Canvas(), Rect(0, 0, Width(), Height()), false, false);
    bitmap_ = std::move(bitmap);
    return bitmap_.get();
}

} // namespace gif
