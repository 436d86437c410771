#include "gif/optimize/still_frames.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "gif/model/application_extension.h"
#include "gif/model/image.h"
#include "gif/optimize/frame_rules.h"

namespace gif::optimize {

namespace {

constexpr int MaxDelay = 0xFFFF;

// Whether every pixel of the frame is its transparent index: drawing it changes nothing.
bool DrawsNothing(const TGIFSubImage& frame) {
    if (frame.IsBlank()) return false; // a frame without an image is no picture at all
    const int transparent = frame.TransparentIndex();
    if (transparent < 0) return false;
    const uint8_t* pixels = frame.Pixels();
    const size_t count = size_t(frame.PixelCount());
    return std::all_of(pixels, pixels + count, [t = uint8_t(transparent)](uint8_t p) { return p == t; });
}

// Only one graphic control extension, and the loop block where `loopAllowed`.
bool PlainBlocks(const TGIFSubImage& frame, bool loopAllowed) {
    const TGIFExtensionList& blocks = frame.Blocks();
    int controls = 0;
    for (int i = 0; i < blocks.ItemCount(); ++i) {
        const TGIFExtension* block = blocks.Extensions(i);
        if (dynamic_cast<const TGIFGraphicControlExtension*>(block)) {
            if (++controls > 1) return false;
            continue;
        }
        if (!(loopAllowed && dynamic_cast<const TGIFAppExtNSLoop*>(block))) return false;
    }
    return true;
}

bool WaitsForInput(const TGIFSubImage& frame) {
    return frame.ControlBlock() && frame.ControlBlock()->UserInputFlag();
}

// Whether `frame` may be folded into `previous`, the frame before it.
bool Foldable(const TGIFSubImage& previous, const TGIFSubImage& frame) {
    return !previous.IsBlank() && LeavesFrameInPlace(previous) && LeavesFrameInPlace(frame) &&
           !WaitsForInput(previous) && !WaitsForInput(frame) && PlainBlocks(previous, true) &&
           PlainBlocks(frame, false) && DrawsNothing(frame);
}

} // namespace

int MergeStillFrames(TGIFImage& image) {
    int removed = 0;
    for (int i = 1; i < image.FrameCount();) {
        TGIFSubImage& previous = *image.Frame(i - 1);
        TGIFSubImage& frame = *image.Frame(i);
        if (!Foldable(previous, frame)) {
            ++i;
            continue;
        }
        const int total = ShownDelay(previous) + ShownDelay(frame);
        if (total <= MaxDelay) {
            EnsureControlBlock(previous).SetDelayTime(uint16_t(total));
            image.Images().DeleteAt(i);
            ++removed;
            continue;
        }
        // Too long for one delay: the frame before holds the most it can, this one the rest,
        // which must stay at least the minimum delay to play as stored.
        const int first = total - MaxDelay >= MinimumDelay ? MaxDelay : total - MinimumDelay;
        EnsureControlBlock(previous).SetDelayTime(uint16_t(first));
        EnsureControlBlock(frame).SetDelayTime(uint16_t(total - first));
        ++i;
    }
    return removed;
}

} // namespace gif::optimize
