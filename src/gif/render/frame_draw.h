// Drawing one frame onto a rectangle that stands for the whole logical screen.
#pragma once

#include <functional>

#include "gif/base/types.h"

namespace gif {

class TCanvas;
class TGIFSubImage;

// The frame's place inside `screen`, a rectangle standing for the logical screen of
// `imageWidth` x `imageHeight`: each edge scaled by MulDiv. Empty for an empty screen.
TRect FramePlace(const TGIFSubImage& frame, const TRect& screen, int imageWidth, int imageHeight);

// Calls `tile` for every frame-sized tile of `frame` repeated across `screen`: columns
// start at screen.Left + frame left and step by the image width while a tile's left is
// left of screen.Right; rows likewise downwards. Tiles are clipped to `screen`.
void ForEachTile(const TGIFSubImage& frame, const TRect& screen, int imageWidth, int imageHeight,
                 const std::function<void(const TRect& tile, const TRect& source)>& tile);

// Draws `frame` onto `canvas`: stretched into its place within `screen`, or at its own
// size into every tile with `tiled`. With `transparent`, a transparent frame is drawn
// through its mask so that its transparent pixels leave the canvas unchanged.
void DrawSubImage(TGIFSubImage& frame, TCanvas& canvas, const TRect& screen, bool transparent,
                  bool tiled);

} // namespace gif
