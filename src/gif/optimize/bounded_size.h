// Measuring written sizes only as far as a comparison needs: a candidate that is already
// longer than the best one so far is not encoded to its end. Internal to gif/optimize.
#pragma once

#include "gif/codec/image_data_writer.h"

#include <atomic>
#include <cstdint>

namespace gif {
class TGIFImage;
}

namespace gif::optimize {

// Bytes EncodeImageData writes for `source` (code size byte, sub-blocks, terminator) when
// they are at most `limit`; otherwise some value above `limit`, found without encoding the
// rest.
int64_t EncodedSizeUpTo(const TEncodeSource& source, TEncodingMethod method, int64_t limit);

// The same with the look-ahead encoder of `writer`, kept from call to call (`source` asks for
// the look-ahead parse). That encoder empties its table when it starts, so a measurement
// cut short leaves nothing behind for the next.
int64_t EncodedSizeUpTo(const TEncodeSource& source, TImageDataWriter& writer, int64_t limit);

// The same for the whole image as SaveToStream writes it. The image's own handlers hear of
// the write as they would of any other.
int64_t SavedSizeUpTo(TGIFImage& image, int64_t limit);

// The same with a limit another thread may lower while the image is written: the count stops
// once it passes the limit as it stands then.
int64_t SavedSizeUpTo(TGIFImage& image, const std::atomic<int64_t>& limit);

} // namespace gif::optimize
