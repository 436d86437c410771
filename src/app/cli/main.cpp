// loopwright-cli: the batch side of GIF Loopwright.
#include <cstdio>
#include <exception>
#include <string>

#include "commands.h"

namespace {

int Usage(FILE* out) {
    std::fprintf(out, "Usage: loopwright-cli COMMAND [ARGS]\n\nCommands:\n");
    for (const cli::Command& command : cli::Commands())
        std::fprintf(out, "  %s\n", command.Usage);
    return out == stdout ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage(stderr);
    std::string verb = argv[1];
    if (verb == "--help" || verb == "-h" || verb == "help") return Usage(stdout);
    cli::Args args(argv + 2, argv + argc);
    for (const cli::Command& command : cli::Commands()) {
        if (verb != command.Name) continue;
        try {
            return command.Run(args);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "loopwright-cli %s: %s\n", command.Name, e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "loopwright-cli: unknown command \"%s\"\n", verb.c_str());
    return Usage(stderr);
}
