// TSizeEstimator: the optimisation wizard's live estimate. A worker thread of its own
// optimises a copy of a snapshot of the animation with the latest choices and measures the
// bytes it writes. A new request cancels the running one; nothing here ever waits for the
// worker except the destructor, which cancels first (a cancelled run ends within one step of
// the optimiser's or the writer's progress).
#pragma once

#include "editor/optimization/optimization_run.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace gif {
class TGIFImage;
}

namespace editor {

class TSizeEstimator {
  public:
    // What the estimate has come to. Generation counts the requests; a result belongs to
    // the request of its generation.
    struct TState {
        uint64_t Generation = 0;
        bool Running = false;
        int Percent = 0;
        std::optional<int64_t> Size; // the size for the latest request, once measured
        std::string Error;           // what stopped the latest request, if anything did
    };

    // Takes the snapshot the estimates start from; it is never changed (only read by the
    // worker) and lives as long as the estimator.
    // `finish` runs last on every copy, on the worker thread (see RunOptimization).
    TSizeEstimator(std::shared_ptr<const gif::TGIFImage> source, bool removeLocalEnabled,
                   TImageStep finish = {});
    // Cancels the running estimate and waits for the worker to end.
    ~TSizeEstimator();
    TSizeEstimator(const TSizeEstimator&) = delete;
    TSizeEstimator& operator=(const TSizeEstimator&) = delete;

    // Starts an estimate for `choices`; one that is running is cancelled. Returns at once.
    void Request(const TOptimizationChoices& choices);
    // Cancels the running estimate, if any; the worker stays ready for the next request.
    void Cancel();
    TState State() const;
    // The optimised copy of the latest request when it has been measured for exactly
    // `choices`; it leaves the estimator. None otherwise.
    std::unique_ptr<gif::TGIFImage> TakeResult(const TOptimizationChoices& choices);
    // Called on the worker thread whenever the state changed (progress or end of a run).
    // Set before the first request.
    std::function<void()> OnChanged;

  private:
    void Work();
    void Notify();

    const std::shared_ptr<const gif::TGIFImage> source_;
    const bool removeLocalEnabled_;
    const TImageStep finish_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::optional<TOptimizationChoices> pending_;
    TOptimizationChoices resultChoices_;
    std::unique_ptr<gif::TGIFImage> result_;
    TState state_;
    // The generation the worker should be working for; a run of another one stops.
    std::atomic<uint64_t> wanted_{0};
    std::thread worker_; // last: started once everything above exists
};

} // namespace editor
