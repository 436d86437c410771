// The LZW decoder of GIF image data.
#pragma once

#include <cstdint>
#include <functional>

namespace gif {

class TStream;

struct TDecodeTarget {
    uint8_t* Pixels; // Width*Height bytes, all already set to one fill value by the caller;
                     // the pixels the data does not reach keep it
    int Width;
    int Height;
    bool Interlaced;
};

// Decodes one frame's image data: the minimum-code-size byte, the data sub-blocks and (when
// the data holds the end code) the block terminator. `warn` receives recoverable problems
// ("Premature end of data", "Decoder bit buffer under-run", and "Image data without block
// terminator" when the stream ends before the terminator); errors are thrown as
// GIFException ("Circular decoder table entry"). A code size byte that cannot be read
// leaves the pixels as they are ("Premature end of data").
void DecodeImageData(TStream& stream, const TDecodeTarget& target,
                     const std::function<void(const char* message)>& warn);

} // namespace gif
