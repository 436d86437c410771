// TGIFPainter's paint steps: straight onto the destination, or through the composition
// buffer when the animation uses disposal codes 2 or 3. They run on the user-interface
// thread in asynchronous play.
#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/model/graphic_control.h"
#include "gif/render/frame_draw.h"
#include "gif/render/painter.h"

namespace gif {

bool TGIFPainter::CanvasAlive(std::shared_ptr<const void>& hold) const {
    if (!validateCanvas_) return true;
    hold = canvasLifetime_.lock();
    return hold != nullptr;
}

void TGIFPainter::PaintFrame(int index) {
    Synchronize([this, index] {
        TGIFImage* image = image_.load();
        if (terminated_ || !image || index >= image->FrameCount()) return;
        // The destination must not go away during the step.
        std::shared_ptr<const void> hold;
        if (!CanvasAlive(hold)) {
            terminated_ = true;
            return;
        }
        TGIFSubImage& frame = *image->Frame(index);
        if (compositionBuffer_) BufferedPaint(frame, index);
        else PlainPaint(frame);
    });
}

void TGIFPainter::PlainPaint(TGIFSubImage& frame) {
    DrawSubImage(frame, *canvas_, rect_, options_ & doTransparent, options_ & doTile);
    painted_ = true;
}

// How each frame reaches the destination, by its disposal code D and the previous one P:
//   D 0/1: drawn into the composition buffer, which is copied out; it stays there.
//   D 2:   the same, then its area of the buffer is cleared to the background.
//   D 3 after P 0/1: drawn straight onto the destination; the buffer never sees it, so
//          the next frame's copy of the buffer restores the picture before it.
//   D 3 after P 2/3: drawn onto a copy of the buffer (the frame buffer), copied out.
void TGIFPainter::BufferedPaint(TGIFSubImage& frame, int index) {
    const TRect whole = Rect(0, 0, rect_.Width(), rect_.Height());
    TCanvas* target = &compositionBuffer_->Canvas();
    TRect screen = whole;
    bool copyBufferFirst = false;
    bool copyOut = true;
    bool clearAfter = false;
    if (disposal_ == dmBackground) {
        clearAfter = true;
    } else if (disposal_ == dmPrevious) {
        if (previousDisposal_ == dmBackground || previousDisposal_ == dmPrevious) {
            target = &frameBuffer_->Canvas();
            copyBufferFirst = true;
        } else {
            target = canvas_;
            screen = rect_;
            copyOut = false;
        }
    }

    if ((options_ & doClearOnLoop) && index == 0) ClearFrameArea(frame);
    if (copyBufferFirst) target->CopyRect(whole, compositionBuffer_->Canvas(), whole);
    DrawSubImage(frame, *target, screen, options_ & doTransparent, options_ & doTile);
    if (copyOut) {
        uint32_t mode = canvas_->CopyMode;
        canvas_->CopyMode = cmSrcCopy;
        canvas_->CopyRect(rect_, *target, whole);
        canvas_->CopyMode = mode;
    }
    if (clearAfter) ClearFrameArea(frame);
    painted_ = true;
}

// Restores the frame's area of the composition buffer: from the snapshot of what the
// destination showed before play (doTransparent), else to the background colour. The
// buffer has its own coordinates, (0, 0) at the destination rectangle's top-left corner,
// and with doTile every tile of the frame is restored.
void TGIFPainter::ClearFrameArea(TGIFSubImage& frame) {
    TGIFImage* image = image_.load();
    if (!image) return;
    const TRect whole = Rect(0, 0, rect_.Width(), rect_.Height());
    TCanvas& buffer = compositionBuffer_->Canvas();
    auto restore = [&](const TRect& area) {
        if (backgroundSnapshot_) {
            buffer.CopyRect(area, backgroundSnapshot_->Canvas(), area);
        } else {
            buffer.Brush.Color = background_;
            buffer.FillRect(area);
        }
    };
    if (options_ & doTile)
        ForEachTile(frame, whole, image->Width(), image->Height(),
                    [&](const TRect& tile, const TRect&) { restore(tile); });
    else
        restore(FramePlace(frame, whole, image->Width(), image->Height()));
}

} // namespace gif
