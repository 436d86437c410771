#include "gif/render/clock.h"

#include <chrono>
#include <thread>

#include "gif/render/auto_reset_event.h"

namespace gif {

int64_t TSteadyClock::Now() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TSteadyClock::Sleep(int64_t ms) {
    if (ms <= 0) std::this_thread::yield();
    else std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool TSteadyClock::WaitFor(TAutoResetEvent& event, int64_t ms) { return event.WaitFor(ms); }

bool TInstantClock::WaitFor(TAutoResetEvent& event, int64_t ms) {
    if (event.TryWait()) return true;
    if (ms < 0) return event.WaitFor(-1);
    now_ += ms;
    return false;
}

} // namespace gif
