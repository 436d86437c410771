// Choosing, frame by frame, the LZW parse that writes the fewest bytes. Internal to
// gif/optimize.
#pragma once

namespace gif {
class TGIFImage;
}

namespace gif::optimize {

// For every frame written with LZW, measures the look-ahead parses (TLZWLookaheadEncoder)
// against the longest match and keeps the smallest as the frame's lookahead hint. The
// pixels stay as they are, so what the image shows cannot change. Returns whether any
// frame's hint changed.
bool ChooseLookaheadParses(TGIFImage& image);

} // namespace gif::optimize
