// Which ImageMagick decoder may read a file. Internal to src/io.
//
// Only the decoders of the picture kinds the control offers ever run: ImageMagick also
// understands scripts, vector drawings and remote references, which have no place in a
// picture import.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace io {

// Bytes from the start of a file that ChoosePictureFormat looks at.
inline constexpr size_t PictureSignatureBytes = 8192;

// The ImageMagick format to decode a file with: the kind its first bytes show, when that is
// an allowed kind; else the kind its extension names (Targa and icons have no signature).
// Empty when neither gives an allowed kind.
std::string ChoosePictureFormat(std::span<const uint8_t> head, const std::string& path);

} // namespace io
