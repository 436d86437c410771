#include "editor/window/qt_dispatcher.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace editor {

std::shared_ptr<TQtDispatcher> TQtDispatcher::Create() {
    return std::shared_ptr<TQtDispatcher>(new TQtDispatcher());
}

TQtDispatcher::TQtDispatcher() : uiThread_(std::this_thread::get_id()) {}

void TQtDispatcher::Invoke(const std::function<void()>& call) {
    if (std::this_thread::get_id() == uiThread_) {
        call();
        return;
    }
    TJob job{&call, nullptr, false};
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(&job);
    }
    // The wake-up runs the queue from the event loop; it is dropped harmlessly when the
    // dispatcher has gone by then (its renderers, which hold it, have all ended).
    std::weak_ptr<TQtDispatcher> self = weak_from_this();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self] {
            if (auto dispatcher = self.lock()) dispatcher->ProcessPendingWork();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&job] { return job.Done; });
    if (job.Error) std::rethrow_exception(job.Error);
}

void TQtDispatcher::ProcessPendingWork() {
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
        done_.notify_all();
    }
}

} // namespace editor
