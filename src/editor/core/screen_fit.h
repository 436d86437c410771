// Window places read from the settings, made to fit the screen: a stored size or position
// from another screen, or a hand-edited one, must not give a window larger than the
// screen or one off every screen.
#pragma once

#include <QRect>
#include <QSize>

namespace editor {

// `wanted` within `area` (a screen's available geometry): its size no larger than the
// area and no smaller than `minimum` (the minimum wins on a tiny screen), then moved so
// that it lies wholly inside.
QRect FitOnScreen(const QRect& wanted, const QRect& area, const QSize& minimum = QSize(1, 1));

} // namespace editor
