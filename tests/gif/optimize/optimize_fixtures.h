// Building small animations for the optimiser's tests.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "gif/test_util.h"

namespace opttest {

using namespace gif;

// A small deterministic generator (the standard distributions differ between libraries).
struct Random {
    uint64_t state;
    explicit Random(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    int Next(int n) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return int(state % uint64_t(n));
    }
    bool Chance(int percent) { return Next(100) < percent; }
};

// Fills `table` with `colors`.
inline void SetColors(TGIFColorMap& table, const std::vector<TColor>& colors) {
    table.RemoveAll();
    for (TColor c : colors) table.AppendColor(c);
}

// Gives the frame a graphic control extension (or changes its first one).
inline TGIFGraphicControlExtension& Control(TGIFSubImage& frame, int disposal, int delay,
                                            int transparent = -1) {
    TGIFGraphicControlExtension* gce = frame.ControlBlock();
    if (!gce) {
        auto block = std::make_unique<TGIFGraphicControlExtension>(&frame);
        gce = block.get();
        frame.Blocks().Add(std::move(block));
    }
    gce->SetDisposalCode(uint8_t(disposal));
    gce->SetDelayTime(uint16_t(delay));
    if (transparent >= 0) {
        gce->SetTransparentIndexUnchecked(uint8_t(transparent));
        gce->SetTransparentFlag(true);
    }
    return *gce;
}

inline void AddComment(TGIFSubImage& frame, const std::string& text) {
    auto block = std::make_unique<TGIFCommentExtension>(&frame);
    block->CommentLines().push_back(text);
    frame.Blocks().Add(std::move(block));
}

inline TGIFAppExtNSLoop& AddLoop(TGIFSubImage& frame, int count) {
    auto block = std::make_unique<TGIFAppExtNSLoop>(&frame);
    block->LoopCount = uint16_t(count);
    TGIFAppExtNSLoop& ref = *block;
    frame.Blocks().Add(std::move(block));
    return ref;
}

inline std::vector<uint8_t> Pixels(const TGIFSubImage& frame) {
    auto data = frame.PixelData();
    return {data.begin(), data.end()};
}

inline int Delay(const TGIFSubImage& frame) {
    return frame.ControlBlock() ? frame.ControlBlock()->DelayTime() : -1;
}

// A palette of four easily told apart colours: black, red, green, blue.
inline const std::vector<TColor> Four = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};

} // namespace opttest
