// A decoded picture as a packed device-independent bitmap. Internal to src/io.
#pragma once

#include <Magick++.h>
#include <cstdint>
#include <vector>

namespace io {

// Writes `image` (in an RGB or grey colour space) as a packed DIB: a 40-byte
// BITMAPINFOHEADER, the colour table, then the rows bottom-up, each padded to 4 bytes.
// 32 bits when some pixel is not opaque (alpha in the fourth byte), 8 bits with its table
// for palette pictures of at most 256 colours and for grey ones, else 24 bits.
// Raises std::runtime_error when ImageMagick cannot hand out the pixels.
std::vector<uint8_t> ExportDIB(const MagickCore::Image* image);

} // namespace io
