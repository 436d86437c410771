#include "editor/optimization/optimization_run.h"

#include "gif/base/stream.h"
#include "gif/model/colormap.h"
#include "gif/model/image.h"
#include "gif/optimize/best_optimize.h"

namespace editor {

using gif::TGIFImage;

uint8_t TOptimizationChoices::OptimizerOptions() const {
    return uint8_t((Trim ? gif::optTrim : 0) | (DuplicatePixels ? gif::optDuplicatePixels : 0) |
                   (NonVisible ? gif::optCleanup : 0) | (PaletteSort ? gif::optSortPalettes : 0));
}

bool HasGlobalColors(const TGIFImage& image) {
    return image.Header().GlobalTable().EntryCount() > 0;
}

bool HasLocalColors(const TGIFImage& image) {
    for (int i = 0; i < image.FrameCount(); ++i)
        if (!image.Frame(i)->IsBlank() && image.Frame(i)->LocalTable().EntryCount() > 0)
            return true;
    return false;
}

namespace {

// Where each stage of a run ends on the 0..100 scale: the passes, then the best-effort
// optimiser (no progress of its own); the measuring write takes the rest.
struct TStages {
    int Start, PassesEnd, BestEnd;
};

// Progress of one stage mapped into the run's 0..100; a cancel check on every step, so
// that a cancelled run ends within one frame's work of a stage that reports.
gif::TProgressEvent StageProgress(int from, int to, const TCancelCheck& cancelled,
                                  const TPercentEvent& percent) {
    return [from, to, cancelled, percent](gif::TObject*, gif::TProgressStage stage, uint8_t value,
                                          bool, const gif::TRect&, const std::string&) {
        // Thrown only from the running notifications: the ending one is also sent while an
        // error passes, where a second exception would end the program.
        if (stage != gif::TProgressStage::psRunning) return;
        if (cancelled && cancelled()) throw EOptimizationCancelled();
        if (percent) percent(from + (to - from) * value / 100);
    };
}

void CheckCancelled(const TCancelCheck& cancelled) {
    if (cancelled && cancelled()) throw EOptimizationCancelled();
}

} // namespace

void CopyForOptimization(const TGIFImage& source, TGIFImage& copy) {
    // Assign reports through the source's handlers (none on a snapshot); the copy has none
    // afterwards.
    copy.ResetImage();
    copy.Assign(&source);
    copy.ReductionMethod = source.ReductionMethod;
    copy.DitherMethod = source.DitherMethod;
    copy.SetReductionDepth(source.ReductionDepth());
}

void OptimizeCopy(TGIFImage& copy, const TOptimizationChoices& choices, bool removeLocalEnabled,
                  const TImageStep& finish, const TCancelCheck& cancelled,
                  const TPercentEvent& percent) {
    const TStages stages = choices.Smallest ? TStages{0, 30, 95} : TStages{0, 95, 95};
    CheckCancelled(cancelled);
    if (copy.Empty()) return;
    // Frames keep their transparency: clearing it before the passes, as an earlier version
    // did, showed the colour behind every transparent pixel and so changed the picture.
    if (const uint8_t options = choices.OptimizerOptions()) {
        copy.OnProgress = StageProgress(stages.Start, stages.PassesEnd, cancelled, percent);
        try {
            copy.Optimize(options);
        } catch (...) {
            copy.OnProgress = nullptr;
            throw;
        }
        copy.OnProgress = nullptr;
    }
    CheckCancelled(cancelled);
    if (choices.OptimizeAll) {
        if (copy.GlobalColorMap().EntryCount() > 0) copy.GlobalColorMap().SortByUse();
        for (int i = 0; i < copy.FrameCount(); ++i) {
            gif::TGIFSubImage& frame = *copy.Frame(i);
            if (!frame.IsBlank() && frame.LocalTable().EntryCount() > 0)
                frame.LocalTable().SortByUse();
        }
    }
    if (choices.RemoveLocal && removeLocalEnabled) copy.OptimizeColorMaps();
    CheckCancelled(cancelled);
    if (percent) percent(stages.PassesEnd);
    if (choices.Smallest) {
        gif::OptimizeBest(copy);
        CheckCancelled(cancelled);
        if (percent) percent(stages.BestEnd);
    }
    if (finish) finish(copy);
}

void RunOptimization(const TGIFImage& source, TGIFImage& copy, const TOptimizationChoices& choices,
                     bool removeLocalEnabled, const TImageStep& finish,
                     const TCancelCheck& cancelled, const TPercentEvent& percent) {
    CopyForOptimization(source, copy);
    OptimizeCopy(copy, choices, removeLocalEnabled, finish, cancelled, percent);
}

int64_t WrittenSize(TGIFImage& image, const TCancelCheck& cancelled) {
    gif::TCountingStream counter;
    if (cancelled) image.OnProgress = StageProgress(0, 0, cancelled, {});
    try {
        image.SaveToStream(counter);
    } catch (...) {
        image.OnProgress = nullptr;
        throw;
    }
    image.OnProgress = nullptr;
    return counter.Size();
}

} // namespace editor
