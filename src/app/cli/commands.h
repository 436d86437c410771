// The verbs of loopwright-cli. Each returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

struct Command {
    const char* Name;
    const char* Usage;
    int (*Run)(const Args& args);
};

// Every verb the tool knows, in the order the usage text lists them.
const std::vector<Command>& Commands();

// One per verb, each defined in its own <verb>_command.cpp.
extern const Command InfoCommand;
extern const Command CopyCommand;
extern const Command ImportCommand;
extern const Command OptimizeCommand;
extern const Command FramesCommand;

} // namespace cli
