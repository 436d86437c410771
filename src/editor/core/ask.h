// Questions whose answer the user may ask the program to remember.
#pragma once

#include <QString>

#include "editor/core/prompter.h"

namespace editor {

class Settings;

// Asks `message` with a check box `checkCaption`, unless the value `valueName` under
// "Settings" already holds Yes (6) or No (7), which is returned without asking. When the
// box is ticked, the answer is stored under `valueName` unless it was Cancel.
int AskWithRemember(IPrompter& prompter, Settings& settings, const QString& message,
                    const QString& checkCaption, const QString& valueName, TButtons buttons,
                    TMessageKind kind);

enum class TIncludeChoice { Cancel, Include, StartNew };

// A GIF arrives (dropped or browsed) while documents are open: include its frames into the
// active animation or start a new document? Remembered under "DropImageDefault".
TIncludeChoice AskIncludeOrNew(IPrompter& prompter, Settings& settings, const QString& message);

} // namespace editor
