// The best-effort optimiser: every lossless alternative the library knows, frame by frame,
// keeping whichever writes smallest; what the animation shows, and when, never changes.
#pragma once

#include <cstdint>
#include <vector>

namespace gif {

class TGIFImage;

struct TBestOptimizeResult {
    // The image as the writer writes it, before and after. When the result is smaller, the
    // input is measured only until it passes BytesAfter: BytesBefore is then a count between
    // the two, not the input's full size.
    int64_t BytesBefore = 0;
    int64_t BytesAfter = 0;
    bool Changed = false;
};

// Makes `image` as small as it can without changing a picture shown or how long it stays.
// The optimiser's passes and the colour-map merge are taken where they show the same; then
// each frame gets the smallest of its alternatives (trimmed rectangle with the disposal that
// leaves the same screen, transparency on, off or where it shortens the LZW stream, not
// interlaced, the smallest minimum code size); last, each frame's rows are written in the
// order, plain or interlaced, and with the LZW parse (longest match or look-ahead) that
// compress best. Each rewritten frame is checked on a model of the composed screen, in the
// first pass and, for looping animations, the later ones, and the result against the
// renderer's pictures; a frame that shows otherwise keeps its old form. When nothing smaller
// is found, the image stays exactly as it was; so does an image whose logical screen has
// more than 2^24 pixels (checking it would take gigabytes), and one whose checks would
// compose far more screen pixels (screen x frames beyond 2^28) than 16 times the pixels its
// frames hold: a few kilobytes of tiny frames on a large screen.
// With `written`, it also receives the bytes SaveToStream writes for the image afterwards
// (measuring the result writes them anyway, so a caller that saves gets them for free).
TBestOptimizeResult OptimizeBest(TGIFImage& image, std::vector<uint8_t>* written = nullptr);

} // namespace gif
