// `optimize IN OUT [--trim] [--duplicates] [--cleanup] [--sort] [--merge]`: runs the
// optimiser's chosen passes (all four when no option is given), then the colour-map merge
// (with --merge or no option), writes OUT and prints the sizes before and after.
#include <cstdint>
#include <cstdio>

#include "commands.h"
#include "gif/model/image.h"
#include "load.h"

namespace cli {

namespace {

constexpr const char* OptimizeUsage =
    "Usage: loopwright-cli optimize IN OUT [--trim] [--duplicates] [--cleanup] [--sort] [--merge]\n";

int RunOptimize(const Args& args) {
    std::vector<std::string> files;
    gif::TGIFOptimizeOptions options = 0;
    bool merge = false;
    bool anyOption = false;
    for (const std::string& arg : args) {
        if (arg == "--trim") options |= gif::optTrim;
        else if (arg == "--duplicates") options |= gif::optDuplicatePixels;
        else if (arg == "--cleanup") options |= gif::optCleanup;
        else if (arg == "--sort") options |= gif::optSortPalettes;
        else if (arg == "--merge") merge = true;
        else if (arg.starts_with("--")) {
            std::fprintf(stderr, "loopwright-cli optimize: unknown option \"%s\"\n%s", arg.c_str(),
                         OptimizeUsage);
            return 2;
        } else {
            files.push_back(arg);
            continue;
        }
        anyOption = true;
    }
    if (files.size() != 2) {
        std::fprintf(stderr, "%s", OptimizeUsage);
        return 2;
    }
    if (!anyOption) {
        options = gif::optTrim | gif::optDuplicatePixels | gif::optCleanup | gif::optSortPalettes;
        merge = true;
    }

    gif::TGIFImage image;
    const int64_t before = LoadGif(image, files[0], /*showWarnings=*/true);
    const int framesBefore = image.FrameCount();
    image.WarningHandler = [&files](gif::TObject*, uint8_t, const std::string& message) {
        std::fprintf(stderr, "%s: warning: %s\n", files[0].c_str(), message.c_str());
    };
    image.Optimize(options);
    if (merge) image.OptimizeColorMaps();
    const int64_t after = SaveGif(image, files[1]);

    // The report goes to stderr when the GIF itself goes to standard output.
    FILE* report = files[1] == "-" ? stderr : stdout;
    std::fprintf(report, "Size before: %lld bytes, %d frames\n", (long long)before, framesBefore);
    std::fprintf(report, "Size after: %lld bytes, %d frames (%.1f%% of before)\n",
                 (long long)after, image.FrameCount(),
                 before ? 100.0 * double(after) / double(before) : 0.0);
    return 0;
}

} // namespace

const Command OptimizeCommand = {
    "optimize",
    "optimize IN OUT [OPTION]  make a GIF smaller without changing what it shows\n"
    "                            [--trim] [--duplicates] [--cleanup] [--sort] [--merge]",
    RunOptimize};

} // namespace cli
