// The renderer's way onto the user-interface thread in the running editor: a call from a
// renderer thread is queued, a wake-up is posted to the Qt event loop, and the renderer
// waits until the call has run. The UI thread also runs the queue whenever it waits for a
// renderer (stopping one), so a renderer blocked in a call never deadlocks that wait.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "gif/render/dispatcher.h"

namespace editor {

class TQtDispatcher final : public gif::TGIFDispatcher,
                            public std::enable_shared_from_this<TQtDispatcher> {
public:
    // Made on the user-interface thread, which it serves.
    static std::shared_ptr<TQtDispatcher> Create();

    void Invoke(const std::function<void()>& call) override;
    void ProcessPendingWork() override;

private:
    TQtDispatcher();
    struct TJob {
        const std::function<void()>* Call;
        std::exception_ptr Error;
        bool Done = false;
    };

    std::thread::id uiThread_;
    std::mutex mutex_;
    std::condition_variable done_;
    std::deque<TJob*> queue_;
};

} // namespace editor
