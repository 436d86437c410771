#include "gif/codec/image_data_writer.h"

#include "gif/base/stream.h"
#include "gif/codec/lzw_encoder.h"
#include "gif/codec/lzw_lookahead_encoder.h"
#include "gif/codec/rle_encoder.h"

#include <utility>

namespace gif {

namespace {
// The LZW encoder of the last writer that ended on this thread, tables and all, for the
// next one: an image is written by a writer of its own, and setting up an encoder (its
// output buffer, a string table of 256 KB) takes longer than encoding a small image.
thread_local std::unique_ptr<TLZWEncoder> spareLzw;
} // namespace

TImageDataWriter::TImageDataWriter() = default;

TImageDataWriter::~TImageDataWriter() {
    if (lzw_ && !spareLzw) spareLzw = std::move(lzw_);
}

void TImageDataWriter::Write(TStream& stream, const TEncodeSource& source,
                             TEncodingMethod method) {
    lastLargest_ = -1;
    TGIFEncoder* encoder;
    if (method == emRLE) {
        if (!rle_) rle_ = std::make_unique<TRLEEncoder>();
        encoder = rle_.get();
    } else if (source.LookaheadBias >= 0 || source.ClearDelay > 0) {
        if (!lookahead_) lookahead_ = std::make_unique<TLZWLookaheadEncoder>();
        lookahead_->SetBias(source.LookaheadBias);
        lookahead_->SetClearDelay(source.ClearDelay);
        encoder = lookahead_.get();
    } else {
        if (!lzw_) lzw_ = spareLzw ? std::move(spareLzw) : std::make_unique<TLZWEncoder>();
        encoder = lzw_.get();
    }
    encoder->Encode(stream, source);
    lastLargest_ = encoder->LargestPixel();
}

TMemoryStream& TImageDataWriter::Scratch() {
    if (!scratch_) scratch_ = std::make_unique<TMemoryStream>();
    scratch_->SetPosition(0);
    return *scratch_;
}

void EncodeImageData(TStream& stream, const TEncodeSource& source, TEncodingMethod method) {
    TImageDataWriter writer;
    writer.Write(stream, source, method);
}

} // namespace gif
