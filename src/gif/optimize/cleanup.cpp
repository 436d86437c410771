#include "gif/optimize/cleanup.h"

#include <algorithm>

#include "gif/model/application_extension.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "gif/optimize/frame_rules.h"
#include "gif/optimize/optimize_progress.h"

namespace gif::optimize {

namespace {

void DropUnusedTransparency(TGIFSubImage& frame) {
    int index = frame.TransparentIndex();
    if (index < 0) return;
    std::span<const uint8_t> pixels = frame.PixelData();
    if (std::find(pixels.begin(), pixels.end(), uint8_t(index)) != pixels.end()) return;
    frame.ControlBlock()->SetTransparentFlag(false);
    frame.DropBitmap();
    frame.DropMask();
}

// Frame `frame` restores its area (disposal 2 or 3) and `next` follows it. The disposal
// can become 0 when nobody could ever see the restored area:
//  - `next` is opaque, not blank, and its rectangle contains the whole of `frame`'s, so
//    drawing `next` overwrites every restored pixel;
//  - `next` does not itself restore to the previous state (disposal 3), which would bring
//    back the picture as it was after `frame`'s disposal.
// A partial overlap is not enough: the part of `frame` outside `next` would stay visible.
bool RestoreIsInvisible(const TGIFSubImage& frame, const TGIFSubImage& next) {
    int disposal = DisposalOf(frame);
    if (disposal != dmBackground && disposal != dmPrevious) return false;
    if (next.IsBlank() || next.IsTransparent()) return false;
    if (DisposalOf(next) > dmBackground) return false;
    return Contains(next.BoundsRect(), frame.BoundsRect());
}

bool IsLoopBlock(const TGIFExtension* block) {
    return dynamic_cast<const TGIFAppExtNSLoop*>(block) != nullptr;
}

// The loop block that playback honours: the first one in file order. Only an image of
// more than one frame keeps it.
const TGIFExtension* LoopBlockToKeep(const TGIFImage& image) {
    if (image.FrameCount() < 2) return nullptr;
    for (int i = 0; i < image.FrameCount(); ++i) {
        const TGIFExtensionList& blocks = image.Frame(i)->Blocks();
        for (int b = 0; b < blocks.ItemCount(); ++b)
            if (IsLoopBlock(blocks.Extensions(b))) return blocks.Extensions(b);
    }
    return nullptr;
}

bool IsInvisibleBlock(const TGIFExtension* block, const TGIFExtension* keptLoop) {
    if (dynamic_cast<const TGIFCommentExtension*>(block)) return true;
    if (dynamic_cast<const TGIFTextExtension*>(block)) return true;
    if (dynamic_cast<const TGIFUnknownAppExtension*>(block)) return true;
    return IsLoopBlock(block) && block != keptLoop;
}

// A graphic control extension that says nothing a player would not assume anyway.
bool ControlBlockIsRedundant(const TGIFSubImage& frame, bool singleFrame) {
    const TGIFGraphicControlExtension* gce = frame.ControlBlock();
    if (!gce) return false;
    // With several blocks the last one's disposal wins when playing; leave such frames be.
    if (ControlBlockCount(frame) != 1) return false;
    if (gce->TransparentFlag() || gce->UserInputFlag()) return false;
    if (gce->DelayTime() != 0 && !singleFrame) return false;
    return gce->DisposalCode() < dmBackground || singleFrame;
}

} // namespace

void CleanupBeforePixels(TGIFImage& image, TOptimizeProgress& progress) {
    for (int i = 0; i < image.FrameCount(); ++i) DropUnusedTransparency(*image.Frame(i));
    for (int i = 0; i + 1 < image.FrameCount(); ++i) {
        TGIFSubImage& frame = *image.Frame(i);
        if (RestoreIsInvisible(frame, *image.Frame(i + 1)))
            frame.ControlBlock()->SetDisposalCode(dmNone);
        progress.Step();
    }
}

void CleanupAfterPixels(TGIFImage& image, TOptimizeProgress& progress) {
    const TGIFExtension* keptLoop = LoopBlockToKeep(image);
    bool singleFrame = image.FrameCount() == 1;
    for (int i = image.FrameCount() - 1; i >= 0; --i) {
        TGIFSubImage& frame = *image.Frame(i);
        TGIFExtensionList& blocks = frame.Blocks();
        for (int b = blocks.ItemCount() - 1; b >= 0; --b)
            if (IsInvisibleBlock(blocks.Extensions(b), keptLoop)) blocks.DeleteAt(b);
        if (ControlBlockIsRedundant(frame, singleFrame))
            blocks.DeleteAt(blocks.IndexOf(frame.ControlBlock()));
        if (frame.IsBlank() && blocks.ItemCount() == 0) image.Images().DeleteAt(i);
        progress.Step();
    }
}

} // namespace gif::optimize
