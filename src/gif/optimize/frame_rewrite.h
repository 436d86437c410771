// Rewriting one frame into the smallest of its lossless alternatives. Internal to
// gif/optimize.
#pragma once

#include "gif/optimize/flexible_lzw.h"
#include "gif/optimize/screen_model.h"

#include <span>

namespace gif {
class TGIFImage;
class TGIFSubImage;
} // namespace gif

namespace gif::optimize {

// One play of a frame in the screen model: the screen it is drawn on, the picture it shows
// and the screen it leaves for the next frame, each cut to the frame's rectangle (nothing
// outside it changes). A looping animation can play a frame on another screen in its later
// passes; a rewrite must hold in every play. `Next` is null when nothing ever shows what
// the frame leaves (the last frame, when the first one covers the whole screen again).
struct TFrameView {
    const TScreen* Before;
    const TScreen* Shown;
    const TScreen* Next;
};

class TFrameRewriter {
  public:
    // For the frames of `image`, whose colour tables stay as they are while it rewrites
    // them (their code sizes are read once, here).
    explicit TFrameRewriter(const TGIFImage& image);

    // Tries the frame's alternatives that show and leave the same screens in every view:
    // the smallest rectangle with each disposal that leaves the same (restore to
    // background, restore previous, none), every pixel that repeats the screen as its
    // colour, as transparency, or as whichever lets LZW match longer strings, the
    // transparent index that suits best, interlaced or not, the smallest minimum code size.
    // The smallest is kept when it is smaller than the frame as it is; returns whether the
    // frame changed. With `keepPlacement` the rectangle and disposal stay as they are.
    bool Rewrite(TGIFSubImage& frame, std::span<const TFrameView> views, bool keepPlacement);

  private:
    int screenBits_; // the code size of frames drawn with the global table
    TFlexibleLzw lzw_;
};

} // namespace gif::optimize
