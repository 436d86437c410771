// A decoded video picture in memory, turned into a bitmap the GIF library converts to a
// frame: true-colour pictures become 24-bit bitmaps, palette pictures 8-bit bitmaps that
// keep their colour table (so an 8-bit video imports without loss).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace gif {
class TBitmap;
}

namespace io {

enum class TPictureLayout : uint8_t {
    Bgr24,  // blue, green, red
    Rgb24,  // red, green, blue
    Bgra32, // blue, green, red, alpha (alpha ignored)
    Rgba32, // red, green, blue, alpha (alpha ignored)
    Gray8,  // one grey level per byte
    Pal8,   // one index per byte into Palette
};

// Rows each Stride bytes apart, in the Size bytes at Pixels: the top row first, or the
// bottom row first when BottomUp.
struct TPictureView {
    int Width = 0;
    int Height = 0;
    TPictureLayout Layout = TPictureLayout::Bgr24;
    const uint8_t* Pixels = nullptr;
    size_t Stride = 0;
    size_t Size = 0;
    bool BottomUp = false;
    // Pal8: the colour table as 0xAARRGGBB words (alpha ignored); indices past its end are
    // black.
    std::span<const uint32_t> Palette;
};

// Bytes per pixel of a layout.
int LayoutBytes(TPictureLayout layout);

// Fills `bitmap` with the picture: pf24bit for true colour and grey, pf8bit with the
// picture's colour table (256 entries) for Pal8. The bitmap's storage is reused when it
// already has that size and format. Raises EAviError "Failed to decompress AVI frame"
// when the view is inconsistent: a size outside the bitmap limits, no pixels, rows
// shorter than the width or more rows than the buffer holds.
void ConvertPicture(const TPictureView& view, gif::TBitmap& bitmap);

} // namespace io
