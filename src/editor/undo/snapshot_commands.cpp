#include "editor/undo/snapshot_commands.h"

#include "editor/core/format.h"
#include "editor/core/frame_moves.h"
#include "editor/core/prompter.h"
#include "gif/model/image.h"

#include <utility>

namespace editor {

using namespace gif;

TActiveAnimation::TActiveAnimation(TEditContext& context, uint8_t subKind, int frameIndex)
    : TCommand(subKind, frameIndex), snapshot_(context) {}

void TActiveAnimation::Undo(TEditContext& context) {
    TGIFImage saved;
    snapshot_.LoadInto(saved);
    context.Image.Assign(&saved);
}

TFrame::TFrame(TEditContext& context, uint8_t subKind, int target, int frameIndex)
    : TCommand(subKind, frameIndex), Target(target) {
    TGIFImage& image = context.Image;
    if (frameIndex < 0 || frameIndex >= image.FrameCount())
        throw ECommandError("Could not get GIFSubImage");
    const TGIFSubImage& frame = *image.Frame(frameIndex);
    imageHeight_ = image.Height();
    imageWidth_ = image.Width();
    left_ = frame.FrameLeft();
    top_ = frame.FrameTop();
    width_ = frame.FrameWidth();
    height_ = frame.FrameHeight();
    interlaced_ = frame.IsInterlaced();
    if (subKind == 2) snapshot_ = std::make_unique<TAnimationSnapshot>(context);
    if (subKind == 3) {
        const auto pixels = std::as_const(frame).PixelData();
        pixels_.assign(pixels.begin(), pixels.end());
    }
}

void TFrame::Undo(TEditContext& context) {
    TGIFImage& image = context.Image;
    switch (Kind) {
    case 1: DeleteFrameAt(context, FrameIndex); break;
    case 2: {
        if (!snapshot_) throw ECommandError("TempFile name is empty");
        TGIFImage saved;
        snapshot_->LoadInto(saved);
        if (!InsertFrameFromImage(context, saved, FrameIndex))
            throw ECommandError(Format("Could not restore frame %d from %s", FrameIndex,
                                       snapshot_->Path()));
        break;
    }
    case 3: {
        if (FrameIndex < 0 || FrameIndex >= image.FrameCount())
            throw ECommandError("Could not get GIFSubImage");
        TGIFSubImage& frame = *image.Frame(FrameIndex);
        const bool resized = frame.FrameWidth() != width_ || frame.FrameHeight() != height_;
        frame.SetPlacement(left_, top_, width_, height_);
        if (resized && !pixels_.empty() && frame.PixelCount() == int(pixels_.size()))
            std::copy(pixels_.begin(), pixels_.end(), frame.Pixels());
        frame.SetInterlaced(interlaced_);
        if (image.Height() != imageHeight_) image.SetHeight(imageHeight_);
        if (image.Width() != imageWidth_) image.SetWidth(imageWidth_);
        frame.DropBitmap();
        break;
    }
    case 4:
        if (Target != -1) MoveFrameInImage(context, Target, FrameIndex);
        break;
    default: UnknownAction();
    }
}

} // namespace editor
