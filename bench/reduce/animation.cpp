#include "animation.h"

#include "gif/reduce/animation_reduction.h"
#include "gif/reduce/reduce_colors.h"

#include <stdexcept>

namespace reducebench {

namespace {

// Each frame on its own, as importing frame by frame does.
std::vector<TRgbPicture> FrameByFrame(const std::vector<gif::TBitmap>& frames,
                                      gif::TColorReduction method, gif::TDitherMode dither) {
    std::vector<TRgbPicture> out;
    for (const gif::TBitmap& frame : frames)
        out.push_back(ToRgb(*gif::ReduceColors(frame, method, dither, nullptr, 8)));
    return out;
}

// All frames together onto one palette, still pixels keeping their index.
std::vector<TRgbPicture> Together(const std::vector<gif::TBitmap>& frames,
                                  gif::TColorReduction method, gif::TDitherMode dither) {
    std::vector<const gif::TBitmap*> sources;
    for (const gif::TBitmap& frame : frames)
        sources.push_back(&frame);
    gif::TReducedFrames reduced = gif::ReduceFrames(sources, method, dither, nullptr, 8);
    std::vector<TRgbPicture> out;
    for (const auto& frame : reduced.Frames)
        out.push_back(ToRgb(*frame));
    return out;
}

} // namespace

std::vector<TAnimationMethod> AnimationMethods() {
    return {
        {"quality",
         [](const std::vector<gif::TBitmap>& frames) {
             return Together(frames, gif::crQuality, gif::BestDitherMode(gif::crQuality));
         }},
        {"quality_ordered",
         [](const std::vector<gif::TBitmap>& frames) {
             return Together(frames, gif::crQuality, gif::dtOrdered);
         }},
        {"octree_fs",
         [](const std::vector<gif::TBitmap>& frames) {
             return FrameByFrame(frames, gif::crOptimized, gif::dtFloydSteinberg);
         }},
    };
}

double ShimmerShare(const std::vector<TRgbPicture>& source,
                    const std::vector<TRgbPicture>& result) {
    if (source.size() != result.size()) throw std::runtime_error("frame counts differ");
    uint64_t still = 0, moved = 0;
    for (size_t f = 1; f < source.size(); ++f) {
        const auto &a = source[f - 1].Rgb, &b = source[f].Rgb;
        const auto &ra = result[f - 1].Rgb, &rb = result[f].Rgb;
        if (a.size() != b.size() || ra.size() != a.size() || rb.size() != a.size())
            throw std::runtime_error("frames of different sizes");
        for (size_t i = 0; i < a.size(); i += 3) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) continue;
            ++still;
            if (ra[i] != rb[i] || ra[i + 1] != rb[i + 1] || ra[i + 2] != rb[i + 2]) ++moved;
        }
    }
    return still ? double(moved) / double(still) : 0.0;
}

} // namespace reducebench
