// Small facts about frames that every optimiser pass asks: disposal, delay,
// transparency and placement. Internal to gif/optimize.
#pragma once

#include <algorithm>
#include <cstdint>

#include "gif/base/types.h"
#include "gif/model/graphic_control.h"
#include "gif/model/subimage.h"

namespace gif::optimize {

// Delay units a player waits after a frame whose delay is 0 or that has no graphic
// control extension (browsers and our renderer agree on roughly this).
inline constexpr int FallbackDelay = 10;

// The frame's disposal code; 0 (none given) without a graphic control extension.
inline int DisposalOf(const TGIFSubImage& frame) {
    const TGIFGraphicControlExtension* gce = frame.ControlBlock();
    return gce ? int(gce->DisposalCode()) : int(dmNone);
}

// Disposal 0 and 1 leave the frame on the screen for the next one to draw on.
inline bool LeavesFrameInPlace(const TGIFSubImage& frame) {
    return DisposalOf(frame) <= dmNoDisposal;
}

// The delay a player actually waits after the frame, in delay units.
inline int ShownDelay(const TGIFSubImage& frame) {
    const TGIFGraphicControlExtension* gce = frame.ControlBlock();
    return gce && gce->DelayTime() > 0 ? gce->DelayTime() : FallbackDelay;
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
