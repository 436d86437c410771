#include "gif/graphics/bitmap.h"

#include <algorithm>
#include <cstring>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/graphics/canvas.h"
#include "gif/graphics/palettes.h"
#include "gif/graphics/picture.h"
#include "gif/graphics/pixel_access.h"

namespace gif {

int PixelFormatBits(TPixelFormat format) {
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit: return 15;
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    }
    return 24;
}

int64_t BytesPerScanLine(int width, TPixelFormat format) {
    int bits = format == pf15bit ? 16 : PixelFormatBits(format);
    return ((int64_t(width) * bits + 31) / 32) * 4;
}

bool IsIndexedFormat(TPixelFormat format) {
    return format == pf1bit || format == pf4bit || format == pf8bit;
}

void CheckBitmapSize(int width, int height) {
    if (width < 0 || height < 0) throw GIFException(msg::InvalidImageDimensions);
    if (width > MaxBitmapSide || height > MaxBitmapSide ||
        int64_t(width) * height > MaxBitmapPixels)
        throw GIFException(msg::BitmapTooLarge);
}

void CheckLoadedPictureSize(int width, int height) {
    CheckBitmapSize(width, height);
    if (width > MaxLoadedPictureSide || height > MaxLoadedPictureSide ||
        int64_t(width) * height > MaxLoadedPicturePixels)
        throw GIFException(msg::BitmapTooLarge);
}

HPALETTE DefaultPaletteFor(TPixelFormat format) {
    switch (format) {
    case pf1bit: return MakeMonochromePalette();
    case pf4bit: return MakeVGA16Palette();
    case pf8bit: return MakeHalftonePalette();
    default: return nullptr;
    }
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) {
    format_ = format;
    EnsureIndexedPalette();
    Reallocate(width, height, format, false);
}

// Copies take the picture, not the owner's event handlers.
TBitmap::TBitmap(const TBitmap& other) : TGraphic() {
    *this = other;
}

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this == &other) return *this;
    width_ = other.width_;
    height_ = other.height_;
    format_ = other.format_;
    stride_ = other.stride_;
    bits_ = other.bits_;
    palette_ = CopyPalette(other.palette_);
    transparentColor_ = other.transparentColor_;
    transparentMode_ = other.transparentMode_;
    SetTransparent(other.Transparent());
    return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::EnsureIndexedPalette() {
    if (!IsIndexedFormat(format_)) return;
    if (!palette_ || palette_->Entries.empty()) palette_ = DefaultPaletteFor(format_);
}

void TBitmap::Reallocate(int width, int height, TPixelFormat format, bool keepPixels) {
    CheckBitmapSize(width, height);
    auto stride = size_t(BytesPerScanLine(width, format));
    std::vector<uint8_t> bits(stride * size_t(height), 0);
    if (keepPixels && format == format_) {
        size_t rowBytes = std::min(stride, stride_);
        // Pixels past the old width inside the last shared byte are cleared below.
        int rows = std::min(height, height_);
        for (int y = 0; y < rows; ++y)
            std::memcpy(bits.data() + size_t(y) * stride, bits_.data() + size_t(y) * stride_,
                        rowBytes);
        if (width > width_ && rows > 0) {
            for (int y = 0; y < rows; ++y)
                for (int x = width_; x < width; ++x)
                    StorePixelValue(bits.data() + size_t(y) * stride, x, format, 0);
        }
    }
    width_ = width;
    height_ = height;
    format_ = format;
    stride_ = stride;
    bits_ = std::move(bits);
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    Reallocate(width, height, format_, true);
    Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == format_) return;
    ConvertTo(format);
    Changed(this);
}

void TBitmap::ConvertTo(TPixelFormat format) {
    TBitmap source(*this);
    HPALETTE oldPalette = palette_;
    HPALETTE palette;
    if (IsIndexedFormat(format)) {
        // Keep the present colour table when the new format can address all of it.
        size_t limit = size_t(1) << PixelFormatBits(format);
        if (palette_ && !palette_->Entries.empty() && palette_->Entries.size() <= limit &&
            IsIndexedFormat(format_))
            palette = palette_;
        else
            palette = DefaultPaletteFor(format);
    } else {
        palette = palette_;
    }
    palette_ = palette;
    Reallocate(width_, height_, format, false);
    if (Empty()) return;

    bool keepIndices = IsIndexedFormat(format) && IsIndexedFormat(source.format_) &&
                       palette_ == oldPalette;
    TPixelReader reader(source);
    TPixelWriter writer(*this);
    for (int y = 0; y < height_; ++y) {
        const uint8_t* src = source.ScanLine(y);
        uint8_t* dst = ScanLine(y);
        for (int x = 0; x < width_; ++x) {
            if (keepIndices)
                StorePixelValue(dst, x, format, LoadPixelValue(src, x, source.format_));
            else
                writer.Set(dst, x, reader.At(src, x));
        }
    }
}

void TBitmap::SetPalette(HPALETTE palette) {
    if (palette && IsIndexedFormat(format_)) {
        size_t limit = size_t(1) << PixelFormatBits(format_);
        if (palette->Entries.size() > limit) {
            palette = CopyPalette(palette);
            palette->Entries.resize(limit);
        }
    }
    palette_ = std::move(palette);
    EnsureIndexedPalette();
    PaletteModified = true;
    Changed(this);
}

uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= height_) throw GIFException(msg::ScanLineOutOfRange);
    return bits_.data() + size_t(y) * stride_;
}

const uint8_t* TBitmap::ScanLine(int y) const {
    if (y < 0 || y >= height_) throw GIFException(msg::ScanLineOutOfRange);
    return bits_.data() + size_t(y) * stride_;
}

uint32_t TBitmap::PixelValue(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return LoadPixelValue(bits_.data() + size_t(y) * stride_, x, format_);
}

TColor TBitmap::Pixels(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return clNone;
    return TPixelReader(*this).At(bits_.data() + size_t(y) * stride_, x);
}

void TBitmap::SetPixels(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    TPixelWriter(*this).Set(bits_.data() + size_t(y) * stride_, x, color);
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed) return transparentColor_;
    if (Empty()) return clNone;
    return Pixels(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
    transparentColor_ = color;
    transparentMode_ = color == clNone ? tmAuto : tmFixed;
}

std::unique_ptr<TBitmap> TBitmap::CreateMask(TColor color) const {
    if (Empty()) return nullptr;
    auto mask = std::make_unique<TBitmap>(width_, height_, pf1bit);
    color &= 0xFFFFFF;
    TPixelReader reader(*this);
    // For indexed formats decide once per table entry.
    std::array<bool, 256> indexMatches{};
    if (IsIndexedFormat(format_))
        for (size_t i = 0; i < 256; ++i) indexMatches[i] = reader.Table()[i] == color;
    for (int y = 0; y < height_; ++y) {
        const uint8_t* src = ScanLine(y);
        uint8_t* dst = mask->ScanLine(y);
        for (int x = 0; x < width_; ++x) {
            bool match = IsIndexedFormat(format_)
                             ? indexMatches[LoadPixelValue(src, x, format_) & 0xFF]
                             : reader.At(src, x) == color;
            if (match) dst[x >> 3] = uint8_t(dst[x >> 3] | (0x80 >> (x & 7)));
        }
    }
    return mask;
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TCanvas>(*this);
    return *canvas_;
}

void TBitmap::Assign(const TPersistent* source) {
    if (source == this) return;
    if (auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        *this = *bitmap;
        Changed(this);
        return;
    }
    if (auto* picture = dynamic_cast<const TPicture*>(source)) {
        if (picture->Graphic()) Assign(picture->Graphic());
        else Assign(static_cast<const TPersistent*>(nullptr));
        return;
    }
    if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
        palette_.reset();
        transparentMode_ = tmAuto;
        Reallocate(0, 0, pf24bit, false);
        if (!graphic->Empty()) {
            Reallocate(graphic->Width(), graphic->Height(), pf24bit, false);
            TCanvas& canvas = Canvas();
            canvas.Brush.Color = clWhite;
            canvas.FillRect(Rect(0, 0, width_, height_));
            // Drawing does not change the picture, but the platform's Draw is not const.
            const_cast<TGraphic*>(graphic)->Draw(canvas, Rect(0, 0, width_, height_));
        }
        Changed(this);
        return;
    }
    if (!source) {
        palette_.reset();
        Reallocate(0, 0, format_, false);
        EnsureIndexedPalette();
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
    if (Empty()) return;
    std::unique_ptr<TBitmap> mask = Transparent() ? MaskBitmap() : nullptr;
    canvas.StretchBlt(rect, *this, Rect(0, 0, width_, height_), mask.get());
}

void TBitmap::AdoptPixels(int width, int height, TPixelFormat format, std::vector<uint8_t> bits,
                          HPALETTE palette) {
    CheckBitmapSize(width, height);
    auto stride = size_t(BytesPerScanLine(width, format));
    if (bits.size() != stride * size_t(height)) throw GIFException(msg::InvalidBitmap);
    width_ = width;
    height_ = height;
    format_ = format;
    stride_ = stride;
    bits_ = std::move(bits);
    palette_ = std::move(palette);
    EnsureIndexedPalette();
    Changed(this);
}

} // namespace gif
