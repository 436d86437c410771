#include "editor/core/shell.h"

#include "editor/core/messages.h"
#include "editor/core/prompter.h"

namespace editor {

bool ShellOpen(IPrompter& prompter, const QString& target) {
    if (prompter.OpenUrl(target)) return true;
    prompter.Message(TMessageKind::Information, msg::CouldNotLoadClient);
    return false;
}

} // namespace editor
