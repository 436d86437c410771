#include "editor/core/screen_fit.h"

#include <algorithm>

namespace editor {

QRect FitOnScreen(const QRect& wanted, const QRect& area, const QSize& minimum) {
    if (area.isEmpty()) return wanted;
    const int width = std::max(minimum.width(), std::min(wanted.width(), area.width()));
    const int height = std::max(minimum.height(), std::min(wanted.height(), area.height()));
    const int left = std::clamp(wanted.left(), area.left(), std::max(area.left(), area.right() - width + 1));
    const int top = std::clamp(wanted.top(), area.top(), std::max(area.top(), area.bottom() - height + 1));
    return QRect(left, top, width, height);
}

} // namespace editor
