// The first guess of the least-error palette: colour space is cut into boxes, always cutting
// the box whose colours vary most, at the plane that leaves the two halves' colours varying
// least. The boxes' mean colours are then refined by k-means (kmeans_palette.h).
#pragma once

#include "gif/reduce/color_histogram.h"

#include <span>
#include <vector>

namespace gif {

// At most `colors` (>= 1) boxes over the cells, each given as the count and colour sums of
// its pixels; fewer when the cells cannot be cut further. Boxes are 8 x 8 x 8 levels at the
// finest. Integer arithmetic throughout, so every machine cuts alike.
std::vector<TColorCell> SplitByVariance(std::span<const TColorCell> cells, int colors);

} // namespace gif
