#include "editor/undo/command.h"

#include "editor/core/format.h"

namespace editor {

void TCommand::UnknownAction() const {
    throw ECommandError(Format("Unknown Action Type from %s!", ClassName()));
}

} // namespace editor
