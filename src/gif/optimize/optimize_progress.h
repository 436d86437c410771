// Progress of TGIFImage::Optimize: "Optimizing..." in 6 x frame-count steps, each pass
// owning a fixed share of them. Internal to gif/optimize.
#pragma once

#include <cstdint>

#include "gif/base/messages.h"
#include "gif/model/image.h"

namespace gif::optimize {

class TOptimizeProgress {
public:
    static constexpr int StepsPerFrame = 6;

    TOptimizeProgress(TGIFImage& image, int frameCount)
        : image_(image), frames_(frameCount), total_(StepsPerFrame * frameCount) {}

    // The starting notification.
    void Start() {
        image_.ReportProgress(&image_, TProgressStage::psStarting, 0, false, msg::Optimizing);
    }
    // Opens a pass worth `stepsPerFrame` steps per frame; the previous pass is completed.
    void BeginPass(int stepsPerFrame) {
        Advance(passEnd_ - done_);
        passEnd_ = done_ + stepsPerFrame * frames_;
    }
    // One step done inside the current pass (never past the pass's share).
    void Step(int steps = 1) {
        if (done_ + steps > passEnd_) steps = passEnd_ - done_;
        Advance(steps);
    }
    // Completes the current pass: a pass that was skipped or ended early adds its share.
    void EndPass() { Advance(passEnd_ - done_); }
    // The ending notification: 100 when the run finished, 0 when an error is passing.
    void End(bool finished) {
        image_.ReportProgress(&image_, TProgressStage::psEnding, finished ? 100 : 0, false,
                              msg::Optimizing);
    }

private:
    void Advance(int steps) {
        if (steps <= 0 || total_ == 0) return;
        done_ += steps;
        auto percent = uint8_t(int64_t(done_) * 100 / total_);
        if (percent == lastPercent_) return;   // one notification per percent is plenty
        lastPercent_ = percent;
        image_.ReportProgress(&image_, TProgressStage::psRunning, percent, false, msg::Optimizing);
    }

    TGIFImage& image_;
    int frames_;
    int total_;
    int done_ = 0;
    int passEnd_ = 0;
    int lastPercent_ = -1;
};

} // namespace gif::optimize
