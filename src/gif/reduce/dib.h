// Row access to the pictures of a colour reduction: a reader that presents any bitmap
// as 8 or 24 bits, and a writer that builds an 8- or 24-bit device-independent picture
// and delivers it into a target bitmap.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "gif/graphics/bitmap.h"

namespace gif {

class TDIB {
public:
    TDIB(TPixelFormat format) : format_(format) {}
    virtual ~TDIB() = default;
    TDIB(const TDIB&) = delete;
    TDIB& operator=(const TDIB&) = delete;
    TPixelFormat PixelFormat() const { return format_; }

protected:
    TPixelFormat format_;
};

class TDIBReader : public TDIB {
public:
    // Presents `bitmap` at `format` (pf8bit or pf24bit, else "Unsupported PixelFormat");
    // a bitmap of another format is converted into a private copy, the source is untouched.
    TDIBReader(const TBitmap& bitmap, TPixelFormat format);
    int Width() const { return bitmap_->Width(); }
    int Height() const { return bitmap_->Height(); }
    // Row y, top row 0; raises "Scan line index out of range" outside the picture.
    const uint8_t* ScanLine(int y) const { return bitmap_->ScanLine(y); }

private:
    std::optional<TBitmap> converted_;
    const TBitmap* bitmap_;
};

class TDIBWriter : public TDIB {
public:
    // A writer for a `width` x `height` picture in `format` (pf8bit or pf24bit, else
    // "Unsupported PixelFormat"; zero or negative sizes give "Invalid image dimensions").
    // 8-bit pictures get a 256-entry colour table from `palette`.
    TDIBWriter(TBitmap& target, TPixelFormat format, int width, int height, HPALETTE palette);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Row y, top row 0. The picture is allocated on the first call ("Failed to allocate
    // memory for GIF DIB" when it cannot be); outside the rows: "Scan line index out of range".
    uint8_t* ScanLine(int y);
    // The picture built so far (information header, colour table, bottom-up rows);
    // "Image has no DIB" before the first row access.
    const std::vector<uint8_t>& DIB() const;
    // Assembles a bitmap file image from the picture and loads the target from it.
    // A writer destroyed without Commit leaves the target as it was.
    void Commit();

private:
    void Allocate();

    TBitmap& target_;
    int width_;
    int height_;
    HPALETTE palette_;
    size_t stride_ = 0;
    size_t bitsOffset_ = 0;
    std::vector<uint8_t> dib_;
    bool committed_ = false;
};

} // namespace gif
