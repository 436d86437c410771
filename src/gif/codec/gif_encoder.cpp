#include "gif/codec/gif_encoder.h"

#include "gif/base/exception.h"
#include "gif/base/messages.h"

#include <algorithm>

namespace gif {

void TGIFEncoder::Encode(TStream& stream, const TEncodeSource& source) {
    if (source.Bits > 8) throw GIFException(msg::InvalidBitsPerPixel);
    initCodeSize_ = std::max(source.Bits, 2);
    stream.WriteByte(uint8_t(initCodeSize_));

    pixels_ = source.Pixels;
    width_ = source.Width;
    height_ = source.Height;
    interlaced_ = source.Interlaced;
    initBits_ = initCodeSize_ + 1;
    codeSize_ = initBits_;
    maxCode_ = (1 << codeSize_) - 1;
    clearCode_ = 1 << initCodeSize_;
    endCode_ = clearCode_ + 1;
    // A pixel value at or above the clear code would be read back as a control code.
    colorLimit_ = std::min(source.ColorLimit, clearCode_);
    acc_ = 0;
    bitCount_ = 0;
    outLen_ = 0;
    largestPixel_ = -1;

    TGIFWriter writer(stream);
    writer_ = &writer;
    struct Detach {
        TGIFEncoder* self;
        ~Detach() { self->writer_ = nullptr; }
    } detach{this};
    const bool anyPixels = pixels_ && width_ > 0 && height_ > 0;
    if (anyPixels) Compress();
    if (endInLastByte_ && anyPixels) {
        if (bitCount_ > 0) PutByte(uint8_t(acc_ | uint64_t(endCode_) << bitCount_));
        acc_ = 0;
        bitCount_ = 0;
    } else {
        EmitCode(endCode_);
    }
    FlushOut();
    writer.Close();
    stream.WriteByte(0);
}

void TGIFEncoder::FlushOut() {
    if (outLen_ > 0) writer_->Write(out_, size_t(outLen_));
    outLen_ = 0;
}

void TGIFEncoder::ColorError() {
    FlushOut();
    throw GIFException(msg::ColorNotInTable);
}

size_t TGIFEncoder::ValidPixels(const uint8_t* p, size_t count) const {
    if (colorLimit_ >= 256) return count;
    const uint8_t limit = uint8_t(colorLimit_);
    size_t i = 0;
    // Blocks of 64 pixels by their largest value (a loop the compiler vectorises); only a
    // block holding a bad pixel is searched.
    for (; i + 64 <= count; i += 64) {
        uint8_t largest = 0;
        for (size_t j = 0; j < 64; ++j)
            largest = std::max(largest, p[i + j]);
        if (largest >= limit) break;
    }
    for (; i < count; ++i)
        if (p[i] >= limit) return i;
    return count;
}

std::vector<int> TGIFEncoder::RowOrder() const {
    std::vector<int> rows;
    rows.reserve(size_t(std::max(height_, 0)));
    if (!interlaced_) {
        for (int y = 0; y < height_; ++y)
            rows.push_back(y);
        return rows;
    }
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height_; y += kStep[pass])
            rows.push_back(y);
    return rows;
}

} // namespace gif
