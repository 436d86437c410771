// Frames that change nothing on the screen, folded into the frame before them. Internal
// to gif/optimize.
#pragma once

namespace gif {
class TGIFImage;
}

namespace gif::optimize {

// Folds every frame that leaves the shown picture as it was into the frame before it,
// which then stays on the screen for both delays (as playback waits them: a delay of 0
// counts as the fallback delay). A frame qualifies when it draws nothing (every pixel is
// its transparent index), it and the frame before leave the screen as drawn (disposal 0
// or 1), neither waits for user input, and neither carries blocks other than one graphic
// control extension (and, on the frame before, the loop block): comments and application
// blocks keep their frames. A sum beyond 65535 units is split, the rest staying on the
// later frame. Returns the number of frames removed.
int MergeStillFrames(TGIFImage& image);

} // namespace gif::optimize
