#include "gif/render/auto_reset_event.h"

namespace gif {

void TAutoResetEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    signal_.notify_one();
}

bool TAutoResetEvent::WaitFor(int64_t timeoutMs) {
    std::unique_lock lock(mutex_);
    if (timeoutMs < 0) {
        signal_.wait(lock, [this] { return set_; });
    } else if (!signal_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [this] { return set_; })) {
        return false;
    }
    set_ = false;
    return true;
}

bool TAutoResetEvent::TryWait() {
    std::lock_guard lock(mutex_);
    bool was = set_;
    set_ = false;
    return was;
}

} // namespace gif
