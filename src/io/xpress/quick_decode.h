// Decoders for the control's small-copy loads (thumbnails): PNG through libpng's simplified
// reader and the first frame of a GIF through our own library, both straight to 8-bit
// pixels. ImageMagick keeps 16 bits per channel in a pixel cache of its own, which costs
// more than the decode itself on pictures of a few hundred pixels. Internal to src/io.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace io {

struct TQuickPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Bgra; // Width x Height x 4 bytes, rows top-down
    bool Alpha = false;        // whether any pixel may be transparent
};

// Each returns false, with `picture` unusable, for data it does not read cleanly: damaged,
// unusual or beyond the control's limits. The caller then decodes with ImageMagick, which
// says why. The declared size is checked before anything is allocated.
bool DecodePngQuickly(std::span<const uint8_t> bytes, TQuickPicture& picture);
// The first frame as a viewer shows it on the logical screen; the rest of the screen is
// transparent.
bool DecodeGifFirstFrame(std::span<const uint8_t> bytes, TQuickPicture& picture);

} // namespace io
