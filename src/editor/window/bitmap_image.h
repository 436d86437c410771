// Showing the GIF library's bitmaps in Qt.
#pragma once

#include <QColor>
#include <QImage>

#include "gif/base/types.h"

namespace gif {
class TBitmap;
}

namespace editor {

// The bitmap as a QImage. 8- and 24-bit bitmaps are wrapped without copying (the image is
// valid while the bitmap lives unchanged); other formats are converted.
QImage BitmapImage(const gif::TBitmap& bitmap);

// A library colour (red in the low byte) as a QColor; clNone gives an invalid colour.
QColor ToQColor(gif::TColor color);

} // namespace editor
