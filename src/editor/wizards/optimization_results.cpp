#include "editor/wizards/optimization_results.h"

#include "editor/core/animation_routines.h"
#include "gif/model/image.h"

#include <cmath>

namespace editor {

QString BytesText(int64_t bytes) {
    QString digits = QString::number(bytes < 0 ? -bytes : bytes);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ',');
    return (bytes < 0 ? "-" : "") + digits + " bytes";
}

QString SavingsText(int64_t currentSize, int64_t optimizedSize) {
    if (optimizedSize >= currentSize || currentSize <= 0) return "None";
    const double percent =
        std::fabs(double(optimizedSize) / double(currentSize) * 100.0 - 100.0);
    return BytesText(currentSize - optimizedSize) + QString::asprintf(" (%4.1f%s)", percent, "%");
}

QStringList ModemSpeeds() {
    return {"14.4", "28.8", "56.6"};
}

QString DownloadText(int64_t bytes, const QString& speed) {
    bool ok = false;
    const double rate = speed.toDouble(&ok);
    // A speed that is no positive number has no download time to show.
    if (!ok || rate <= 0) return "Using a";
    return QString::asprintf("%4.2f secs with a", double(bytes) * 8.0 / rate / 1000.0);
}

TOptimizationSession::TOptimizationSession(const gif::TGIFImage& working,
                                           const TAnimationDefaults& defaults)
    : snapshot_(std::make_shared<gif::TGIFImage>()) {
    snapshot_->Assign(&working);
    snapshot_->ReductionMethod = working.ReductionMethod;
    snapshot_->DitherMethod = working.DitherMethod;
    snapshot_->SetReductionDepth(working.ReductionDepth());
    currentSize_ = WrittenSize(*snapshot_);
    optimizeAllEnabled_ = HasGlobalColors(*snapshot_);
    removeLocalEnabled_ = HasLocalColors(*snapshot_);
    // Every copy is brought into the form a document's file is written in, so that the
    // size shown is the size the document gets.
    finish_ = [defaults](gif::TGIFImage& image) { NormaliseAnimation(image, true, defaults); };
}

TOptimizationSession::~TOptimizationSession() = default;

TSizeEstimator& TOptimizationSession::Estimator() {
    if (!estimator_)
        estimator_ = std::make_unique<TSizeEstimator>(snapshot_, removeLocalEnabled_, finish_);
    return *estimator_;
}

void TOptimizationSession::StopEstimate() {
    if (estimator_) estimator_->Cancel();
}

const gif::TGIFImage& TOptimizationSession::Optimize(const TOptimizationChoices& choices) {
    optimized_ = estimator_ ? estimator_->TakeResult(choices) : nullptr;
    if (!optimized_) {
        StopEstimate();
        optimized_ = std::make_unique<gif::TGIFImage>();
        RunOptimization(*snapshot_, *optimized_, choices, removeLocalEnabled_, finish_);
    }
    optimizedSize_ = WrittenSize(*optimized_);
    return *optimized_;
}

} // namespace editor
