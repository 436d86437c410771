#include "commands.h"

namespace cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        InfoCommand,
        CopyCommand,
        ImportCommand,
    };
    return commands;
}

} // namespace cli
