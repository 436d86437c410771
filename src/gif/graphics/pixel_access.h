// Reading and writing single pixels of any bitmap format as colours. Used by the
// bitmap's conversions and by the canvas; hot paths for 24/32-bit targets bypass it.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>

#include "gif/graphics/bitmap.h"

namespace gif {

// Raw value of pixel x of a row: the index for indexed formats, the packed word otherwise.
uint32_t LoadPixelValue(const uint8_t* row, int x, TPixelFormat format);
// Stores a raw value as produced by LoadPixelValue or TPixelWriter::Encode.
void StorePixelValue(uint8_t* row, int x, TPixelFormat format, uint32_t value);

// Converts pixels of one bitmap to colours. Indices past the colour table read as black.
class TPixelReader {
public:
    explicit TPixelReader(const TBitmap& bitmap);
    // Colour of pixel x of `row`, a row of the bitmap given to the constructor.
    TColor At(const uint8_t* row, int x) const;
    // Colour of a raw pixel value.
    TColor Decode(uint32_t value) const;
    // The colour table padded with black to 256 entries.
    const std::array<TColor, 256>& Table() const { return table_; }

private:
    TPixelFormat format_;
    std::array<TColor, 256> table_{};
};

// Converts colours to pixels of one bitmap; indexed formats take the nearest table entry
// (remembered per colour, so repeated colours are not searched again).
class TPixelWriter {
public:
    explicit TPixelWriter(const TBitmap& bitmap);
    // Raw value that stands for `color` in the bitmap's format.
    uint32_t Encode(TColor color);
    // Writes `color` to pixel x of `row`.
    void Set(uint8_t* row, int x, TColor color) { StorePixelValue(row, x, format_, Encode(color)); }

private:
    TPixelFormat format_;
    HPALETTE palette_;
    std::unordered_map<TColor, uint32_t> nearest_;
};

} // namespace gif
