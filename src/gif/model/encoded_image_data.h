// A frame's image data as it stands in a GIF file, kept beside the pixels it decodes to.
// Writing a frame whose pixels have not changed since it was read or written copies these
// bytes instead of compressing the pixels again.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "gif/codec/image_data_writer.h"

namespace gif {

struct TEncodedImageData {
    // The LZW minimum code size byte, the data sub-blocks and the block terminator: `Size`
    // bytes from `Offset` of `Storage`, which is the whole file they were read from (shared
    // by its frames, so that keeping them costs no copy) or the bytes of one write.
    std::shared_ptr<const std::vector<uint8_t>> Storage;
    size_t Offset = 0;
    size_t Size = 0;
    std::span<const uint8_t> Bytes() const {
        return Storage ? std::span<const uint8_t>(Storage->data() + Offset, Size)
                       : std::span<const uint8_t>();
    }
    // What the bytes were made for. A file writer that would compress the same pixels with
    // the same code size, row order, method and parse gets these bytes back from the
    // encoder, which is deterministic: copying them writes the same file.
    uint8_t CodeSize = 0;
    bool Interlaced = false;
    TEncodingMethod Method = emLZW;
    int LookaheadBias = -1;
    int ClearDelay = 0;
    // Read from a file, made by some other encoder: copied only where the plain LZW encoder
    // would be used, and then the file keeps its own compression.
    bool FromFile = false;
    // The largest pixel value, so that a colour table that no longer holds every pixel
    // still gets its "Color not in color table" from the encoder.
    uint8_t LargestPixel = 0;
};

// Whether `data` is what writing `source` with `method` produces (or, for bytes read from a
// file, an equally valid stand-in for it).
bool EncodedDataFits(const TEncodedImageData& data, const TEncodeSource& source,
                     TEncodingMethod method);

// Whether `bytes` is one complete image data block: a code size byte of 2..8, sub-blocks,
// and the terminator as its last byte.
bool IsCompleteImageData(std::span<const uint8_t> bytes);

} // namespace gif
