// An auto-reset event with a timed wait: one Set() releases one wait, then the event
// is clear again. A Set() with nobody waiting is kept until the next wait.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace gif {

class TAutoResetEvent {
public:
    // Signals the event (starts clear).
    void Set();
    // Waits until signalled or `timeoutMs` has passed (negative: no limit); true when the
    // event ended the wait, which clears it again.
    bool WaitFor(int64_t timeoutMs);
    // Takes the signal if it is set, without waiting.
    bool TryWait();

private:
    std::mutex mutex_;
    std::condition_variable signal_;
    bool set_ = false;
};

} // namespace gif
