#include "gif/codec/image_data_writer.h"

#include "gif/codec/lzw_encoder.h"
#include "gif/codec/rle_encoder.h"

namespace gif {

void EncodeImageData(TStream& stream, const TEncodeSource& source, TEncodingMethod method) {
    if (method == emRLE) {
        TRLEEncoder encoder;
        encoder.Encode(stream, source);
    } else {
        TLZWEncoder encoder;
        encoder.Encode(stream, source);
    }
}

} // namespace gif
