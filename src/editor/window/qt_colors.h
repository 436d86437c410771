// The GIF library's colours in Qt (and its bitmaps, through editor/core/bitmap_image.h).
#pragma once

#include <QColor>

#include "editor/core/bitmap_image.h"
#include "gif/base/types.h"

namespace editor {

// A library colour (red in the low byte) as a QColor; clNone gives an invalid colour.
QColor ToQColor(gif::TColor color);

} // namespace editor
