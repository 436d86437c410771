#include "gif/model/encoded_image_data.h"

#include <algorithm>

namespace gif {

bool EncodedDataFits(const TEncodedImageData& data, const TEncodeSource& source,
                     TEncodingMethod method) {
    if (data.Size == 0 || data.Interlaced != source.Interlaced) return false;
    if (data.CodeSize != std::max(source.Bits, 2)) return false;
    if (data.LargestPixel >= source.ColorLimit) return false;
    if (data.FromFile) return method == emLZW && source.LookaheadBias < 0 && source.ClearDelay == 0;
    if (data.Method != method) return false;
    return method != emLZW ||
           (data.LookaheadBias == source.LookaheadBias && data.ClearDelay == source.ClearDelay);
}

bool IsCompleteImageData(std::span<const uint8_t> bytes) {
    if (bytes.size() < 2 || bytes[0] < 2 || bytes[0] > 8) return false;
    size_t at = 1;
    while (at < bytes.size()) {
        const size_t length = bytes[at];
        if (length == 0) return at + 1 == bytes.size();
        at += length + 1;
    }
    return false;
}

} // namespace gif
