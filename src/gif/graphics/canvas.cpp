#include "gif/graphics/canvas.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "gif/graphics/bitmap.h"
#include "gif/graphics/pixel_access.h"

namespace gif {

namespace {

// Combines a source colour with the target colour by the raster operation.
TColor Combine(uint32_t mode, TColor src, TColor dst) {
    switch (mode) {
    case cmBlackness: return clBlack;
    case cmWhiteness: return clWhite;
    case cmNotSrcCopy: return ~src & 0xFFFFFF;
    case cmDstInvert: return ~dst & 0xFFFFFF;
    case cmSrcInvert: return (src ^ dst) & 0xFFFFFF;
    case cmSrcAnd: return src & dst & 0xFFFFFF;
    case cmSrcPaint: return (src | dst) & 0xFFFFFF;
    default: return src & 0xFFFFFF;
    }
}

bool SamePalette(const TBitmap& a, const TBitmap& b) {
    const HPALETTE& pa = a.ColorTable();
    const HPALETTE& pb = b.ColorTable();
    if (pa == pb) return true;
    return pa && pb && pa->Entries.size() == pb->Entries.size() &&
           std::equal(pa->Entries.begin(), pa->Entries.end(), pb->Entries.begin(),
                      [](const TPaletteEntry& x, const TPaletteEntry& y) {
                          return x.peRed == y.peRed && x.peGreen == y.peGreen &&
                                 x.peBlue == y.peBlue;
                      });
}

// Source coordinate sampled for target coordinate t of a stretch from [s0, s0 + sw)
// onto [d0, d0 + dw); -1 when it falls outside [0, limit).
int Sample(int t, int d0, int dw, int s0, int sw, int limit) {
    int64_t s = s0 + (int64_t(t - d0) * sw) / dw;
    return (s < 0 || s >= limit) ? -1 : int(s);
}

} // namespace

TRect TCanvas::ClipRect() const { return Rect(0, 0, bitmap_.Width(), bitmap_.Height()); }

void TCanvas::FillRect(const TRect& rect) {
    int x0 = std::max(rect.Left, 0), x1 = std::min(rect.Right, bitmap_.Width());
    int y0 = std::max(rect.Top, 0), y1 = std::min(rect.Bottom, bitmap_.Height());
    if (x0 >= x1 || y0 >= y1) return;
    TPixelFormat format = bitmap_.PixelFormat();
    TPixelWriter writer(bitmap_);
    uint32_t value = writer.Encode(Brush.Color);
    for (int y = y0; y < y1; ++y) {
        uint8_t* row = bitmap_.ScanLine(y);
        if (format == pf24bit) {
            for (int x = x0; x < x1; ++x) {
                row[3 * x] = uint8_t(value);
                row[3 * x + 1] = uint8_t(value >> 8);
                row[3 * x + 2] = uint8_t(value >> 16);
            }
        } else if (format == pf8bit) {
            std::fill(row + x0, row + x1, uint8_t(value));
        } else {
            for (int x = x0; x < x1; ++x) StorePixelValue(row, x, format, value);
        }
    }
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
    graphic.Draw(*this, Rect(x, y, x + graphic.Width(), y + graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic& graphic) { graphic.Draw(*this, rect); }

void TCanvas::CopyRect(const TRect& destRect, const TCanvas& source, const TRect& sourceRect) {
    StretchBlt(destRect, source.Bitmap(), sourceRect, nullptr);
}

void TCanvas::MaskedStretchDraw(const TRect& rect, const TBitmap& bitmap, const TBitmap& mask) {
    StretchBlt(rect, bitmap, Rect(0, 0, bitmap.Width(), bitmap.Height()), &mask);
}

void TCanvas::StretchBlt(const TRect& destRect, const TBitmap& sourceBitmap,
                         const TRect& sourceRect, const TBitmap* mask) {
    if (destRect.IsEmpty() || sourceRect.IsEmpty() || sourceBitmap.Empty() || bitmap_.Empty())
        return;
    int x0 = std::max(destRect.Left, 0), x1 = std::min(destRect.Right, bitmap_.Width());
    int y0 = std::max(destRect.Top, 0), y1 = std::min(destRect.Bottom, bitmap_.Height());
    if (x0 >= x1 || y0 >= y1) return;

    // Drawing a bitmap onto itself reads from a snapshot, so overlapping areas stay correct.
    std::optional<TBitmap> snapshot;
    if (&sourceBitmap == &bitmap_) snapshot.emplace(sourceBitmap);
    const TBitmap& src = snapshot ? *snapshot : sourceBitmap;
    if (mask && (mask->PixelFormat() != pf1bit || mask->Width() < src.Width() ||
                 mask->Height() < src.Height()))
        mask = nullptr;

    TPixelFormat sf = src.PixelFormat();
    TPixelFormat df = bitmap_.PixelFormat();
    uint32_t mode = CopyMode;
    bool plainCopy = mode == cmSrcCopy || Combine(mode, 0x123456, 0x654321) == 0x123456;
    if (plainCopy && (sf == pf24bit || sf == pf8bit) && df == pf24bit &&
        destRect.Width() == sourceRect.Width() && destRect.Height() == sourceRect.Height()) {
        CopyUnscaledTo24(x0, x1, y0, y1, src, sourceRect.Left - destRect.Left,
                         sourceRect.Top - destRect.Top, mask);
        return;
    }

    std::vector<int> columns(size_t(x1 - x0));
    for (int x = x0; x < x1; ++x)
        columns[size_t(x - x0)] =
            Sample(x, destRect.Left, destRect.Width(), sourceRect.Left, sourceRect.Width(),
                   src.Width());

    // Same indexed format and colour table: copy the indices themselves.
    bool rawIndices = plainCopy && sf == df && IsIndexedFormat(sf) && SamePalette(src, bitmap_);
    bool directTarget = plainCopy && (df == pf24bit || df == pf32bit);
    int bpp = df == pf24bit ? 3 : 4;
    TPixelReader reader(src);
    TPixelWriter writer(bitmap_);
    TPixelReader targetReader(bitmap_);

    for (int y = y0; y < y1; ++y) {
        int sy = Sample(y, destRect.Top, destRect.Height(), sourceRect.Top, sourceRect.Height(),
                        src.Height());
        if (sy < 0) continue;
        const uint8_t* srow = src.ScanLine(sy);
        const uint8_t* mrow = mask ? mask->ScanLine(sy) : nullptr;
        uint8_t* drow = bitmap_.ScanLine(y);
        for (int x = x0; x < x1; ++x) {
            int sx = columns[size_t(x - x0)];
            if (sx < 0) continue;
            if (mrow && (mrow[sx >> 3] & (0x80 >> (sx & 7)))) continue;
            if (rawIndices) {
                StorePixelValue(drow, x, df, LoadPixelValue(srow, sx, sf));
                continue;
            }
            TColor c;
            if (sf == pf8bit) c = reader.Table()[srow[sx]];
            else if (sf == pf24bit) c = RGB(srow[3 * sx + 2], srow[3 * sx + 1], srow[3 * sx]);
            else c = reader.At(srow, sx);
            if (directTarget) {
                uint8_t* p = drow + size_t(x) * size_t(bpp);
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
                if (bpp == 4) p[3] = 0;
                continue;
            }
            if (!plainCopy) c = Combine(mode, c, targetReader.At(drow, x));
            writer.Set(drow, x, c);
        }
    }
}

void TCanvas::CopyUnscaledTo24(int x0, int x1, int y0, int y1, const TBitmap& src, int dx,
                               int dy, const TBitmap* mask) {
    // An 8-bit source's pixels are its table's colours, in the target's byte order.
    const bool indexed = src.PixelFormat() == pf8bit;
    std::array<std::array<uint8_t, 3>, 256> bgr{};
    if (indexed) {
        const TPixelReader reader(src);
        for (size_t i = 0; i < bgr.size(); ++i) {
            const TColor c = reader.Table()[i];
            bgr[i] = {GetBValue(c), GetGValue(c), GetRValue(c)};
        }
    }
    // Only the target pixels whose source pixel exists are drawn.
    x0 = std::max(x0, -dx);
    x1 = std::min(x1, src.Width() - dx);
    y0 = std::max(y0, -dy);
    y1 = std::min(y1, src.Height() - dy);
    for (int y = y0; y < y1; ++y) {
        const uint8_t* srow = src.ScanLine(y + dy);
        uint8_t* drow = bitmap_.ScanLine(y);
        // `count` pixels from target column x on.
        const auto copy = [&](int x, int count) {
            uint8_t* to = drow + 3 * size_t(x);
            if (!indexed) {
                std::memcpy(to, srow + 3 * size_t(x + dx), 3 * size_t(count));
                return;
            }
            const uint8_t* from = srow + size_t(x + dx);
            for (int k = 0; k < count; ++k)
                std::memcpy(to + 3 * size_t(k), bgr[from[k]].data(), 3);
        };
        if (!mask) {
            if (x0 < x1) copy(x0, x1 - x0);
            continue;
        }
        // A set mask bit keeps the target's pixel. A mask byte of eight pixels all kept or
        // all drawn, common around sprites, is handled at once.
        const uint8_t* mrow = mask->ScanLine(y + dy);
        for (int x = x0; x < x1;) {
            const int sx = x + dx;
            const uint8_t bits = mrow[sx >> 3];
            if ((sx & 7) == 0 && x + 8 <= x1 && (bits == 0 || bits == 0xFF)) {
                if (bits == 0) copy(x, 8);
                x += 8;
                continue;
            }
            if (!(bits & (0x80 >> (sx & 7)))) copy(x, 1);
            ++x;
        }
    }
}

TColor TCanvas::Pixels(int x, int y) const { return bitmap_.Pixels(x, y); }

void TCanvas::SetPixels(int x, int y, TColor color) { bitmap_.SetPixels(x, y, color); }

} // namespace gif
