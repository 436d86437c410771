// Reducing the frames of a video: the methods compared, and how much a result shimmers.
#pragma once

#include "metrics.h"

#include <functional>
#include <string>
#include <vector>

namespace reducebench {

struct TAnimationMethod {
    std::string Name;
    // Reduces every frame (24-bit bitmaps of one size) and returns the frames' colours.
    std::function<std::vector<TRgbPicture>(const std::vector<gif::TBitmap>&)> Reduce;
};

std::vector<TAnimationMethod> AnimationMethods();

// Of the pixels whose source colour equals the previous frame's, the share (0..1) whose
// reduced colour differs from the previous frame's: dither that moves where the picture
// stands still.
double ShimmerShare(const std::vector<TRgbPicture>& source, const std::vector<TRgbPicture>& result);

} // namespace reducebench
