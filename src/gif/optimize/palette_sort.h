// The palette pass of the optimiser: every colour table sorted by use, unused entries dropped.
#pragma once

namespace gif {
class TGIFImage;
}

namespace gif::optimize {

class TOptimizeProgress;

// Sorts the global table by use; the header's background index is made to name the same
// colour again when that colour is still in the table.
void SortGlobalTable(TGIFImage& image);

// Sorts the global table (if it has entries), then every frame's non-empty local table;
// the header's background index follows its colour. One progress step per frame.
void SortPalettes(TGIFImage& image, TOptimizeProgress& progress);

} // namespace gif::optimize
