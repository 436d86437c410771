#include "editor/document/startup_settings.h"

#include "editor/core/settings.h"

namespace editor {

TInspectorStart ReadInspectorStart(Settings& settings) {
    TInspectorStart start;
    start.Visible = settings.Value(keys::InspectorVisible) != 0;
    if (settings.Value(keys::InspectorHideOnce) == 1) {
        start.HideOnce = true;
        start.Visible = false;
        settings.SetValue(keys::InspectorHideOnce, 0);
    }
    return start;
}

} // namespace editor
