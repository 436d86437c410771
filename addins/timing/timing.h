// The timing tools of the "Timing" add-in, on the active document through the object
// model: every frame's delay doubled or halved (at least 1), or set to one value. Each is
// one undo step.
#pragma once

#include "automation/model/interfaces.h"

namespace addins {

// The new delay of a frame: `delay` * `numerator` / `denominator`, rounded, at least 1
// and at most 65535.
int ScaledDelay(int delay, int numerator, int denominator);

// Scales every delay of the active document; a failed result on failure.
automation::TResult<int> ScaleDelays(automation::IGIFLoopwrightApplication& app, int numerator,
                                     int denominator, const QString& caption);
// Asks for one delay (InputBox) and gives it to every frame. Cancelling, or text that is no
// number from 0 to 65535, changes nothing; nonsense says so.
automation::TResult<int> SetAllDelays(automation::IGIFLoopwrightApplication& app);

} // namespace addins
