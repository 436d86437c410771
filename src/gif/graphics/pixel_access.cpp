#include "gif/graphics/pixel_access.h"

#include "gif/graphics/palettes.h"

namespace gif {

namespace {

constexpr uint8_t Expand5(uint32_t v) { return uint8_t((v << 3) | (v >> 2)); }
constexpr uint8_t Expand6(uint32_t v) { return uint8_t((v << 2) | (v >> 4)); }

} // namespace

uint32_t LoadPixelValue(const uint8_t* row, int x, TPixelFormat format) {
    switch (format) {
    case pf1bit: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case pf4bit: return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case pf8bit: return row[x];
    case pf15bit:
    case pf16bit: return uint32_t(row[2 * x]) | (uint32_t(row[2 * x + 1]) << 8);
    case pf24bit:
        return uint32_t(row[3 * x]) | (uint32_t(row[3 * x + 1]) << 8) |
               (uint32_t(row[3 * x + 2]) << 16);
    case pf32bit:
        return uint32_t(row[4 * x]) | (uint32_t(row[4 * x + 1]) << 8) |
               (uint32_t(row[4 * x + 2]) << 16);
    }
    return 0;
}

void StorePixelValue(uint8_t* row, int x, TPixelFormat format, uint32_t value) {
    switch (format) {
    case pf1bit: {
        uint8_t bit = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = (value & 1) ? uint8_t(row[x >> 3] | bit) : uint8_t(row[x >> 3] & ~bit);
        break;
    }
    case pf4bit:
        if (x & 1) row[x >> 1] = uint8_t((row[x >> 1] & 0xF0) | (value & 0x0F));
        else row[x >> 1] = uint8_t((row[x >> 1] & 0x0F) | ((value & 0x0F) << 4));
        break;
    case pf8bit: row[x] = uint8_t(value); break;
    case pf15bit:
    case pf16bit:
        row[2 * x] = uint8_t(value);
        row[2 * x + 1] = uint8_t(value >> 8);
        break;
    case pf24bit:
        row[3 * x] = uint8_t(value);
        row[3 * x + 1] = uint8_t(value >> 8);
        row[3 * x + 2] = uint8_t(value >> 16);
        break;
    case pf32bit:
        row[4 * x] = uint8_t(value);
        row[4 * x + 1] = uint8_t(value >> 8);
        row[4 * x + 2] = uint8_t(value >> 16);
        row[4 * x + 3] = 0;
        break;
    }
}

TPixelReader::TPixelReader(const TBitmap& bitmap) : format_(bitmap.PixelFormat()) {
    if (const HPALETTE& pal = bitmap.ColorTable(); pal && IsIndexedFormat(format_)) {
        size_t n = std::min<size_t>(pal->Entries.size(), 256);
        for (size_t i = 0; i < n; ++i) table_[i] = pal->ColorAt(int(i));
    }
}

TColor TPixelReader::Decode(uint32_t v) const {
    switch (format_) {
    case pf1bit:
    case pf4bit:
    case pf8bit: return table_[v & 0xFF];
    case pf15bit: return RGB(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
    case pf16bit: return RGB(Expand5((v >> 11) & 31), Expand6((v >> 5) & 63), Expand5(v & 31));
    case pf24bit:
    case pf32bit: return RGB(uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v));
    }
    return clBlack;
}

TColor TPixelReader::At(const uint8_t* row, int x) const {
    return Decode(LoadPixelValue(row, x, format_));
}

TPixelWriter::TPixelWriter(const TBitmap& bitmap)
    : format_(bitmap.PixelFormat()), palette_(bitmap.ColorTable()) {}

uint32_t TPixelWriter::Encode(TColor c) {
    uint32_t r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    switch (format_) {
    case pf1bit:
    case pf4bit:
    case pf8bit: {
        TColor key = c & 0xFFFFFF;
        if (auto it = nearest_.find(key); it != nearest_.end()) return it->second;
        int index = palette_ ? NearestPaletteIndex(*palette_, key) : -1;
        uint32_t value = index < 0 ? 0u : uint32_t(index);
        nearest_.emplace(key, value);
        return value;
    }
    case pf15bit: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case pf16bit: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    case pf24bit:
    case pf32bit: return (r << 16) | (g << 8) | b;
    }
    return 0;
}

} // namespace gif
