// A plain decoder of GIF image data that follows the documented steps one by one
// (ReadCode, ReadPixel, the pixel fill), used to check the fast decoder.
#pragma once

#include "gif/base/stream.h"
#include "gif/codec/lzw_decoder.h"

#include <cstdint>
#include <functional>

namespace giftest::ref {

// Same contract as gif::DecodeImageData.
void DecodeImageData(gif::TStream& stream, const gif::TDecodeTarget& target,
                     const std::function<void(const char*)>& warn);

} // namespace giftest::ref
