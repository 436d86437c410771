// Helpers shared by the renderer's tests: animations built in code, a clock the test
// drives, and pixel reading.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gif/graphics/bitmap.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/render/auto_reset_event.h"
#include "gif/render/clock.h"

namespace rendertest {

struct Frame {
    int Left = 0, Top = 0, Width = 1, Height = 1;
    std::vector<uint8_t> Pixels;   // row-major colour indices
    int Delay = -1;                // -1: no graphic control extension
    int Disposal = 0;
    int Transparent = -1;          // transparent index, -1 for none
};

// A frame using the image's global table.
inline gif::TGIFSubImage& AddFrame(gif::TGIFImage& image, const Frame& wanted) {
    auto frame = std::make_unique<gif::TGIFSubImage>(&image);
    frame->SetPlacement(wanted.Left, wanted.Top, wanted.Width, wanted.Height);
    std::copy(wanted.Pixels.begin(), wanted.Pixels.end(), frame->Pixels());
    if (wanted.Delay >= 0) {
        auto control = std::make_unique<gif::TGIFGraphicControlExtension>(frame.get());
        control->SetDelayTime(uint16_t(wanted.Delay));
        control->SetDisposalCode(uint8_t(wanted.Disposal));
        if (wanted.Transparent >= 0) {
            control->SetTransparentIndexUnchecked(uint8_t(wanted.Transparent));
            control->SetTransparentFlag(true);
        }
        frame->Blocks().Add(std::move(control));
    }
    gif::TGIFSubImage& ref = *frame;
    image.AddFrame(std::move(frame));
    return ref;
}

inline void AddLoop(gif::TGIFSubImage& frame, uint16_t count) {
    auto loop = std::make_unique<gif::TGIFAppExtNSLoop>(&frame);
    loop->LoopCount = count;
    frame.Blocks().Add(std::move(loop));
}

// An image whose global table holds `colors` and whose screen is width x height.
inline void SetScreen(gif::TGIFImage& image, int width, int height,
                      const std::vector<gif::TColor>& colors) {
    for (gif::TColor c : colors) image.GlobalColorMap().AppendColor(c);
    image.SetWidth(width);
    image.SetHeight(height);
}

// `count` frames of 1 x 1 pixel, each with the given delay (and no disposal).
inline void AddPlainFrames(gif::TGIFImage& image, int count, int delay = 0) {
    if (image.GlobalColorMap().EntryCount() == 0)
        SetScreen(image, 1, 1, {gif::clBlack, gif::clWhite});
    for (int i = 0; i < count; ++i) AddFrame(image, {0, 0, 1, 1, {uint8_t(i & 1)}, delay});
}

inline std::vector<gif::TColor> Row(const gif::TBitmap& bitmap, int y = 0) {
    std::vector<gif::TColor> out;
    for (int x = 0; x < bitmap.Width(); ++x) out.push_back(bitmap.Pixels(x, y));
    return out;
}

// A clock that moves only when the renderer sleeps or waits (or the test advances it),
// and records every wait. Waits without limit really block, until the event is set.
class FakeClock : public gif::TGIFClock {
public:
    struct Wait {
        std::string Kind;   // "sleep" or "event"
        int64_t Ms;
        bool Woken = false;
    };

    int64_t Now() override {
        std::lock_guard lock(mutex_);
        return now_;
    }
    void Sleep(int64_t ms) override {
        std::lock_guard lock(mutex_);
        if (ms > 0) now_ += ms;
        waits_.push_back({"sleep", ms});
    }
    bool WaitFor(gif::TAutoResetEvent& event, int64_t ms) override {
        if (event.TryWait() || (ms < 0 && event.WaitFor(-1))) {
            std::lock_guard lock(mutex_);
            waits_.push_back({"event", ms, true});
            return true;
        }
        std::lock_guard lock(mutex_);
        now_ += ms;
        waits_.push_back({"event", ms});
        return false;
    }
    void Advance(int64_t ms) {
        std::lock_guard lock(mutex_);
        now_ += ms;
    }
    std::vector<Wait> Waits() {
        std::lock_guard lock(mutex_);
        return waits_;
    }

private:
    std::mutex mutex_;
    int64_t now_ = 1000;
    std::vector<Wait> waits_;
};

} // namespace rendertest
