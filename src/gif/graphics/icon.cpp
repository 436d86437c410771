#include "gif/graphics/icon.h"

#include <cstring>
#include <vector>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/graphics/canvas.h"

namespace gif {

namespace {

constexpr size_t DirHeaderSize = 6;
constexpr size_t DirEntrySize = 16;

uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
           (uint32_t(p[3]) << 24);
}
uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
void Set32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

[[noreturn]] void Damaged() { throw GIFException(msg::InvalidIcon); }

} // namespace

TIcon::TIcon() : image_(0, 0, pf32bit) {}

TIcon::TIcon(const TIcon& other) : TGraphic(), image_(other.image_), mask_(other.mask_) {}

TIcon& TIcon::operator=(const TIcon& other) {
    image_ = other.image_;
    mask_ = other.mask_;
    return *this;
}

void TIcon::SetWidth(int value) {
    image_.SetWidth(value);
    mask_.SetWidth(value);
    Changed(this);
}

void TIcon::SetHeight(int value) {
    image_.SetHeight(value);
    mask_.SetHeight(value);
    Changed(this);
}

void TIcon::SetImage(const TBitmap& image, const TBitmap* mask) {
    image_ = image;
    if (mask && mask->Width() == image.Width() && mask->Height() == image.Height()) {
        mask_ = *mask;
        mask_.SetPixelFormat(pf1bit);
    } else {
        mask_ = TBitmap(image.Width(), image.Height(), pf1bit);
    }
    Changed(this);
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
    if (Empty()) return;
    canvas.MaskedStretchDraw(rect, image_, mask_);
}

void TIcon::Assign(const TPersistent* source) {
    if (auto* icon = dynamic_cast<const TIcon*>(source)) {
        if (icon != this) *this = *icon;
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}

void TIcon::LoadFromStream(TStream& stream) {
    int64_t start = stream.Position();
    int64_t size = stream.Size() - start;
    if (size < int64_t(DirHeaderSize)) Damaged();
    std::vector<uint8_t> data(static_cast<size_t>(size));
    stream.ReadBuffer(data.data(), data.size());
    const uint8_t* d = data.data();
    uint16_t count = Get16(d + 4);
    if (Get16(d) != 0 || Get16(d + 2) != 1 || count == 0 || count > MaxIconImages) Damaged();
    if (DirHeaderSize + size_t(count) * DirEntrySize > data.size()) Damaged();

    // Pick the largest image, then the deepest.
    int best = -1;
    int64_t bestArea = -1;
    int bestBits = -1;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = d + DirHeaderSize + size_t(i) * DirEntrySize;
        int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
        int bits = Get16(e + 6);
        if (int64_t(w) * h > bestArea || (int64_t(w) * h == bestArea && bits > bestBits)) {
            best = i;
            bestArea = int64_t(w) * h;
            bestBits = bits;
        }
    }
    const uint8_t* e = d + DirHeaderSize + size_t(best) * DirEntrySize;
    uint64_t bytes = Get32(e + 8), offset = Get32(e + 12);
    if (offset < DirHeaderSize || offset + bytes > data.size() || bytes < 40) Damaged();
    std::vector<uint8_t> dib(data.begin() + int64_t(offset),
                             data.begin() + int64_t(offset + bytes));
    if (dib[0] == 0x89 && dib[1] == 'P') throw GIFException(msg::UnsupportedBitmap);

    uint32_t headerSize = Get32(dib.data());
    int32_t width = int32_t(Get32(dib.data() + 4));
    int32_t doubled = int32_t(Get32(dib.data() + 8));
    uint16_t bitCount = Get16(dib.data() + 14);
    uint32_t colorsUsed = Get32(dib.data() + 32);
    if (headerSize < 40 || headerSize > dib.size() || width <= 0 || width > MaxIconSide ||
        doubled <= 0 || doubled % 2 != 0 || doubled / 2 > MaxIconSide)
        Damaged();
    int height = doubled / 2;
    Set32(dib.data() + 8, uint32_t(height));   // the colour image is the first half
    TBitmap image;
    image.LoadFromDIB(dib);

    uint64_t table = bitCount <= 8 ? (colorsUsed ? colorsUsed : (uint64_t(1) << bitCount)) : 0;
    uint64_t masks = Get32(dib.data() + 16) == 3 && headerSize < 52 ? 12 : 0;
    uint64_t colorStride = ((uint64_t(width) * bitCount + 31) / 32) * 4;
    uint64_t maskAt = headerSize + masks + table * 4 + colorStride * uint64_t(height);
    size_t maskStride = size_t(BytesPerScanLine(width, pf1bit));
    std::vector<uint8_t> maskBits(maskStride * size_t(height), 0);
    // Some writers leave the AND mask out of 32-bit icons; then the alpha channel decides.
    bool hasMask = maskAt + maskStride * size_t(height) <= dib.size();
    if (hasMask)
        for (int y = 0; y < height; ++y)
            std::memcpy(maskBits.data() + size_t(y) * maskStride,
                        dib.data() + maskAt + size_t(height - 1 - y) * maskStride, maskStride);
    if (image.PixelFormat() == pf32bit) {
        bool anyAlpha = false;
        for (int y = 0; y < height && !anyAlpha; ++y)
            for (int x = 0; x < width && !anyAlpha; ++x) anyAlpha = image.ScanLine(y)[4 * x + 3];
        if (anyAlpha)
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    if (image.ScanLine(y)[4 * x + 3] < 128)
                        maskBits[size_t(y) * maskStride + size_t(x >> 3)] |=
                            uint8_t(0x80 >> (x & 7));
    }
    TBitmap mask;
    mask.AdoptPixels(width, height, pf1bit, std::move(maskBits), nullptr);
    image_ = std::move(image);
    mask_ = std::move(mask);
    Changed(this);
}

void TIcon::SaveToStream(TStream& stream) {
    if (Empty()) return;
    std::vector<uint8_t> dib = image_.SaveToDIB();
    Set32(dib.data() + 8, uint32_t(image_.Height() * 2));
    size_t maskStride = size_t(BytesPerScanLine(Width(), pf1bit));
    for (int y = Height() - 1; y >= 0; --y) {
        const uint8_t* row = mask_.ScanLine(y);
        dib.insert(dib.end(), row, row + maskStride);
    }
    Set32(dib.data() + 20, 0);   // image size: left to the reader for the pair

    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(uint8_t(Width() >= 256 ? 0 : Width()));
    out.push_back(uint8_t(Height() >= 256 ? 0 : Height()));
    int bits = image_.PixelFormat() == pf15bit ? 16 : PixelFormatBits(image_.PixelFormat());
    out.push_back(uint8_t(bits <= 4 ? (1 << bits) : 0));
    out.push_back(0);
    Put16(out, 1);
    Put16(out, uint16_t(bits));
    Put32(out, uint32_t(dib.size()));
    Put32(out, uint32_t(DirHeaderSize + DirEntrySize));
    stream.WriteBuffer(out.data(), out.size());
    stream.WriteBuffer(dib.data(), dib.size());
}

} // namespace gif
