#include "editor/optimization/size_estimator.h"

#include "gif/model/image.h"

#include <exception>

namespace editor {

TSizeEstimator::TSizeEstimator(std::shared_ptr<const gif::TGIFImage> source,
                               bool removeLocalEnabled, TImageStep finish)
    : source_(std::move(source)), removeLocalEnabled_(removeLocalEnabled),
      finish_(std::move(finish)),
      worker_([this] { Work(); }) {}

TSizeEstimator::~TSizeEstimator() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.reset();
        ++wanted_; // the running estimate, if any, is no longer wanted
    }
    wake_.notify_all();
    worker_.join();
}

void TSizeEstimator::Request(const TOptimizationChoices& choices) {
    {
        std::lock_guard lock(mutex_);
        pending_ = choices;
        state_.Generation = ++wanted_;
        state_.Running = true;
        state_.Percent = 0;
        state_.Size.reset();
        state_.Error.clear();
        result_.reset();
    }
    wake_.notify_all();
}

void TSizeEstimator::Cancel() {
    std::lock_guard lock(mutex_);
    pending_.reset();
    state_.Generation = ++wanted_;
    state_.Running = false;
    state_.Percent = 0;
    state_.Size.reset();
    result_.reset();
}

TSizeEstimator::TState TSizeEstimator::State() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::unique_ptr<gif::TGIFImage> TSizeEstimator::TakeResult(const TOptimizationChoices& choices) {
    std::lock_guard lock(mutex_);
    if (!result_ || !(resultChoices_ == choices) || state_.Running) return nullptr;
    return std::move(result_);
}

void TSizeEstimator::Notify() {
    if (OnChanged) OnChanged();
}

void TSizeEstimator::Work() {
    // A copy of the snapshot made while there is nothing to do, so that the next request
    // starts optimising at once: copying a long animation costs a good part of a run.
    std::unique_ptr<gif::TGIFImage> spare;
    for (;;) {
        TOptimizationChoices choices;
        uint64_t generation = 0;
        {
            std::unique_lock lock(mutex_);
            if (!spare && !stop_ && !pending_) {
                lock.unlock();
                spare = std::make_unique<gif::TGIFImage>();
                CopyForOptimization(*source_, *spare);
                lock.lock();
            }
            wake_.wait(lock, [this] { return stop_ || pending_.has_value(); });
            if (stop_) return;
            choices = *pending_;
            pending_.reset();
            generation = state_.Generation;
        }
        const auto cancelled = [this, generation] { return wanted_.load() != generation; };
        const auto percent = [this, generation](int value) {
            {
                std::lock_guard lock(mutex_);
                if (state_.Generation != generation) return;
                state_.Percent = value;
            }
            Notify();
        };
        std::unique_ptr<gif::TGIFImage> copy = std::move(spare);
        std::optional<int64_t> size;
        std::string error;
        try {
            if (!copy) {
                copy = std::make_unique<gif::TGIFImage>();
                CopyForOptimization(*source_, *copy);
            }
            OptimizeCopy(*copy, choices, removeLocalEnabled_, finish_, cancelled, percent);
            size = WrittenSize(*copy, cancelled);
        } catch (const EOptimizationCancelled&) {
            continue; // a newer request or the destructor took over
        } catch (const std::exception& e) {
            error = e.what();
        } catch (...) {
            error = "Unknown error";
        }
        {
            std::lock_guard lock(mutex_);
            if (state_.Generation != generation) continue;
            state_.Running = false;
            state_.Percent = 100;
            state_.Size = size;
            state_.Error = error;
            resultChoices_ = choices;
            result_ = size ? std::move(copy) : nullptr;
        }
        Notify();
    }
}

} // namespace editor
