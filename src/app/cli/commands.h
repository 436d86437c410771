// The verbs of loopwright-cli. Each returns the process exit status.
#pragma once

#include <vector>

#include "command.h"

namespace cli {

// Every verb the tool knows, in the order the usage text lists them.
const std::vector<Command>& Commands();

// One per verb, each defined in its own <verb>_command.cpp (`import` in import_launcher.cpp,
// which loads the module that runs it).
extern const Command InfoCommand;
extern const Command CopyCommand;
extern const Command ImportCommand;
extern const Command OptimizeCommand;
extern const Command FramesCommand;
extern const Command ExportAviCommand;
// In export/, built with the single-picture export (loopwright_export).
extern const Command ExportFramesCommand;
extern const Command ExportHtmlCommand;

} // namespace cli
