// The duplicate-pixel pass of the optimiser: pixels that repeat what is already on the
// screen become transparent, which compresses far better.
#pragma once

#include "gif/base/types.h"

namespace gif {
class TGIFImage;
class TGIFSubImage;
}

namespace gif::optimize {

class TOptimizeProgress;

// The frame whose picture is on the screen when frame `index` (> 0) is drawn: the one
// before it, stepping further back over frames that restore the previous state.
int ReferenceFrameIndex(const TGIFImage& image, int index);

// Replaces the pixels of `frame` that show the same colour as `reference` at the same
// screen position by transparency. An opaque frame becomes transparent; its transparent
// index is the entry of `preferred` in its colour table when that index is free, otherwise
// an index none of its remaining pixels uses. Returns whether any pixel was replaced.
bool ReplaceDuplicatePixels(TGIFSubImage& frame, const TGIFSubImage& reference, TColor preferred);

// The colour an opaque frame's new transparent entry should preferably have: the pixel at
// (1, height - 1) of frame 0, gray when frame 0 has no such pixel.
TColor PreferredTransparentColor(const TGIFImage& image);

// Runs ReplaceDuplicatePixels on every frame from the last down to frame 1.
void RemoveDuplicatePixels(TGIFImage& image, TOptimizeProgress& progress);

} // namespace gif::optimize
