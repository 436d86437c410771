// Animations and outside tools for the export tests.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "gif/model/image.h"

namespace iotest {

// The standard output of a shell command (stderr joined in).
inline std::string Capture(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return output;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
    pclose(pipe);
    return output;
}

// An animation whose frame i has the size sizes[i]; a size of 0 x 0 makes an empty frame.
// The global table holds 256 colours in smooth ramps; the pixels run through them in diagonal
// gradients with an edge where the index wraps, so the pictures are colourful with edges.
template <size_t N>
std::unique_ptr<gif::TGIFImage> MakeFrames(const std::array<std::pair<int, int>, N>& sizes) {
    auto image = std::make_unique<gif::TGIFImage>();
    for (int c = 0; c < 256; ++c)
        image->GlobalColorMap().AppendColor(
            gif::RGB(uint8_t(c), uint8_t(c < 128 ? c * 2 : 511 - c * 2), uint8_t(255 - c)));
    int frameIndex = 0;
    for (auto [width, height] : sizes) {
        auto frame = std::make_unique<gif::TGIFSubImage>(image.get());
        if (width > 0 && height > 0) {
            frame->SetPlacement(0, 0, width, height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    frame->Pixels()[y * width + x] = uint8_t((x * 3 + y * 5 + frameIndex * 40) & 0xFF);
        }
        image->AddFrame(std::move(frame));
        ++frameIndex;
    }
    return image;
}

} // namespace iotest
