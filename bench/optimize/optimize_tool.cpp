// The benchmark's helper:
//   optimize_tool generate DIR   writes the sample animations as DIR/<name>.gif
//   optimize_tool verify A B     exits 0 when A and B show the same pictures for the same
//                                time (consecutive equal pictures joined), 1 otherwise
#include <cstdio>
#include <exception>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "animations.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/render/compose.h"
#include "gif/render/timing.h"

namespace {

struct TShot {
    std::vector<uint8_t> Pixels;
    int Delay;
};

std::vector<TShot> Timeline(const std::string& fileName) {
    gif::TGIFImage image;
    image.LoadFromFile(fileName);
    std::vector<TShot> shots;
    auto pictures = gif::ComposeFrames(image, gif::RGB(1, 2, 3));
    for (size_t i = 0; i < pictures.size(); ++i) {
        std::span<const uint8_t> bits = pictures[i]->Bits();
        std::vector<uint8_t> pixels(bits.begin(), bits.end());
        int delay = gif::FrameDelayUnits(*image.Frame(int(i)), true);
        if (!shots.empty() && shots.back().Pixels == pixels) shots.back().Delay += delay;
        else shots.push_back({std::move(pixels), delay});
    }
    return shots;
}

int Generate(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    for (optbench::TSample& sample : optbench::MakeSamples())
        sample.Image->SaveToFile((dir / (sample.Name + ".gif")).string());
    return 0;
}

int Verify(const std::string& a, const std::string& b) {
    std::vector<TShot> first = Timeline(a);
    std::vector<TShot> second = Timeline(b);
    if (first.size() != second.size()) {
        std::printf("differ: %zu against %zu pictures\n", first.size(), second.size());
        return 1;
    }
    for (size_t i = 0; i < first.size(); ++i) {
        if (first[i].Pixels != second[i].Pixels || first[i].Delay != second[i].Delay) {
            std::printf("differ: picture %zu\n", i);
            return 1;
        }
    }
    std::printf("same: %zu pictures\n", first.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::string verb = argc > 1 ? argv[1] : "";
        if (verb == "generate" && argc == 3) return Generate(argv[2]);
        if (verb == "verify" && argc == 4) return Verify(argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "optimize_tool: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "Usage: optimize_tool generate DIR | verify A B\n");
    return 2;
}
