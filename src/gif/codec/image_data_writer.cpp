#include "gif/codec/image_data_writer.h"

#include "gif/codec/lzw_encoder.h"
#include "gif/codec/lzw_lookahead_encoder.h"
#include "gif/codec/rle_encoder.h"

namespace gif {

TImageDataWriter::TImageDataWriter() = default;
TImageDataWriter::~TImageDataWriter() = default;

void TImageDataWriter::Write(TStream& stream, const TEncodeSource& source,
                             TEncodingMethod method) {
    if (method == emRLE) {
        if (!rle_) rle_ = std::make_unique<TRLEEncoder>();
        rle_->Encode(stream, source);
    } else if (source.LookaheadBias >= 0) {
        if (!lookahead_) lookahead_ = std::make_unique<TLZWLookaheadEncoder>();
        lookahead_->SetBias(source.LookaheadBias);
        lookahead_->Encode(stream, source);
    } else {
        if (!lzw_) lzw_ = std::make_unique<TLZWEncoder>();
        lzw_->Encode(stream, source);
    }
}

void EncodeImageData(TStream& stream, const TEncodeSource& source, TEncodingMethod method) {
    TImageDataWriter writer;
    writer.Write(stream, source, method);
}

} // namespace gif
