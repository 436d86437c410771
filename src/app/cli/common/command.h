// A verb of loopwright-cli and how it is run, shared by the executable and the import module.
#pragma once

#include <string>
#include <vector>

namespace cli {

// The arguments after the verb, with the common options taken out.
using Args = std::vector<std::string>;

struct Command {
    const char* Name;
    const char* Usage;
    int (*Run)(const Args& args);
};

// Runs one verb and returns the process exit status; an exception ends it with status 1
// and one line "loopwright-cli NAME: reason" on stderr.
int RunCommand(const char* name, int (*run)(const Args&), const Args& args);

} // namespace cli
