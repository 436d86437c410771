// What an animation shows, as the renderer composes it, in a form cheap to keep and
// compare: one fingerprint per picture and how long the picture stays.
#pragma once

#include "gif/base/types.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace gif {
class TGIFImage;
}

namespace gif::optimize {

struct TShownPicture {
    uint64_t Hash[2]; // two independent 64-bit hashes of the picture's pixels
    int Delay;        // delay units it stays on the screen
    bool operator==(const TShownPicture&) const = default;
};

// A colour that no table of the given images holds: composing on it, every frame pixel
// differs from the background.
TColor UnusedColor(std::initializer_list<const TGIFImage*> images);

// The pixels of the screen of a copy of `image`, on which a play of the copy composes: a
// copied frame grows the screen to hold it, so a frame placed far off a small screen makes
// the copy's screen large.
int64_t CopiedScreenPixels(const TGIFImage& image);

// The renderer's picture after each frame, played once on `background`.
std::vector<TShownPicture> ShownPictures(TGIFImage& image, TColor background);

// The same with consecutive equal pictures joined (their delays added): what is shown
// and for how long, whatever frames it is made of.
std::vector<TShownPicture> Timeline(const std::vector<TShownPicture>& pictures);

} // namespace gif::optimize
