// How a renderer reaches the user-interface thread: paint steps and events of an
// asynchronous renderer are handed to a dispatcher, which runs them there and returns
// when they have run. The Qt build posts blocking-queued calls; tests and tools use
// the two dispatchers below.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace gif {

class TGIFDispatcher {
public:
    virtual ~TGIFDispatcher() = default;
    // Runs `call` on the user-interface thread and returns once it has run; an exception
    // thrown by `call` propagates to the caller of Invoke.
    virtual void Invoke(const std::function<void()>& call) = 0;
    // Runs the calls waiting for the user-interface thread. Called on that thread while it
    // waits for renderers, and by synchronous play between its sleeps.
    virtual void ProcessPendingWork() = 0;
};

// Runs every call at once on the calling thread: asynchronous renderers then paint on
// their own thread, so nobody else may touch the destination while they play.
class TInlineDispatcher : public TGIFDispatcher {
public:
    void Invoke(const std::function<void()>& call) override { call(); }
    void ProcessPendingWork() override {}
};

// A queue pumped by one owner thread (the one that creates it): calls from other threads
// wait in the queue until the owner runs ProcessPendingWork; calls made on the owner
// thread run at once.
class TQueuedDispatcher : public TGIFDispatcher {
public:
    TQueuedDispatcher() : owner_(std::this_thread::get_id()) {}
    void Invoke(const std::function<void()>& call) override;
    void ProcessPendingWork() override;
    // Waits up to `timeout` for a call to arrive, then runs what is queued; true when
    // anything ran. For loops of a test thread that plays the user-interface thread.
    bool WaitAndProcess(std::chrono::milliseconds timeout);

protected:
    // A call from another thread has been queued: an owner with an event loop wakes it
    // here (the calling thread, outside the lock, before it waits).
    virtual void CallQueued() {}

private:
    struct TJob {
        const std::function<void()>* Call;
        std::exception_ptr Error;
        bool Done = false;
    };

    std::thread::id owner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<TJob*> queue_;
};

} // namespace gif
