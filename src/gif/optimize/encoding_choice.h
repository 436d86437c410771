// Choosing, frame by frame, how the pixels are encoded: the row order and the LZW parse
// that write the fewest bytes. Internal to gif/optimize.
#pragma once

namespace gif {
class TGIFImage;
}

namespace gif::optimize {

// For every frame written with LZW: rows in order or interlaced, whichever compresses
// better, and the look-ahead parse (TLZWLookaheadEncoder) where it is smaller than the
// longest match, kept as the frame's lookahead hint. Neither changes a pixel, so what the
// image shows cannot change. Returns whether any frame changed.
bool ChooseFrameEncodings(TGIFImage& image);

} // namespace gif::optimize
