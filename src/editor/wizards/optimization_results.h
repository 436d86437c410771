// The optimisation wizard's results page: sizes, savings and the download estimate, as
// texts, and the session that holds the animation's snapshot and the live estimate.
#pragma once

#include "editor/optimization/size_estimator.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace gif {
class TGIFImage;
}

namespace editor {

struct TAnimationDefaults;

// "%.n bytes": the count with thousands separators and no decimals.
QString BytesText(int64_t bytes);
// "None" when the optimised size is not smaller, else "%.n bytes (%4.1f%s)".
QString SavingsText(int64_t currentSize, int64_t optimizedSize);
// The modem speeds of cbBps and the one it starts at.
QStringList ModemSpeeds();
inline constexpr int DefaultModemSpeed = 1; // "28.8"
// "%4.2f secs with a": size x 8 / speed / 1000 seconds, the speed read as a number.
QString DownloadText(int64_t bytes, const QString& speed);

// One use of the optimisation wizard: the active animation as it was when the window
// opened, its size, which check boxes apply, the live estimate and the optimised copy.
class TOptimizationSession {
  public:
    // Takes a copy of `working`; `defaults` bring every copy into the form it is saved in.
    TOptimizationSession(const gif::TGIFImage& working, const TAnimationDefaults& defaults);
    ~TOptimizationSession();

    int64_t CurrentSize() const { return currentSize_; }
    bool OptimizeAllEnabled() const { return optimizeAllEnabled_; }
    bool RemoveLocalEnabled() const { return removeLocalEnabled_; }
    const gif::TGIFImage& Snapshot() const { return *snapshot_; }

    // The live estimate (started lazily, on the first request).
    TSizeEstimator& Estimator();
    void StopEstimate();
    bool EstimateStarted() const { return estimator_ != nullptr; }

    // Next on the frames page: the optimised copy for `choices`, taken from a finished
    // estimate for the same choices or made here. Keeps it for the results and Finish.
    const gif::TGIFImage& Optimize(const TOptimizationChoices& choices);
    const gif::TGIFImage* Optimized() const { return optimized_.get(); }
    int64_t OptimizedSize() const { return optimizedSize_; }

    // Runs on every copy before it is measured.
    const TImageStep& Finish() const { return finish_; }

  private:
    std::shared_ptr<gif::TGIFImage> snapshot_;
    TImageStep finish_;
    int64_t currentSize_ = 0;
    bool optimizeAllEnabled_ = false;
    bool removeLocalEnabled_ = false;
    std::unique_ptr<TSizeEstimator> estimator_;
    std::unique_ptr<gif::TGIFImage> optimized_;
    int64_t optimizedSize_ = 0;
};

} // namespace editor
