#include "editor/window/bitmap_image.h"

#include "gif/graphics/bitmap.h"

namespace editor {

namespace {

QList<QRgb> ColorTable(const gif::TBitmap& bitmap, int size) {
    QList<QRgb> table(size, qRgb(0, 0, 0));
    if (const gif::HPALETTE& palette = bitmap.ColorTable())
        for (int i = 0; i < size && i < palette->Count(); ++i) {
            const gif::TPaletteEntry& e = palette->Entries[size_t(i)];
            table[i] = qRgb(e.peRed, e.peGreen, e.peBlue);
        }
    return table;
}

} // namespace

QImage BitmapImage(const gif::TBitmap& bitmap) {
    if (bitmap.Empty()) return {};
    const int w = bitmap.Width(), h = bitmap.Height();
    const uchar* bits = bitmap.Bits().data();
    const qsizetype stride = bitmap.BytesPerLine();
    switch (bitmap.PixelFormat()) {
    case gif::pf24bit: return QImage(bits, w, h, stride, QImage::Format_BGR888);
    case gif::pf32bit: return QImage(bits, w, h, stride, QImage::Format_RGB32);
    case gif::pf8bit: {
        QImage image(bits, w, h, stride, QImage::Format_Indexed8);
        image.setColorTable(ColorTable(bitmap, 256));
        return image;
    }
    default: {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const gif::TColor c = bitmap.Pixels(x, y);
                row[x] = qRgb(gif::GetRValue(c), gif::GetGValue(c), gif::GetBValue(c));
            }
        }
        return image;
    }
    }
}

QColor ToQColor(gif::TColor color) {
    if (color == gif::clNone) return {};
    return QColor(gif::GetRValue(color), gif::GetGValue(color), gif::GetBValue(color));
}

} // namespace editor
