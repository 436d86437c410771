#include "gif/render/dispatcher.h"

namespace gif {

void TQueuedDispatcher::Invoke(const std::function<void()>& call) {
    if (std::this_thread::get_id() == owner_) {
        call();
        return;
    }
    TJob job{&call, nullptr, false};
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(&job);
        changed_.notify_all();
    }
    CallQueued();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&job] { return job.Done; });
    if (job.Error) std::rethrow_exception(job.Error);
}

void TQueuedDispatcher::ProcessPendingWork() {
    std::unique_lock lock(mutex_);
    while (!queue_.empty()) {
        TJob* job = queue_.front();
        queue_.pop_front();
        lock.unlock();
        try {
            (*job->Call)();
        } catch (...) {
            job->Error = std::current_exception();
        }
        lock.lock();
        job->Done = true;
        changed_.notify_all();
    }
}

bool TQueuedDispatcher::WaitAndProcess(std::chrono::milliseconds timeout) {
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [this] { return !queue_.empty(); })) return false;
    }
    ProcessPendingWork();
    return true;
}

} // namespace gif
