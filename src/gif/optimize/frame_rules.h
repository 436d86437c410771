// Small facts about frames that every optimiser pass asks: disposal, delay,
// transparency and placement. Internal to gif/optimize.
#pragma once

#include <algorithm>
#include <cstdint>

#include "gif/base/types.h"
#include "gif/model/graphic_control.h"
#include "gif/model/subimage.h"
#include "gif/render/timing.h"

namespace gif::optimize {

// The frame's disposal code; 0 (none given) without a graphic control extension.
inline int DisposalOf(const TGIFSubImage& frame) {
    const TGIFGraphicControlExtension* gce = frame.ControlBlock();
    return gce ? int(gce->DisposalCode()) : int(dmNone);
}

// Disposal 0 and 1 leave the frame on the screen for the next one to draw on.
inline bool LeavesFrameInPlace(const TGIFSubImage& frame) {
    return DisposalOf(frame) <= dmNoDisposal;
}

// The delay playback actually waits after the frame, in delay units: a delay of 0 (or none)
// plays as the fallback delay and short ones are raised to the minimum.
inline int ShownDelay(const TGIFSubImage& frame) {
    return FrameDelayUnits(frame, true);
}

// The number of graphic control extensions in the frame's block list.
int ControlBlockCount(const TGIFSubImage& frame);

// The screen rectangle two frames share (empty when they do not overlap).
inline TRect Intersection(const TRect& a, const TRect& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}

// Whether `outer` covers every pixel of `inner`.
inline bool Contains(const TRect& outer, const TRect& inner) {
    return outer.Left <= inner.Left && outer.Top <= inner.Top && outer.Right >= inner.Right &&
           outer.Bottom >= inner.Bottom;
}

// The frame's graphic control extension, created and appended to its blocks when it has none.
TGIFGraphicControlExtension& EnsureControlBlock(TGIFSubImage& frame);

} // namespace gif::optimize
