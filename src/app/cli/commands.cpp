#include "commands.h"

namespace cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        InfoCommand,
        CopyCommand,
        ImportCommand,
        OptimizeCommand,
        FramesCommand,
#ifndef LOOPWRIGHT_NO_AVI
        ExportAviCommand,
#endif
#ifdef LOOPWRIGHT_WITH_EXPORT
        ExportFramesCommand,
        ExportHtmlCommand,
#endif
    };
    return commands;
}

} // namespace cli
