// The optimisation wizard's work on a copy of the animation: the optimiser's passes, the
// palette sort and merge, and optionally the best-effort optimiser, as the check boxes
// choose. Pure C++ over the GIF library, so that it runs on a worker thread and in the
// thread tests without Qt.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

namespace gif {
class TGIFImage;
}

namespace editor {

// The choices of the wizard's palette and frame pages.
struct TOptimizationChoices {
    bool OptimizeAll = false;     // chkOptAll: sort every colour table by use
    bool RemoveLocal = false;     // chkRemoveLocal: merge into one global table
    bool PaletteSort = true;      // chkPaletteSort: optSortPalettes
    bool Trim = false;            // chkTrim: optTrim
    bool DuplicatePixels = false; // chkDupPixels: optDuplicatePixels
    bool NonVisible = false;      // chkNonVisible: optCleanup
    bool Smallest = false;        // "Smallest lossless (slower)": the best-effort optimiser

    bool operator==(const TOptimizationChoices&) const = default;
    // The optimiser's option flags of the frame and sort choices.
    uint8_t OptimizerOptions() const;
};

// Thrown out of a run whose caller asked it to stop.
class EOptimizationCancelled : public std::runtime_error {
  public:
    EOptimizationCancelled() : std::runtime_error("Optimization cancelled") {}
};

// Asked now and then during a run; true stops it with EOptimizationCancelled.
using TCancelCheck = std::function<bool()>;
// Told the run's progress, 0 to 100.
using TPercentEvent = std::function<void(int percent)>;
// A last step on the finished copy: the editor brings it into the form it saves, so that the
// size measured is the size the document's file gets.
using TImageStep = std::function<void(gif::TGIFImage& image)>;

// Makes `copy` the optimised copy of `source`: the copy takes the source's reduction
// settings and frames, then the chosen steps run on it. `removeLocalEnabled` says whether
// the merge check box could be checked (it is only offered when some frame has a local
// table). `finish`, when given, runs last. The copy has no handlers afterwards.
void RunOptimization(const gif::TGIFImage& source, gif::TGIFImage& copy,
                     const TOptimizationChoices& choices, bool removeLocalEnabled,
                     const TImageStep& finish = {}, const TCancelCheck& cancelled = {},
                     const TPercentEvent& percent = {});

// The two halves of RunOptimization: the copy of the source with its reduction settings,
// and the chosen steps on that copy.
void CopyForOptimization(const gif::TGIFImage& source, gif::TGIFImage& copy);
void OptimizeCopy(gif::TGIFImage& copy, const TOptimizationChoices& choices,
                  bool removeLocalEnabled, const TImageStep& finish = {},
                  const TCancelCheck& cancelled = {}, const TPercentEvent& percent = {});

// Bytes of the image written as a GIF file; the run may be cancelled meanwhile.
int64_t WrittenSize(gif::TGIFImage& image, const TCancelCheck& cancelled = {});

// Whether the wizard's check boxes apply: the global table has entries; some non-empty
// frame has a local table with entries.
bool HasGlobalColors(const gif::TGIFImage& image);
bool HasLocalColors(const gif::TGIFImage& image);

} // namespace editor
