// Drawing onto a TBitmap: fills, stretched copies (nearest pixel) and drawing through
// 1-bit masks. Everything is clipped to the target bitmap.
#pragma once

#include <cstdint>

#include "gif/base/object.h"
#include "gif/base/types.h"

namespace gif {

class TBitmap;
class TGraphic;

// Raster operations of the platform; the ones listed here are carried out, any other
// value draws as cmSrcCopy.
enum TCopyMode : uint32_t {
    cmBlackness = 0x00000042,
    cmNotSrcCopy = 0x00330008,
    cmDstInvert = 0x00550009,
    cmSrcInvert = 0x00660046,
    cmSrcAnd = 0x008800C6,
    cmSrcCopy = 0x00CC0020,
    cmSrcPaint = 0x00EE0086,
    cmWhiteness = 0x00FF0062,
};

struct TBrush {
    TColor Color = clWhite;
};

class TCanvas : public TPersistent {
public:
    // A canvas drawing onto `bitmap`, which must outlive it.
    explicit TCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
    const char* ClassName() const override { return "TCanvas"; }

    TBitmap& Bitmap() { return bitmap_; }
    const TBitmap& Bitmap() const { return bitmap_; }
    // The whole target: (0, 0, width, height).
    TRect ClipRect() const;

    // Fills `rect` with Brush.Color.
    void FillRect(const TRect& rect);
    // Draws `graphic` at its own size with its top-left corner at (x, y).
    void Draw(int x, int y, TGraphic& graphic);
    // Draws `graphic` stretched into `rect`.
    void StretchDraw(const TRect& rect, TGraphic& graphic);
    // Copies `sourceRect` of `source` stretched into `destRect` with CopyMode.
    void CopyRect(const TRect& destRect, const TCanvas& source, const TRect& sourceRect);
    // Stretches `bitmap` into `rect`, leaving target pixels whose mask bit is set untouched.
    // The mask is a 1-bit bitmap of the bitmap's size (set bits = transparent).
    void MaskedStretchDraw(const TRect& rect, const TBitmap& bitmap, const TBitmap& mask);
    // The stretch copy behind every operation above: `sourceRect` of `source` into
    // `destRect` (nearest pixel) with CopyMode; pixels whose `mask` bit is set are skipped,
    // and so are those sampled outside the source. Empty rectangles draw nothing.
    void StretchBlt(const TRect& destRect, const TBitmap& source, const TRect& sourceRect,
                    const TBitmap* mask = nullptr);

    // Pixel colour; clNone outside the target.
    TColor Pixels(int x, int y) const;
    // Sets one pixel; ignored outside the target.
    void SetPixels(int x, int y, TColor color);

    TBrush Brush;
    uint32_t CopyMode = cmSrcCopy;

private:
    // StretchBlt's plain copy of an 8- or 24-bit bitmap into a 24-bit one at the same size,
    // the renderer's every frame: rows as bytes, or colours from a table of byte triples.
    // Target rows y0..y1 and columns x0..x1 (clipped to the target) read source pixel
    // (x + dx, y + dy).
    void CopyUnscaledTo24(int x0, int x1, int y0, int y1, const TBitmap& src, int dx, int dy,
                          const TBitmap* mask);

    TBitmap& bitmap_;
};

} // namespace gif
