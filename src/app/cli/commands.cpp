#include "commands.h"

namespace cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        InfoCommand,
        CopyCommand,
    };
    return commands;
}

} // namespace cli
