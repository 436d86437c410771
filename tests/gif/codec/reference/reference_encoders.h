// Plain LZW and run-length encoders that follow the documented steps one by one
// (AdvancePixel, EmitCode through the sub-block writer, the string table), used to check
// the fast encoders byte for byte.
#pragma once

#include "gif/base/stream.h"
#include "gif/codec/image_data_writer.h"

namespace giftest::ref {

// Same contract as gif::EncodeImageData.
void EncodeImageData(gif::TStream& stream, const gif::TEncodeSource& source,
                     gif::TEncodingMethod method);

} // namespace giftest::ref
