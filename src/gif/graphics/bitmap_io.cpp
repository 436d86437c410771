// Windows bitmap files and packed device-independent bitmaps for TBitmap.
//
// Reading trusts nothing: every size field is checked against the data that is really
// there and against the bitmap limits before memory is allocated, and the RLE decoders
// clip every write to the picture.
#include <bit>
#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/palettes.h"
#include "gif/graphics/pixel_access.h"

namespace gif {

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr size_t FileHeaderSize = 14;
constexpr size_t InfoHeaderSize = 40;
constexpr uint16_t BitmapMagic = 0x4D42;   // "BM"

uint16_t Get16(std::span<const uint8_t> d, size_t at) {
    return uint16_t(d[at] | (d[at + 1] << 8));
}
uint32_t Get32(std::span<const uint8_t> d, size_t at) {
    return uint32_t(d[at]) | (uint32_t(d[at + 1]) << 8) | (uint32_t(d[at + 2]) << 16) |
           (uint32_t(d[at + 3]) << 24);
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

[[noreturn]] void Damaged() { throw GIFException(msg::InvalidBitmap); }
[[noreturn]] void Unsupported() { throw GIFException(msg::UnsupportedBitmap); }

// One colour channel described by a bit mask, widened to 8 bits on reading.
struct TChannelMask {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;

    explicit TChannelMask(uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        width = std::popcount(m);
        if (width < 32 && (m >> shift) != (uint32_t(1) << width) - 1) Unsupported();
    }
    uint8_t Read(uint32_t pixel) const {
        if (width == 0) return 0;
        uint32_t v = (pixel & mask) >> shift;
        if (width >= 8) return uint8_t(v >> (width - 8));
        uint32_t max = (uint32_t(1) << width) - 1;
        return uint8_t((v * 255 + max / 2) / max);
    }
};

// Decodes run-length encoded rows (bottom-up in the data) into top-down `bits`.
// Runs and literals that leave the picture are clipped; data ending inside a command
// is refused.
void DecodeRLE(std::span<const uint8_t> data, bool fourBit, int width, int height,
               size_t stride, std::vector<uint8_t>& bits) {
    TPixelFormat format = fourBit ? pf4bit : pf8bit;
    size_t pos = 0;
    int x = 0, line = 0;   // line 0 is the bottom row
    auto put = [&](uint32_t value) {
        if (x >= width || line >= height) return;   // clipped; x stays at the edge
        StorePixelValue(bits.data() + size_t(height - 1 - line) * stride, x, format, value);
        ++x;
    };
    auto need = [&](size_t n) {
        if (data.size() - pos < n) Damaged();
    };
    while (pos < data.size() && line < height) {
        need(2);
        uint8_t count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(fourBit ? ((i & 1) ? (value & 0x0Fu) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {           // end of line
            x = 0;
            ++line;
        } else if (value == 1) {    // end of bitmap
            break;
        } else if (value == 2) {    // move right and up
            need(2);
            x = std::min(x + data[pos], width);
            line += data[pos + 1];
            pos += 2;
        } else {                    // literal run of `value` pixels, padded to a word
            size_t bytes = fourBit ? (size_t(value) + 1) / 2 : value;
            need(bytes);
            for (int i = 0; i < value; ++i) {
                uint8_t b = data[pos + (fourBit ? size_t(i) / 2 : size_t(i))];
                put(fourBit ? ((i & 1) ? (b & 0x0Fu) : (b >> 4)) : b);
            }
            pos += bytes + (bytes & 1);
            if (pos > data.size()) pos = data.size();
        }
    }
}

struct TParsedDIB {
    int width = 0;
    int height = 0;
    TPixelFormat format = pf24bit;
    std::vector<uint8_t> bits;
    HPALETTE palette;
    size_t end = 0;   // offset just past the pixel data
};

// Parses a DIB: information header, masks, colour table and pixels. `bitsOffset`
// overrides where the pixels start (the file header's offset), relative to `dib`. A file's
// picture is held to the limits of loaded pictures, data in memory to the bitmap limits.
TParsedDIB ParseDIB(std::span<const uint8_t> dib, std::optional<uint64_t> bitsOffset) {
    if (dib.size() < 4) Damaged();
    uint32_t headerSize = Get32(dib, 0);
    if (headerSize == 12) Unsupported();   // OS/2 core header
    if (headerSize < InfoHeaderSize || headerSize > dib.size()) Damaged();
    int32_t width = int32_t(Get32(dib, 4));
    int32_t rawHeight = int32_t(Get32(dib, 8));
    uint16_t planes = Get16(dib, 12);
    uint16_t bitCount = Get16(dib, 14);
    uint32_t compression = Get32(dib, 16);
    uint32_t sizeImage = Get32(dib, 20);
    uint32_t colorsUsed = Get32(dib, 32);

    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || planes != 1) Damaged();
    bool topDown = rawHeight < 0;
    int height = topDown ? -rawHeight : rawHeight;

    switch (compression) {
    case BI_RGB:
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 &&
            bitCount != 24 && bitCount != 32)
            Damaged();
        break;
    case BI_RLE8:
        if (bitCount != 8 || topDown) Damaged();
        break;
    case BI_RLE4:
        if (bitCount != 4 || topDown) Damaged();
        break;
    case BI_BITFIELDS:
        if (bitCount != 16 && bitCount != 32) Damaged();
        break;
    default: Unsupported();
    }
    if (bitsOffset)
        CheckLoadedPictureSize(width, height);
    else
        CheckBitmapSize(width, height);

    uint64_t pos = headerSize;
    uint32_t masks[3] = {0, 0, 0};
    if (compression == BI_BITFIELDS) {
        size_t at = headerSize >= 52 ? InfoHeaderSize : headerSize;
        if (at + 12 > dib.size()) Damaged();
        for (int i = 0; i < 3; ++i) masks[i] = Get32(dib, at + 4 * size_t(i));
        if (headerSize < 52) pos += 12;
    }

    TParsedDIB out;
    out.width = width;
    out.height = height;
    uint64_t tableEntries = colorsUsed;
    if (bitCount <= 8) {
        if (tableEntries == 0) tableEntries = uint64_t(1) << bitCount;
        if (tableEntries > 256) Damaged();
        if (pos + tableEntries * 4 > dib.size()) Damaged();
        size_t used = size_t(std::min<uint64_t>(tableEntries, uint64_t(1) << bitCount));
        out.palette = PaletteFromColorTable(dib.subspan(size_t(pos), used * 4));
    } else if (!bitsOffset && pos + tableEntries * 4 > dib.size()) {
        Damaged();
    }
    pos += tableEntries * 4;

    if (bitsOffset) {
        if (*bitsOffset < headerSize || *bitsOffset > dib.size()) Damaged();
        pos = *bitsOffset;
    }

    // The stored format and the one the bitmap gets.
    enum class Decode { Copy, Masks } decode = Decode::Copy;
    switch (bitCount) {
    case 1: out.format = pf1bit; break;
    case 4: out.format = pf4bit; break;
    case 8: out.format = pf8bit; break;
    case 24: out.format = pf24bit; break;
    case 16:
        out.format = pf15bit;
        if (compression == BI_BITFIELDS) {
            if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F)
                out.format = pf16bit;
            else if (!(masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F))
                decode = Decode::Masks;
        }
        break;
    case 32:
        out.format = pf32bit;
        if (compression == BI_BITFIELDS &&
            !(masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF))
            decode = Decode::Masks;
        break;
    }
    if (decode == Decode::Masks) out.format = pf24bit;

    size_t stride = size_t(BytesPerScanLine(width, out.format));
    out.bits.assign(stride * size_t(height), 0);

    if (compression == BI_RLE8 || compression == BI_RLE4) {
        uint64_t available = dib.size() - pos;
        if (sizeImage != 0 && sizeImage < available) available = sizeImage;
        DecodeRLE(dib.subspan(size_t(pos), size_t(available)), compression == BI_RLE4, width,
                  height, stride, out.bits);
        out.end = size_t(pos + available);
        return out;
    }

    size_t srcStride = size_t(BytesPerScanLine(width, bitCount == 16 ? pf16bit
                                                      : bitCount == 32 ? pf32bit
                                                      : out.format));
    uint64_t needed = uint64_t(srcStride) * uint64_t(height);
    if (pos + needed > dib.size()) Damaged();
    const uint8_t* base = dib.data() + pos;
    TChannelMask red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = base + size_t(topDown ? y : height - 1 - y) * srcStride;
        uint8_t* dst = out.bits.data() + size_t(y) * stride;
        if (decode == Decode::Copy) {
            std::memcpy(dst, src, std::min(stride, srcStride));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            uint32_t px = bitCount == 16 ? uint32_t(src[2 * x] | (src[2 * x + 1] << 8))
                                         : uint32_t(Get32({src, srcStride}, 4 * size_t(x)));
            dst[3 * x] = blue.Read(px);
            dst[3 * x + 1] = green.Read(px);
            dst[3 * x + 2] = red.Read(px);
        }
    }
    out.end = size_t(pos + needed);
    return out;
}

} // namespace

void TBitmap::LoadFromDIB(std::span<const uint8_t> dib) {
    if (dib.empty()) {
        AdoptPixels(0, 0, format_, {}, nullptr);
        return;
    }
    TParsedDIB parsed = ParseDIB(dib, std::nullopt);
    transparentMode_ = tmAuto;
    AdoptPixels(parsed.width, parsed.height, parsed.format, std::move(parsed.bits),
                std::move(parsed.palette));
}

std::vector<uint8_t> TBitmap::DIBHeader() const {
    std::vector<uint8_t> out;
    if (Empty()) return out;
    int bitCount = format_ == pf15bit ? 16 : PixelFormatBits(format_);
    bool bitfields = format_ == pf16bit;
    int entries = 0;
    if (IsIndexedFormat(format_)) {
        entries = palette_ ? int(palette_->Entries.size()) : 0;
        if (entries == 0) entries = 1 << bitCount;
    }
    size_t imageSize = stride_ * size_t(height_);
    out.reserve(InfoHeaderSize + 12 + size_t(entries) * 4);
    Put32(out, uint32_t(InfoHeaderSize));
    Put32(out, uint32_t(width_));
    Put32(out, uint32_t(height_));   // positive: rows bottom-up
    Put16(out, 1);
    Put16(out, uint16_t(bitCount));
    Put32(out, bitfields ? BI_BITFIELDS : BI_RGB);
    Put32(out, uint32_t(imageSize));
    Put32(out, 2835);                // 72 dots per inch
    Put32(out, 2835);
    Put32(out, uint32_t(entries));
    Put32(out, 0);
    if (bitfields) {
        Put32(out, 0xF800);
        Put32(out, 0x07E0);
        Put32(out, 0x001F);
    }
    if (entries > 0) {
        HPALETTE table = palette_ && !palette_->Entries.empty() ? palette_
                                                                : DefaultPaletteFor(format_);
        std::vector<uint8_t> quads = PaletteToColorTable(*table, entries);
        out.insert(out.end(), quads.begin(), quads.end());
    }
    return out;
}

std::vector<uint8_t> TBitmap::SaveToDIB() const {
    std::vector<uint8_t> out = DIBHeader();
    if (out.empty()) return out;
    out.reserve(out.size() + stride_ * size_t(height_));
    for (int y = height_ - 1; y >= 0; --y) {
        const uint8_t* row = bits_.data() + size_t(y) * stride_;
        out.insert(out.end(), row, row + stride_);
    }
    return out;
}

void TBitmap::LoadFromStream(TStream& stream) {
    int64_t start = stream.Position();
    int64_t remaining = stream.Size() - start;
    if (remaining <= 0) {
        AdoptPixels(0, 0, format_, {}, nullptr);
        return;
    }
    if (remaining < int64_t(FileHeaderSize + InfoHeaderSize)) Damaged();
    std::vector<uint8_t> data(static_cast<size_t>(remaining));
    stream.ReadBuffer(data.data(), data.size());
    std::span<const uint8_t> bytes(data);
    if (Get16(bytes, 0) != BitmapMagic) Damaged();
    uint32_t offBits = Get32(bytes, 10);
    if (offBits < FileHeaderSize) Damaged();
    TParsedDIB parsed = ParseDIB(bytes.subspan(FileHeaderSize), uint64_t(offBits) - FileHeaderSize);
    stream.SetPosition(start + int64_t(FileHeaderSize + parsed.end));
    transparentMode_ = tmAuto;
    AdoptPixels(parsed.width, parsed.height, parsed.format, std::move(parsed.bits),
                std::move(parsed.palette));
}

void TBitmap::SaveToStream(TStream& stream) { WriteFile(stream); }

void TBitmap::WriteFile(TStream& stream) const {
    const std::vector<uint8_t> dibHeader = DIBHeader();
    if (dibHeader.empty()) return;
    const size_t imageSize = stride_ * size_t(height_);
    std::vector<uint8_t> header;
    header.reserve(FileHeaderSize);
    Put16(header, BitmapMagic);
    Put32(header, uint32_t(FileHeaderSize + dibHeader.size() + imageSize));
    Put32(header, 0);
    Put32(header, uint32_t(FileHeaderSize + dibHeader.size()));
    stream.WriteBuffer(header.data(), header.size());
    stream.WriteBuffer(dibHeader.data(), dibHeader.size());
    // Row by row from the pixels: a screen-sized picture is not copied once more.
    for (int y = height_ - 1; y >= 0; --y)
        stream.WriteBuffer(bits_.data() + size_t(y) * stride_, stride_);
}

} // namespace gif
