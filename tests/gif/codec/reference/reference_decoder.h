// A plain decoder of GIF image data that follows the documented steps one by one
// (ReadCode, ReadPixel, the pixel fill), used to check the fast decoder.
#pragma once

#include <cstdint>
#include <functional>

#include "gif/base/stream.h"
#include "gif/codec/lzw_decoder.h"

namespace giftest::ref {

// Same contract as gif::DecodeImageData.
void DecodeImageData(gif::TStream& stream, const gif::TDecodeTarget& target,
                     const std::function<void(const char*)>& warn);

} // namespace giftest::ref
