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

// The same play, handing each picture to `shown` (frame index, picture) as it is made
// instead of keeping it, for callers that only compare or summarise long animations.
void ComposeFramesEach(TGIFImage& image, TColor background,
                       const std::function<void(int, const TBitmap&)>& shown);

} // namespace gif
