// A device-independent bitmap: what the platform's bitmap class provided.
// Rows are stored top-down, each padded to a multiple of 4 bytes; 24-bit pixels are
// blue, green, red and 32-bit pixels blue, green, red, reserved, as in Windows DIBs.
// 15-bit pixels are 5-5-5 and 16-bit pixels 5-6-5 little-endian words (blue in the low bits).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "gif/graphics/graphic.h"

namespace gif {

enum TPixelFormat : uint8_t { pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

enum TTransparentMode : uint8_t { tmAuto, tmFixed };

// Size limits checked before any pixel memory is allocated.
inline constexpr int MaxBitmapSide = 65535;
inline constexpr int64_t MaxBitmapPixels = int64_t(1) << 28;

// Pictures read from files (bitmaps, metafiles) keep to the imaging control's limits: a
// file of a few bytes can declare any size (run-length data, a metafile's header), and
// every declared pixel costs memory and work later on (conversion, colour reduction).
inline constexpr int MaxLoadedPictureSide = 16384;
inline constexpr int64_t MaxLoadedPicturePixels = int64_t(32) << 20;

// Bits per pixel of a format (15 for pf15bit although it is stored in 16 bits).
int PixelFormatBits(TPixelFormat format);
// Bytes of one row of `width` pixels, padded to a multiple of 4.
int64_t BytesPerScanLine(int width, TPixelFormat format);
// True for 1, 4 and 8 bits per pixel: formats whose pixels index a colour table.
bool IsIndexedFormat(TPixelFormat format);
// Raises "Bitmap dimensions exceed the supported limits" when width x height is too large,
// "Invalid image dimensions" when either is negative.
void CheckBitmapSize(int width, int height);
// The same against the limits of pictures read from files.
void CheckLoadedPictureSize(int width, int height);

class TCanvas;

class TBitmap : public TGraphic {
public:
    TBitmap();
    // A bitmap of the given size and format, all pixels 0 (black in every default palette).
    TBitmap(int width, int height, TPixelFormat format = pf24bit);
    // Deep copy of pixels, format, palette and transparency; the canvas is not shared.
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    ~TBitmap() override;

    const char* ClassName() const override { return "TBitmap"; }

    bool Empty() const override { return width_ == 0 || height_ == 0; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Changing the size keeps the pixels of the overlapping top-left area; new pixels are 0.
    void SetWidth(int value) override { SetSize(value, height_); }
    void SetHeight(int value) override { SetSize(width_, value); }
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return format_; }
    // Converts the existing pixels: exact when going up; to an indexed format each pixel
    // takes the nearest entry of the colour table (the current one when it fits, else the
    // format's default table).
    void SetPixelFormat(TPixelFormat format);

    // The colour table of an indexed bitmap (also kept, unused, for other formats).
    HPALETTE Palette() override { return palette_; }
    const HPALETTE& ColorTable() const { return palette_; }
    // Sets the colour table; pixel values are kept (a table longer than the format can
    // address is cut to 2^bits entries). None restores the format's default table.
    void SetPalette(HPALETTE palette) override;

    int BytesPerLine() const { return int(stride_); }
    // Row y (0 = top); raises "Scan line index out of range" outside 0..Height-1.
    uint8_t* ScanLine(int y);
    const uint8_t* ScanLine(int y) const;
    // All rows, top-down, each BytesPerLine() long.
    std::span<uint8_t> Bits() { return bits_; }
    std::span<const uint8_t> Bits() const { return bits_; }

    // Pixel colour at (x, y); clNone outside the bitmap.
    TColor Pixels(int x, int y) const;
    // Sets the pixel (the nearest table entry for indexed formats); ignored outside.
    void SetPixels(int x, int y, TColor color);
    // Raw pixel value: the index for indexed formats, the packed word otherwise.
    uint32_t PixelValue(int x, int y) const;

    // The transparent colour: the bottom-left pixel's colour unless one was set.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode) { transparentMode_ = mode; }
    // A 1-bit mask of the transparent colour (set bits = transparent); null when empty.
    std::unique_ptr<TBitmap> MaskBitmap() const { return CreateMask(TransparentColor()); }
    // A 1-bit mask, same size, whose bits are set where the pixel's colour equals `color`.
    std::unique_ptr<TBitmap> CreateMask(TColor color) const;

    // The canvas drawing onto this bitmap.
    TCanvas& Canvas();

    // From a TBitmap: deep copy. From another picture: drawn at its size onto a 24-bit
    // bitmap. Anything else raises EConvertError.
    void Assign(const TPersistent* source) override;
    // Stretches the bitmap into `rect`, through its mask when transparent.
    void Draw(TCanvas& canvas, const TRect& rect) override;

    // Reads a Windows bitmap file from the stream's position; damaged files are refused.
    void LoadFromStream(TStream& stream) override;
    // Writes a Windows bitmap file (bottom-up, uncompressed).
    void SaveToStream(TStream& stream) override;
    void WriteFile(TStream& stream) const;
    // Loads a packed DIB: information header, colour masks or table, then the pixels.
    void LoadFromDIB(std::span<const uint8_t> dib);
    // The bitmap as a packed DIB (bottom-up).
    std::vector<uint8_t> SaveToDIB() const;
    // The DIB's information header and colour masks or table, without the pixels; empty
    // for an empty bitmap.
    std::vector<uint8_t> DIBHeader() const;

    // Takes over fully formed storage (used by the DIB reader); sizes must match.
    void AdoptPixels(int width, int height, TPixelFormat format, std::vector<uint8_t> bits,
                     HPALETTE palette);

private:
    void Reallocate(int width, int height, TPixelFormat format, bool keepPixels);
    void ConvertTo(TPixelFormat format);
    void EnsureIndexedPalette();

    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf24bit;
    size_t stride_ = 0;
    std::vector<uint8_t> bits_;
    HPALETTE palette_;
    TColor transparentColor_ = clNone;
    TTransparentMode transparentMode_ = tmAuto;
    std::unique_ptr<TCanvas> canvas_;
};

// The default colour table of an indexed format: black/white, VGA 16, halftone 256.
HPALETTE DefaultPaletteFor(TPixelFormat format);

} // namespace gif
