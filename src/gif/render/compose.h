// The pictures an animation shows, frame by frame, as a viewer sees them.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "gif/base/types.h"

namespace gif {

class TBitmap;
class TGIFImage;

// Plays `image` once, synchronously and without waiting out its delays, onto a 24-bit
// bitmap of the logical screen's size filled with `background`, and captures the
// picture after each frame: disposal codes and transparency applied, transparent and
// cleared areas showing `background`. One bitmap per frame shown; play ends early at a
// frame without pixels. An empty image (or screen) gives none. Errors propagate.
std::vector<std::unique_ptr<TBitmap>> ComposeFrames(TGIFImage& image, TColor background);

// The same pictures handed to `sink` one at a time, as each frame is shown: memory stays
// that of one screen however many frames there are. `picture` is the screen itself: the
// sink may save or copy it but must not change it. The frames count from 0. An error of
// the sink ends the play and propagates.
void ComposeFrames(TGIFImage& image, TColor background,
                   const std::function<void(TBitmap& picture, int index)>& sink);

} // namespace gif
