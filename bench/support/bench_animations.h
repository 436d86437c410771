// The animations the editor's benchmarks edit, made in the bench:
//  - kGradient: 100 frames of 960 x 540, a sliding gradient with a moving ball and a little
//    noise, one global table, 4/100 s per frame;
//  - kScreenRecording: 1,000 full frames of 640 x 480 as a screen recorder writes them: a
//    still desktop of flat windows, a pointer that moves and a line of text that grows.
#pragma once

#include <memory>

#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace benchsupport {

enum TAnimationKind { kGradient = 0, kScreenRecording = 1 };

struct TAnimationSize {
    int Frames, Width, Height;
};

inline TAnimationSize SizeOf(TAnimationKind kind) {
    return kind == kGradient ? TAnimationSize{100, 960, 540} : TAnimationSize{1000, 640, 480};
}

inline const char* NameOf(TAnimationKind kind) {
    return kind == kGradient ? "gradient 100 x 960x540" : "screen recording 1000 x 640x480";
}

inline std::unique_ptr<gif::TGIFImage> MakeAnimation(TAnimationKind kind) {
    const auto [frames, width, height] = SizeOf(kind);
    auto image = std::make_unique<gif::TGIFImage>();
    for (int c = 0; c < 256; ++c)
        image->GlobalColorMap().AppendColor(gif::RGB(uint8_t(c), uint8_t(255 - c), uint8_t(c * 7)));
    uint32_t seed = 12345;
    for (int f = 0; f < frames; ++f) {
        auto frame = std::make_unique<gif::TGIFSubImage>(image.get());
        frame->SetPlacement(0, 0, width, height);
        uint8_t* pixels = frame->Pixels();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t& pixel = pixels[size_t(y) * width + x];
                if (kind == kGradient) {
                    seed = seed * 1103515245 + 12345;
                    const int noise = (seed >> 28) == 0 ? int(seed >> 20 & 7) : 0;
                    const int bx = (f * 9) % width, by = height / 2;
                    const bool ball = (x - bx) * (x - bx) + (y - by) * (y - by) < 60 * 60;
                    pixel = ball ? 255 : uint8_t((x + y + f * 3) / 8 + noise);
                } else {
                    // Windows, their title bars, a text line that grows, the pointer.
                    const bool window = x > 40 && x < 600 && y > 30 && y < 440;
                    const bool title = window && y < 52;
                    const bool text = window && y > 80 && y < 92 && x < 60 + (f % 400) &&
                                      ((x / 3 + y) % 5) != 0;
                    const int px = 100 + (f * 3) % 400, py = 120 + (f * 2) % 300;
                    const bool pointer = x >= px && x < px + 10 && y >= py && y < py + 16 && x - px <= y - py;
                    pixel = pointer ? 255 : text ? 1 : title ? 40 : window ? 200 : uint8_t(90 + y / 60);
                }
            }
        auto control = std::make_unique<gif::TGIFGraphicControlExtension>(frame.get());
        control->SetDelayTime(4);
        frame->Blocks().Add(std::move(control));
        image->AddFrame(std::move(frame));
    }
    return image;
}

// Forgets every frame's kept image data, so that the next save encodes all of them: what a
// save cost before frames kept their data, and the peer of the edits measured against it.
inline void ForgetKeptData(gif::TGIFImage& image) {
    for (int i = 0; i < image.FrameCount(); ++i) image.Frame(i)->DropEncodedData();
}

} // namespace benchsupport
