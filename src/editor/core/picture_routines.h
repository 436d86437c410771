// Pictures that become frames: fitting them to the animation's size.
#pragma once

namespace gif {
class TBitmap;
class TGIFImage;
} // namespace gif

namespace editor {

// The bitmap becomes its own top-left width x height part.
void CropBitmap(gif::TBitmap& bitmap, int height, int width);

// A picture larger than the animation: with `trim` the picture is cut to the animation's
// size; otherwise the animation takes the picture's size, and frames that would reach
// past it are cut (keeping their top-left pixels).
void FitBitmapToAnimation(gif::TGIFImage& image, gif::TBitmap& bitmap, bool trim);

} // namespace editor
