// Refining a palette by k-means (Lloyd) passes over a colour histogram: every cell goes to
// its nearest palette colour, then every colour moves to the mean of its cells. Each pass
// lowers the total squared error or leaves it.
#pragma once

#include "gif/reduce/color_histogram.h"
#include "gif/reduce/color_lookup.h"

#include <span>
#include <vector>

namespace gif {

// The colours of `clusters` (their mean colours are the starting palette) after at most
// `passes` passes over `cells`, stopping early when no cell changes colour. A colour left
// without cells moves to the cell that is worst served. Integer arithmetic with four bits
// of fraction, so every machine gives the same palette. Equal colours are kept once.
std::vector<TRGB> RefineByKMeans(std::span<const TColorCell> cells,
                                 std::span<const TColorCell> clusters, int passes);

} // namespace gif
