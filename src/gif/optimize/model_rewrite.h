// Every frame of an animation rewritten on the screen model, the rewrites shared between
// two threads. Internal to gif/optimize.
#pragma once

#include <memory>
#include <vector>

namespace gif {
class TGIFImage;
class TGIFSubImage;
} // namespace gif

namespace gif::optimize {

// The frame a later pass of a looping animation starts at: the one carrying the first
// loop block, else frame 0.
int LoopPoint(const TGIFImage& image);

// A frame the rewrite changed, with its old form when it was asked to keep it.
struct TRewrittenFrame {
    int Index;
    std::unique_ptr<TGIFSubImage> Old;
};

// Rewrites every frame shown into the smallest of its alternatives that shows and leaves
// the same screens, in the first pass and, for looping animations, the later ones. The
// frames are played in order on the calling thread; each frame's views come from the
// frames as they were, so the rewrites are independent of each other and, with
// `threads` = 2, shared with a second thread (one thread when none can be started). The
// result is the same with one thread or two. Returns the changed frames in order, each
// with a copy of its old form when `keepOldForms`.
std::vector<TRewrittenFrame> RewriteOnModel(TGIFImage& image, int threads, bool keepOldForms);

} // namespace gif::optimize
