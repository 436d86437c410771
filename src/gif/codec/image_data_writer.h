// Compressing GIF image data with the LZW or the run-length encoder.
#pragma once

#include <cstdint>

namespace gif {

class TStream;

enum TEncodingMethod : uint8_t { emLZW = 0, emRLE = 1 };

struct TEncodeSource {
    const uint8_t* Pixels; // may be null (blank frame)
    int Width;
    int Height;
    bool Interlaced;
    int Bits;       // bits per pixel of the colour table in use (1..8); code size max(Bits, 2)
    int ColorLimit; // every pixel must be below it, else "Color not in color table"
};

// Writes the minimum code size byte, the compressed data in sub-blocks of 255 bytes and
// the 0 terminator.
void EncodeImageData(TStream& stream, const TEncodeSource& source, TEncodingMethod method);

} // namespace gif
