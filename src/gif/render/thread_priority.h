// Thread priorities of asynchronous renderers, on the platform's threads.
#pragma once

#include "gif/model/image.h"

namespace gif {

// The platform's id of the calling thread (0 where there is none).
int CurrentNativeThreadId();
// Sets the scheduling priority of thread `nativeId`. Best effort: the platform may refuse
// to raise a priority for an unprivileged user, and a refusal is not an error.
void SetNativeThreadPriority(int nativeId, TThreadPriority priority);

} // namespace gif
