// The composed screen as the best optimiser reasons about it: one colour per pixel of the
// logical screen, changed by each frame the way the renderer draws and disposes it.
// Internal to gif/optimize.
#pragma once

#include "gif/base/types.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gif {
class TGIFSubImage;
}

namespace gif::optimize {

// What a pixel shows where no frame has drawn, or where a frame cleared its area: whatever
// lies beneath the animation. No colour-table entry has this value.
inline constexpr uint32_t ScreenBackground = 0xFF000000;
// A table slot past the table's last entry; never equal to a colour.
inline constexpr uint32_t NoColor = 0xFE000000;

// A colour as one comparable value: red | green << 8 | blue << 16.
using TColorKey = uint32_t;
// The colour keys of a frame's effective table; indices past its end hold NoColor.
using TFrameColors = std::array<TColorKey, 256>;
TFrameColors FrameColors(const TGIFSubImage& frame);

struct TScreen {
    int Width = 0;
    int Height = 0;
    std::vector<TColorKey> Pixels; // row by row, ScreenBackground where nothing shows

    TScreen() = default;
    TScreen(int width, int height)
        : Width(width), Height(height), Pixels(size_t(width) * size_t(height), ScreenBackground) {}
    TColorKey At(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
    const TColorKey* Row(int y) const { return Pixels.data() + size_t(y) * size_t(Width); }
    TColorKey* Row(int y) { return Pixels.data() + size_t(y) * size_t(Width); }
};

// Whether the model shows the frame exactly as the renderer does: it lies on the screen
// and every pixel it draws names an entry of its table.
bool FrameIsModelled(const TGIFSubImage& frame, const TScreen& screen);

// Draws the frame's pixels onto `screen` with its top-left pixel at (left, top), leaving
// its transparent ones out.
void DrawFrame(const TGIFSubImage& frame, TScreen& screen, int left, int top);

// A copy of the part `rect` of `screen`, and putting such a part back.
TScreen Window(const TScreen& screen, const TRect& rect);
void PutWindow(TScreen& screen, const TRect& rect, const TScreen& window);

// Turns `shown` (the picture with the frame drawn) into the screen the next frame is drawn
// on: unchanged for disposal 0, 1 and 4-7, the frame's rectangle cleared for 2 (restore to
// background), `before` again for 3 (restore previous).
void ApplyDisposal(int disposal, const TRect& rect, const TScreen& before, TScreen& shown);

} // namespace gif::optimize
