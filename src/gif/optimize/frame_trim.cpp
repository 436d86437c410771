#include "gif/optimize/frame_trim.h"

#include <cstring>
#include <vector>

#include "gif/base/byte_words.h"
#include "gif/model/application_extension.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "gif/optimize/frame_rules.h"
#include "gif/optimize/optimize_progress.h"

namespace gif::optimize {

namespace {

inline constexpr int MaxDelay = 0xFFFF;

// Replaces the frame's pixels by the `rect` part of them and moves the frame with it.
void CutTo(TGIFSubImage& frame, const TRect& rect) {
    const int width = frame.FrameWidth();
    std::vector<uint8_t> kept;
    kept.reserve(size_t(rect.Width()) * size_t(rect.Height()));
    const uint8_t* pixels = frame.Pixels();
    for (int y = rect.Top; y < rect.Bottom; ++y) {
        const uint8_t* row = pixels + size_t(y) * width + size_t(rect.Left);
        kept.insert(kept.end(), row, row + rect.Width());
    }
    // A new size reallocates (zeroed) pixels and drops the bitmap and mask.
    frame.SetPlacement(frame.FrameLeft() + rect.Left, frame.FrameTop() + rect.Top, rect.Width(),
                       rect.Height());
    std::memcpy(frame.Pixels(), kept.data(), kept.size());
    frame.DropBitmap();
    frame.DropMask();
}

// Whether the frame's blocks allow deleting it: only graphic control extensions, or
// blocks that the clean-up pass is about to delete anyway. A loop block never: it tells
// playback where to restart.
bool BlocksAllowDeletion(const TGIFSubImage& frame, bool cleanupFollows) {
    const TGIFExtensionList& blocks = frame.Blocks();
    for (int i = 0; i < blocks.ItemCount(); ++i) {
        const TGIFExtension* block = blocks.Extensions(i);
        if (dynamic_cast<const TGIFGraphicControlExtension*>(block)) continue;
        bool invisible = dynamic_cast<const TGIFCommentExtension*>(block) ||
                         dynamic_cast<const TGIFTextExtension*>(block) ||
                         dynamic_cast<const TGIFUnknownAppExtension*>(block);
        if (!(cleanupFollows && invisible)) return false;
    }
    return true;
}

// Deletes frame `index`, which shows nothing of its own, when that is invisible: the frame
// before it must be left in place (so the screen already shows exactly what this frame
// shows) and must be able to take over this frame's time. Returns whether it was deleted.
bool DeleteInvisibleFrame(TGIFImage& image, int index, bool cleanupFollows) {
    if (index == 0) return false;   // its time on the screen would be lost
    TGIFSubImage& frame = *image.Frame(index);
    TGIFSubImage& previous = *image.Frame(index - 1);
    if (previous.IsBlank() || !LeavesFrameInPlace(previous)) return false;
    if (frame.ControlBlock() && frame.ControlBlock()->UserInputFlag()) return false;
    if (!BlocksAllowDeletion(frame, cleanupFollows)) return false;
    // What playback waits is added up, not the stored values: a delay of 0 plays as the
    // fallback delay, so two frames of delay 0 must become one of twice the fallback.
    int delay = ShownDelay(previous) + ShownDelay(frame);
    if (delay > MaxDelay) return false;
    EnsureControlBlock(previous).SetDelayTime(uint16_t(delay));
    image.Images().DeleteAt(index);
    return true;
}

} // namespace

TRect OpaqueRect(std::span<const uint8_t> pixels, int width, int height, int transparent) {
    if (transparent < 0) return width > 0 && height > 0 ? TRect{0, 0, width, height} : TRect{};
    const auto t = uint8_t(transparent);
    TRect r{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels.data() + size_t(y) * size_t(width);
        // The first and last opaque pixel of the row; the part between needs no look.
        int first = 0;
        while (first + 8 <= width && EightAre(row + first, t))
            first += 8;
        while (first < width && row[first] == t)
            ++first;
        if (first == width) continue;
        int last = width - 1;
        while (last >= 7 && EightAre(row + last - 7, t))
            last -= 8;
        while (row[last] == t)
            --last;
        if (r.Top > y) r.Top = y;
        r.Bottom = y + 1;
        if (r.Left > first) r.Left = first;
        if (r.Right < last + 1) r.Right = last + 1;
    }
    return r.IsEmpty() ? TRect{} : r;
}

TRect VisibleRect(const TGIFSubImage& frame) {
    if (frame.IsBlank()) return {};
    return OpaqueRect(frame.PixelData(), frame.FrameWidth(), frame.FrameHeight(),
                      frame.TransparentIndex());
}

bool TrimFrame(TGIFSubImage& frame) {
    TRect visible = VisibleRect(frame);
    if (visible.IsEmpty()) return false;
    if (visible.Width() != frame.FrameWidth() || visible.Height() != frame.FrameHeight())
        CutTo(frame, visible);
    return true;
}

void TrimFrames(TGIFImage& image, bool cleanupFollows, TOptimizeProgress& progress) {
    for (int i = image.FrameCount() - 1; i >= 0; --i) {
        progress.Step();
        TGIFSubImage& frame = *image.Frame(i);
        if (frame.IsBlank() || frame.TransparentIndex() < 0) continue;
        // Restoring to the background clears the frame's whole rectangle: a smaller
        // rectangle would leave pixels on the screen that used to be cleared.
        int disposal = DisposalOf(frame);
        if (disposal != dmNone && disposal != dmNoDisposal && disposal != dmPrevious) continue;
        if (TrimFrame(frame)) continue;
        if (DeleteInvisibleFrame(image, i, cleanupFollows)) continue;
        // Kept, but as small as a frame can be: one transparent pixel. A blank frame
        // would end playback there and lose its image in the file.
        CutTo(frame, TRect{0, 0, 1, 1});
    }
}

} // namespace gif::optimize
