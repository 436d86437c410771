// The clean-up pass of the optimiser, in its two halves: the first runs before the
// pixel passes, the second after them.
#pragma once

namespace gif {
class TGIFImage;
}

namespace gif::optimize {

class TOptimizeProgress;

// First half: transparent frames that never use their transparent index become opaque,
// and a restore disposal is dropped where the next frame paints over the whole area.
void CleanupBeforePixels(TGIFImage& image, TOptimizeProgress& progress);

// Second half: comments, plain text, other programs' application blocks and surplus loop
// blocks are deleted, graphic control extensions that change nothing are deleted, and
// blank frames with no blocks left are deleted.
void CleanupAfterPixels(TGIFImage& image, TOptimizeProgress& progress);

} // namespace gif::optimize
