#include "editor/window/qt_colors.h"

namespace editor {

QColor ToQColor(gif::TColor color) {
    if (color == gif::clNone) return {};
    return QColor(gif::GetRValue(color), gif::GetGValue(color), gif::GetBValue(color));
}

} // namespace editor
