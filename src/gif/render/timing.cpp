#include "gif/render/timing.h"

#include <algorithm>
#include <limits>

#include "gif/model/graphic_control.h"
#include "gif/model/subimage.h"

namespace gif {

int FrameDelayUnits(const TGIFSubImage& frame, bool async) {
    const TGIFGraphicControlExtension* control = frame.ControlBlock();
    if (!control || control->DelayTime() == 0) return FallbackDelay;
    int delay = std::max<int>(control->DelayTime(), MinimumDelay);
    return async ? delay : std::min(delay, MaximumDelay);
}

TWaitPlan PlanWait(int pendingUnits, int64_t elapsedMs, int64_t overheadMs, int speed) {
    const TWaitPlan fallback{int64_t(MaximumDelay) * DelayUnitMs, 0};
    if (speed <= 0) return fallback;
    // Division truncates toward zero, as the rule asks.
    int64_t ms = int64_t(pendingUnits) * DelayUnitMs - (elapsedMs - overheadMs) / 2;
    constexpr int64_t limit = std::numeric_limits<int32_t>::max();
    if (ms > limit || ms < -limit) return fallback;
    // MulDiv: rounded to the nearest integer, halves away from zero.
    int64_t product = ms * 100;
    int64_t half = speed / 2;
    int64_t wait = product < 0 ? (product - half) / speed : (product + half) / speed;
    if (wait > limit || wait < -limit) return fallback;
    return {wait, wait};
}

} // namespace gif
