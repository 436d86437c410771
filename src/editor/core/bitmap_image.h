// Showing the GIF library's bitmaps in Qt.
#pragma once

#include <QImage>

namespace gif {
class TBitmap;
}

namespace editor {

// A QImage over the bitmap's own pixels (no copy) for 8-, 24- and 32-bit bitmaps, a copy
// for the other formats. The image is only valid while the bitmap lives unchanged.
QImage BitmapImage(const gif::TBitmap& bitmap);

} // namespace editor
