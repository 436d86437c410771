#include "editor/core/bitmap_image.h"

#include "gif/graphics/bitmap.h"

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
        QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
        for (int y = 0; y < bitmap.Height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < bitmap.Width(); ++x) {
                const gif::TColor c = bitmap.Pixels(x, y);
                row[x] = qRgb(gif::GetRValue(c), gif::GetGValue(c), gif::GetBValue(c));
            }
        }
        return image;
    }
    }
}

} // namespace editor
