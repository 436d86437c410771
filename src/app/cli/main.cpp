// loopwright-cli: the batch side of GIF Loopwright.
#include <charconv>
#include <cstdio>
#include <string>

#include "commands.h"
#include "load.h"
#include "gif/model/image.h"
#include "signals.h"

namespace {

int Usage(FILE* out) {
    std::fprintf(out, "Usage: loopwright-cli COMMAND [ARGS]\n\nCommands:\n");
    for (const cli::Command& command : cli::Commands())
        std::fprintf(out, "  %s\n", command.Usage);
    std::fprintf(out,
                 "\nEvery command takes \"-\" for standard input or output, and\n"
                 "  --max-pixels N            refuse GIFs whose frames decode to more than N\n"
                 "                            pixels together (default %lld)\n",
                 (long long)gif::TGIFImage::DefaultMaxImagePixels);
    return out == stdout ? 0 : 2;
}

// Takes the options every verb shares out of `args`; false (after saying why) when one
// is malformed.
bool TakeCommonOptions(cli::Args& args) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") break; // the end of the options: the rest are file names
        if (args[i] != "--max-pixels") continue;
        long long pixels = 0;
        const std::string value = i + 1 < args.size() ? args[i + 1] : "";
        auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), pixels);
        if (error != std::errc() || end != value.data() + value.size() || pixels <= 0) {
            std::fprintf(stderr, "loopwright-cli: --max-pixels takes a number of pixels\n");
            return false;
        }
        cli::SetMaxImagePixels(pixels);
        args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
        --i;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage(stderr);
    std::string verb = argv[1];
    if (verb == "--help" || verb == "-h" || verb == "help") return Usage(stdout);
    cli::Args args(argv + 2, argv + argc);
    if (!TakeCommonOptions(args)) return 2;
    cli::InstallStopSignalCleanup();
    for (const cli::Command& command : cli::Commands())
        if (verb == command.Name) return cli::RunCommand(command.Name, command.Run, args);
    std::fprintf(stderr, "loopwright-cli: unknown command \"%s\"\n", verb.c_str());
    return Usage(stderr);
}
