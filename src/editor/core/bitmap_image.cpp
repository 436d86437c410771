#include "editor/core/bitmap_image.h"

#include "gif/graphics/bitmap.h"
#include "gif/graphics/pixel_access.h"

namespace editor {

QImage BitmapImage(const gif::TBitmap& bitmap) {
    if (bitmap.Empty()) return {};
    const auto* bits = bitmap.Bits().data();
    switch (bitmap.PixelFormat()) {
    case gif::pf24bit:   // blue, green, red
        return QImage(bits, bitmap.Width(), bitmap.Height(), bitmap.BytesPerLine(), QImage::Format_BGR888);
    case gif::pf32bit:   // blue, green, red, unused
        return QImage(bits, bitmap.Width(), bitmap.Height(), bitmap.BytesPerLine(), QImage::Format_RGB32);
    default: {
        // One reader for the whole picture: its colour table is built once, not per pixel.
        const gif::TPixelReader reader(bitmap);
        if (bitmap.PixelFormat() == gif::pf8bit) {
            QImage image(bits, bitmap.Width(), bitmap.Height(), bitmap.BytesPerLine(),
                         QImage::Format_Indexed8);
            QList<QRgb> colors(256);
            for (int i = 0; i < 256; ++i) {
                const gif::TColor c = reader.Table()[size_t(i)];
                colors[i] = qRgb(gif::GetRValue(c), gif::GetGValue(c), gif::GetBValue(c));
            }
            image.setColorTable(colors);
            return image;
        }
        QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
        for (int y = 0; y < bitmap.Height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            const uint8_t* source = bitmap.ScanLine(y);
            for (int x = 0; x < bitmap.Width(); ++x) {
                const gif::TColor c = reader.At(source, x);
                row[x] = qRgb(gif::GetRValue(c), gif::GetGValue(c), gif::GetBValue(c));
            }
        }
        return image;
    }
    }
}

} // namespace editor
