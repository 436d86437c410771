// The renderer's timing rules: delay units, limits, and the wait computed for each frame.
#pragma once

#include <cstdint>

namespace gif {

class TGIFSubImage;

// Library-wide timing constants, in delay units (a GIF delay of 1) unless named in ms.
inline constexpr int DelayUnitMs = 12;      // one delay unit at 100 % speed
inline constexpr int FallbackDelay = 10;    // frames without a control block or with delay 0
inline constexpr int MinimumDelay = 3;      // the shortest delay any frame gets
inline constexpr int MaximumDelay = 1000;   // the longest delay in synchronous play; fallback

// The delay in units that follows `frame`: FallbackDelay without a control block or with
// delay 0, else the delay raised to MinimumDelay and, only in synchronous play, lowered to
// MaximumDelay.
int FrameDelayUnits(const TGIFSubImage& frame, bool async);

// Result of one wait computation.
struct TWaitPlan {
    int64_t WaitMs;        // what to wait; may be <= 0 when the overhead ate it
    int64_t Overhead;      // the new "overhead carried"
};

// The wait before a frame at speed > 0: MulDiv(pending * DelayUnitMs - (elapsed - overhead)
// div 2, 100, speed), where elapsed is the time since the previous wait began. Half of the
// time spent beyond the previous wait is thereby taken off this one. When the result does
// not fit 32 bits the wait is MaximumDelay * DelayUnitMs and the overhead is dropped.
TWaitPlan PlanWait(int pendingUnits, int64_t elapsedMs, int64_t overheadMs, int speed);

} // namespace gif
