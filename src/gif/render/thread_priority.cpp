#include "gif/render/thread_priority.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace gif {

namespace {

// Nice values standing for the seven priorities, idle ... time-critical.
constexpr int NiceValues[] = {19, 10, 5, 0, -5, -10, -15};

} // namespace

int CurrentNativeThreadId() {
#if defined(__linux__)
    return int(syscall(SYS_gettid));
#else
    return 0;
#endif
}

void SetNativeThreadPriority(int nativeId, TThreadPriority priority) {
#if defined(__linux__)
    if (nativeId == 0) return;
    // On Linux a thread id names one thread for setpriority.
    setpriority(PRIO_PROCESS, id_t(nativeId), NiceValues[int(priority)]);
#else
    (void)nativeId;
    (void)priority;
#endif
}

} // namespace gif
