// Settings read once at start-up whose reading changes them.
#pragma once

namespace editor {

class Settings;

struct TInspectorStart {
    bool Visible = true;   // the Frame Inspector is shown at start
    bool HideOnce = false; // hidden at start, shown again with the first frame shown
};

// How the Frame Inspector starts. A stored one-time hide is used up: it reads 0 afterwards.
TInspectorStart ReadInspectorStart(Settings& settings);

} // namespace editor
