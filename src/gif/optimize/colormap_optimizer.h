// TColorMapOptimizer: folds every colour table of an image into one global table of at
// most 256 colours (255 plus a transparent entry when transparency is used) and remaps
// every frame onto it. Beyond 256 distinct colours the least used ones are replaced by
// the nearest kept colour (red, green and blue distance): the one loss of this operation.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "gif/model/colormap.h"
#include "gif/optimize/histogram.h"

namespace gif {

class TGIFImage;

class TColorMapOptimizer {
public:
    explicit TColorMapOptimizer(TGIFImage& image) : image_(image) {}
    TColorMapOptimizer(const TColorMapOptimizer&) = delete;
    TColorMapOptimizer& operator=(const TColorMapOptimizer&) = delete;

    // Runs the whole merge; an image in which no frame draws with a table is left alone.
    // The caller stops the image's renderers and holds their lock.
    void Optimize();

    // Results, for callers that report them: colours in the merged table (with the
    // transparent entry) and the transparent index (-1 when no frame is transparent).
    int FinalCount() const { return finalCount_; }
    int NewTransparentIndex() const { return transparentIndex_; }

private:
    void Analyse();
    void MergeEqualColors();
    void BuildFinalTable();
    void Apply();
    void Remap();

    TGIFImage& image_;
    std::vector<std::unique_ptr<THistogram>> histograms_;
    std::vector<TColorRecord*> combined_;
    bool transparencyInUse_ = false;
    int finalCount_ = 0;
    std::array<TGIFColor, 256> finalTable_{};
    int transparentIndex_ = -1;
};

} // namespace gif
