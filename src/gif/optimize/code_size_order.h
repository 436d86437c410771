// Numbering the global colours so that more frames need a smaller LZW code size. Internal
// to gif/optimize.
#pragma once

namespace gif {
class TGIFImage;
}

namespace gif::optimize {

// Reorders the global colour table, and the pixels of every frame drawing with it, so that
// the colours of as many frames as possible share the lowest 128 entries, within them the
// lowest 64, and so on: a frame whose pixels all lie below 2^n is written with n-bit codes.
// Each frame's transparent pixels take the lowest index its colours leave free. Renumbering
// does not change how LZW parses a frame, only the width of its codes; the new order is
// taken only when the frames whose code size changes write fewer bytes in all. Returns
// whether the image changed. What each frame shows stays the same.
bool OrderColorsForCodeSizes(TGIFImage& image);

} // namespace gif::optimize
