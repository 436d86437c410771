// The "Yo-yo" add-in's command: appends the frames in reverse order without repeating the
// ends, so that the animation plays forth and back (0..4 becomes 0..4, 3..1). One undo step.
#pragma once

#include "automation/model/interfaces.h"

namespace addins {

automation::TResult<int> YoYo(automation::IGIFLoopwrightApplication& app);

} // namespace addins
