// `optimize IN OUT [--trim] [--duplicates] [--cleanup] [--sort] [--merge] | [--best]`: runs
// the optimiser's chosen passes (all four when no option is given), then the colour-map
// merge (with --merge or no option), or with --best the best-effort optimiser, writes OUT
// and prints the sizes before and after. OUT is never larger than IN: when the result would
// be, IN is copied as it is.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "commands.h"
#include "gif/base/stream.h"
#include "gif/model/image.h"
#include "gif/optimize/best_optimize.h"
#include "load.h"

namespace cli {

namespace {

constexpr const char* OptimizeUsage =
    "Usage: loopwright-cli optimize IN OUT [--trim] [--duplicates] [--cleanup] [--sort] [--merge]\n"
    "       loopwright-cli optimize IN OUT --best\n";

int RunOptimize(const Args& args) {
    std::vector<std::string> files;
    gif::TGIFOptimizeOptions options = 0;
    bool merge = false;
    bool best = false;
    bool anyOption = false;
    for (const std::string& arg : args) {
        if (arg == "--trim") options |= gif::optTrim;
        else if (arg == "--duplicates") options |= gif::optDuplicatePixels;
        else if (arg == "--cleanup") options |= gif::optCleanup;
        else if (arg == "--sort") options |= gif::optSortPalettes;
        else if (arg == "--merge") merge = true;
        else if (arg == "--best") best = true;
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
    if (files.size() != 2 || (best && (options || merge))) {
        std::fprintf(stderr, "%s", OptimizeUsage);
        return 2;
    }
    if (!anyOption) {
        options = gif::optTrim | gif::optDuplicatePixels | gif::optCleanup | gif::optSortPalettes;
        merge = true;
    }

    // The input's bytes are kept: they go out unchanged when optimising does not help.
    gif::TGIFImage image;
    gif::TMemoryStream input;
    LoadGif(image, files[0], /*showWarnings=*/true, &input);
    const int framesBefore = image.FrameCount();
    image.WarningHandler = [&files](gif::TObject*, uint8_t, const std::string& message) {
        std::fprintf(stderr, "%s: warning: %s\n", files[0].c_str(), message.c_str());
    };
    CheckHasFrames(image, files[0]);
    std::vector<uint8_t> written; // --best hands over the bytes it measured
    WorkOnGif(image, files[0], [&] {
        if (best) {
            gif::OptimizeBest(image, &written);
        } else {
            image.Optimize(options);
            if (merge) image.OptimizeColorMaps();
            gif::TMemoryStream bytes;
            image.SaveToStream(bytes);
            written = bytes.TakeBytes();
        }
    });
    gif::TMemoryStream output(std::move(written));

    // Never larger than the input: when the result is larger, the input goes out as it is.
    const bool keepInput = output.Size() > input.Size();
    SaveBytes(keepInput ? input : output, files[1]);

    const auto before = uintmax_t(input.Size());
    const auto after = uintmax_t(keepInput ? input.Size() : output.Size());
    // The report goes to stderr when the GIF itself goes to standard output.
    FILE* report = files[1] == "-" ? stderr : stdout;
    std::fprintf(report, "Size before: %ju bytes, %d frames\n", before, framesBefore);
    std::fprintf(report, "Size after: %ju bytes, %d frames (%.1f%% of before)\n", after,
                 keepInput ? framesBefore : image.FrameCount(),
                 before ? 100.0 * double(after) / double(before) : 0.0);
    if (keepInput) std::fprintf(report, "The input is kept as it is: optimising made it larger\n");
    return 0;
}

} // namespace

const Command OptimizeCommand = {
    "optimize",
    "optimize IN OUT [OPTION]  make a GIF smaller without changing what it shows\n"
    "                            [--trim] [--duplicates] [--cleanup] [--sort] [--merge]\n"
    "                            or --best: every lossless alternative, smallest kept",
    RunOptimize};

} // namespace cli
