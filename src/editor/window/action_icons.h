// Icons of the actions: the desktop theme's when it has them, else the style's standard
// pictures, else small pictures drawn here.
#pragma once

#include <QIcon>

#include "editor/document/actions.h"

class QStyle;

namespace editor {

QIcon ActionIcon(TActionId id, const QStyle& style);
// The Frame Inspector button and the frame panel's arrow ("ARROW_LEFT", "ARROW_RIGHT").
QIcon InspectorIcon();
QIcon ArrowIcon(bool pointsRight);
// The program's icon: a film frame with a looping arrow.
QIcon ProgramIcon();

} // namespace editor
