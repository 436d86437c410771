// What the LZW and the run-length encoder share: code sizes, the bit output and the
// order in which the pixels of a frame are visited.
#pragma once

#include "gif/codec/image_data_writer.h"
#include "gif/codec/sub_block_writer.h"

#include <cstdint>
#include <vector>

namespace gif {

class TGIFEncoder {
  public:
    virtual ~TGIFEncoder() = default;

    // Writes the minimum code size byte, the compressed pixels as sub-blocks and the
    // block terminator. Raises "Color not in color table" for a pixel at or above the
    // colour limit; the sub-blocks completed before it stay written.
    void Encode(TStream& stream, const TEncodeSource& source);
    // The largest pixel of the last Encode when the encoder looked at every pixel for it
    // anyway (the LZW encoder does), else -1.
    int LargestPixel() const { return largestPixel_; }

  protected:
    // Compresses every pixel; the caller emits the end code afterwards.
    virtual void Compress() = 0;

    // Puts `code` above the bits held, at the current code size; whole bytes go out.
    // The end code also sends the last partial byte, padded with 0 bits.
    void EmitCode(int code) {
        acc_ |= uint64_t(code) << bitCount_;
        bitCount_ += codeSize_;
        while (bitCount_ >= 8) {
            PutByte(uint8_t(acc_));
            acc_ >>= 8;
            bitCount_ -= 8;
        }
        if (code == endCode_ && bitCount_ > 0) {
            PutByte(uint8_t(acc_));
            acc_ = 0;
            bitCount_ = 0;
        }
    }
    void PutByte(uint8_t byte) {
        out_[outLen_++] = byte;
        if (outLen_ >= kOutBatch) FlushOut();
    }
    // Hands the gathered bytes to the sub-block writer.
    void FlushOut();
    // Raises "Color not in color table" after handing over the bytes gathered so far,
    // so that the stream holds exactly the sub-blocks completed before the bad pixel.
    [[noreturn]] void ColorError();

    // How many of the `count` pixels at `p` come before the first one at or above the
    // colour limit (all of them when none is).
    size_t ValidPixels(const uint8_t* p, size_t count) const;

    // The rows in the order they are stored: top to bottom, or the four interlace
    // passes (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1).
    std::vector<int> RowOrder() const;
    const uint8_t* Row(int y) const { return pixels_ + size_t(y) * size_t(width_); }

    // Bytes gathered before they reach the writer; the slack lets hot loops store a
    // whole 64-bit word at the end.
    static constexpr int kOutBatch = 4096;
    static constexpr int kOutSlack = 64;

    const uint8_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool interlaced_ = false;
    int colorLimit_ = 0;   // every pixel must be below it (never above ClearCode)
    int initCodeSize_ = 0; // s: the minimum code size written to the stream
    int initBits_ = 0;     // s + 1
    int codeSize_ = 0;     // bits per code now
    int maxCode_ = 0;      // the largest code of the current size
    int clearCode_ = 0;    // K = 2^s
    int endCode_ = 0;      // E = K + 1
    // Send the end code only in the bits left over in the last byte: once every pixel is
    // out, a decoder stops by itself, so a byte that would hold nothing but the end code
    // is left out.
    bool endInLastByte_ = false;
    int largestPixel_ = -1;
    uint64_t acc_ = 0;
    int bitCount_ = 0;
    uint8_t out_[kOutBatch + kOutSlack]; // written before read
    int outLen_ = 0;
    TGIFWriter* writer_ = nullptr;
};

} // namespace gif
