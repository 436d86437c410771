// The trim pass of the optimiser: transparent frames shrink to the rectangle of their
// visible pixels, and frames with nothing visible left go away.
#pragma once

#include "gif/base/types.h"

#include <cstdint>
#include <span>

namespace gif {
class TGIFImage;
class TGIFSubImage;
}

namespace gif::optimize {

class TOptimizeProgress;

// The smallest rectangle holding every pixel of `pixels` (rows of `width`) other than
// `transparent` (all of them when it is negative); empty when there is none.
TRect OpaqueRect(std::span<const uint8_t> pixels, int width, int height, int transparent);

// The smallest rectangle (frame coordinates) holding every pixel of a transparent frame
// that is not its transparent index; empty when there is none.
TRect VisibleRect(const TGIFSubImage& frame);

// Cuts a transparent frame to VisibleRect, moving its placement so that every visible
// pixel stays where it was. Returns false when the frame has no visible pixel (it is then
// left as it was).
bool TrimFrame(TGIFSubImage& frame);

// Trims every transparent frame from the last to the first. A frame with nothing visible
// is deleted when the frame before it shows the same picture (its delay is handed back to
// that frame); otherwise it shrinks to a single transparent pixel. Frames that clear their
// area to the background afterwards are left alone: their rectangle is what gets cleared.
// With `cleanupFollows`, blocks the clean-up would delete anyway do not keep a frame alive.
void TrimFrames(TGIFImage& image, bool cleanupFollows, TOptimizeProgress& progress);

} // namespace gif::optimize
