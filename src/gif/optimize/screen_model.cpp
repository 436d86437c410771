#include "gif/optimize/screen_model.h"

#include "gif/base/byte_words.h"
#include "gif/model/graphic_control.h"
#include "gif/model/subimage.h"

#include <algorithm>

namespace gif::optimize {

TFrameColors FrameColors(const TGIFSubImage& frame) {
    TFrameColors keys;
    keys.fill(NoColor);
    std::span<const TGIFColor> entries = frame.EffectiveTable().Entries();
    for (size_t i = 0; i < entries.size() && i < keys.size(); ++i)
        keys[i] = TColorKey(entries[i].Red) | TColorKey(entries[i].Green) << 8 |
                  TColorKey(entries[i].Blue) << 16;
    return keys;
}

bool FrameIsModelled(const TGIFSubImage& frame, const TScreen& screen) {
    if (frame.FrameLeft() + frame.FrameWidth() > screen.Width ||
        frame.FrameTop() + frame.FrameHeight() > screen.Height)
        return false;
    if (!frame.HasPixels()) return true;
    const TFrameColors colors = FrameColors(frame);
    const int transparent = frame.TransparentIndex();
    std::array<bool, 256> present{};
    MarkPresentBytes(frame.PixelData(), present);
    for (int v = 0; v < 256; ++v)
        if (present[size_t(v)] && colors[size_t(v)] == NoColor && v != transparent) return false;
    return true;
}

void DrawFrame(const TGIFSubImage& frame, TScreen& screen, int left, int top) {
    if (!frame.HasPixels()) return;
    const TFrameColors colors = FrameColors(frame);
    const int transparent = frame.TransparentIndex();
    const int width = std::min<int>(frame.FrameWidth(), screen.Width - left);
    const int height = std::min<int>(frame.FrameHeight(), screen.Height - top);
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = frame.Pixels() + size_t(y) * frame.FrameWidth();
        TColorKey* target = screen.Row(top + y) + left;
        for (int x = 0; x < width; ++x)
            if (int(source[x]) != transparent) target[x] = colors[source[x]];
    }
}

TScreen Window(const TScreen& screen, const TRect& rect) {
    TScreen window(rect.Width(), rect.Height());
    for (int y = 0; y < window.Height; ++y)
        std::copy_n(screen.Row(rect.Top + y) + rect.Left, window.Width, window.Row(y));
    return window;
}

void PutWindow(TScreen& screen, const TRect& rect, const TScreen& window) {
    for (int y = 0; y < window.Height; ++y)
        std::copy_n(window.Row(y), window.Width, screen.Row(rect.Top + y) + rect.Left);
}

void ApplyDisposal(int disposal, const TRect& rect, const TScreen& before, TScreen& shown) {
    if (disposal == dmPrevious) {
        shown.Pixels = before.Pixels;
    } else if (disposal == dmBackground) {
        const int right = std::min(rect.Right, shown.Width),
                  bottom = std::min(rect.Bottom, shown.Height);
        for (int y = std::max(rect.Top, 0); y < bottom; ++y)
            std::fill(shown.Row(y) + std::max(rect.Left, 0), shown.Row(y) + right,
                      ScreenBackground);
    }
}

} // namespace gif::optimize
