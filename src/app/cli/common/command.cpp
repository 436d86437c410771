#include "command.h"

#include <cstdio>
#include <exception>

namespace cli {

int RunCommand(const char* name, int (*run)(const Args&), const Args& args) {
    try {
        return run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "loopwright-cli %s: %s\n", name, e.what());
        return 1;
    }
}

} // namespace cli
