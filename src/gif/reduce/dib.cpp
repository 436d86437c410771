#include "gif/reduce/dib.h"

#include <new>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/graphics/palettes.h"

namespace gif {

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr size_t InfoHeaderSize = 40;

void Set16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Set32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

void CheckFormat(TPixelFormat format) {
    if (format != pf8bit && format != pf24bit) throw GIFException(msg::UnsupportedPixelFormat);
}

} // namespace

TDIBReader::TDIBReader(const TBitmap& bitmap, TPixelFormat format) : TDIB(format) {
    CheckFormat(format);
    if (bitmap.PixelFormat() == format) {
        bitmap_ = &bitmap;
    } else {
        converted_.emplace(bitmap);
        converted_->SetPixelFormat(format);
        bitmap_ = &*converted_;
    }
}

TDIBWriter::TDIBWriter(TBitmap& target, TPixelFormat format, int width, int height,
                       HPALETTE palette)
    : TDIB(format), target_(target), width_(width), height_(height),
      palette_(std::move(palette)) {
    CheckFormat(format);
    if (width <= 0 || height <= 0) throw GIFException(msg::InvalidImageDimensions);
    CheckBitmapSize(width, height);
}

void TDIBWriter::Allocate() {
    stride_ = size_t(BytesPerScanLine(width_, format_));
    size_t table = format_ == pf8bit ? 256 * 4 : 0;
    bitsOffset_ = InfoHeaderSize + table;
    try {
        dib_.assign(bitsOffset_ + stride_ * size_t(height_), 0);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(msg::DIBAllocFailed);
    }
    uint8_t* h = dib_.data();
    Set32(h, uint32_t(InfoHeaderSize));
    Set32(h + 4, uint32_t(width_));
    Set32(h + 8, uint32_t(height_));   // positive: rows stored bottom-up
    Set16(h + 12, 1);
    Set16(h + 14, format_ == pf8bit ? 8 : 24);
    Set32(h + 16, 0);                  // no compression
    Set32(h + 20, uint32_t(stride_ * size_t(height_)));
    if (format_ == pf8bit) {
        int count = palette_ ? std::min(palette_->Count(), 256) : 0;
        Set32(h + 32, 256);
        Set32(h + 36, uint32_t(count));
        if (palette_) {
            std::vector<uint8_t> quads = PaletteToColorTable(*palette_, 256);
            std::copy(quads.begin(), quads.end(), h + InfoHeaderSize);
        }
    }
}

uint8_t* TDIBWriter::ScanLine(int y) {
    if (dib_.empty()) Allocate();
    if (y < 0 || y >= height_) throw GIFException(msg::ScanLineOutOfRange);
    return dib_.data() + bitsOffset_ + size_t(height_ - 1 - y) * stride_;
}

const std::vector<uint8_t>& TDIBWriter::DIB() const {
    if (dib_.empty()) throw GIFException(msg::NoDIB);
    return dib_;
}

void TDIBWriter::Commit() {
    if (committed_) return;
    if (dib_.empty()) Allocate();
    std::vector<uint8_t> file(FileHeaderSize);
    Set16(file.data(), 0x4D42);   // "BM"
    Set32(file.data() + 2, uint32_t(FileHeaderSize + dib_.size()));
    Set32(file.data() + 10, uint32_t(FileHeaderSize + bitsOffset_));
    file.insert(file.end(), dib_.begin(), dib_.end());
    dib_.clear();
    dib_.shrink_to_fit();
    TMemoryStream stream(std::move(file));
    target_.LoadFromStream(stream);
    committed_ = true;
}

} // namespace gif
