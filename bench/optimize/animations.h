// Animations for measuring the optimiser, made with our own library: still backgrounds
// with moving sprites, video-like full frames, transparency, and per-frame palettes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gif/model/image.h"

namespace optbench {

struct TSample {
    std::string Name;
    std::unique_ptr<gif::TGIFImage> Image;
};

// Every sample animation, as a naive exporter would write it (full frames, no reuse).
std::vector<TSample> MakeSamples();

} // namespace optbench
