// `import PICTURE... -o OUT.gif [--reduction NAME] [--dither NAME] [--depth N] [--delay N]
// [--palette-settings]`: builds an animation from pictures (bitmaps, icons, and every kind
// the imaging control reads), one frame each, reduced to 256 colours with the chosen method
// and dither mode, or with the editor's stored palette settings.
#include <array>
#include <charconv>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "commands.h"
#include "gif/graphics/graphic.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"
#include "load.h"
#include "picture_input.h"
#include "stored_palette.h"

namespace cli {

namespace {

constexpr const char* UsageText =
    "Usage: loopwright-cli import PICTURE... -o OUT.gif [--reduction NAME] [--dither NAME] "
    "[--depth N] [--delay N] [--palette-settings]\n";

// Option names in the order of the enumerations' values.
constexpr std::array<const char*, 9> ReductionNames = {
    "none",  "system20", "halftone",  "gray4",           "monochrome",
    "gray256", "web216", "optimized", "optimized-system"};
constexpr std::array<const char*, 7> DitherNames = {
    "nearest", "floyd-steinberg", "stucki", "sierra", "jarvis-judice-ninke", "stevenson-arce",
    "burkes"};

template <size_t N>
std::optional<uint8_t> FindName(const std::array<const char*, N>& names, std::string_view name) {
    for (size_t i = 0; i < N; ++i)
        if (name == names[i]) return uint8_t(i);
    return std::nullopt;
}

std::optional<int> ParseInt(std::string_view text, int low, int high) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

struct TImportOptions {
    std::vector<std::string> Pictures;
    std::string Output;
    uint8_t Reduction = gif::DefaultReductionMethod;
    uint8_t Dither = gif::DefaultDitherMethod;
    int Depth = gif::DefaultReductionDepth;
    std::optional<int> Delay;
    bool PaletteSettings = false;
};

// Reads the arguments; prints the problem and returns nothing when they are not usable.
std::optional<TImportOptions> ParseArgs(const Args& args) {
    TImportOptions options;
    auto fail = [](const std::string& problem) -> std::optional<TImportOptions> {
        std::fprintf(stderr, "loopwright-cli import: %s\n%s", problem.c_str(), UsageText);
        return std::nullopt;
    };
    bool reductionGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--palette-settings") {
            options.PaletteSettings = true;
            continue;
        }
        bool takesValue = arg == "-o" || arg == "--reduction" || arg == "--dither" ||
                          arg == "--depth" || arg == "--delay";
        if (!takesValue) {
            if (arg.size() > 1 && arg[0] == '-') return fail("unknown option \"" + arg + "\"");
            options.Pictures.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) return fail(arg + " needs a value");
        const std::string& value = args[++i];
        reductionGiven |= arg == "--reduction" || arg == "--dither" || arg == "--depth";
        if (arg == "-o") {
            options.Output = value;
        } else if (arg == "--reduction") {
            auto method = FindName(ReductionNames, value);
            if (!method) return fail("unknown reduction \"" + value + "\"");
            options.Reduction = *method;
        } else if (arg == "--dither") {
            auto mode = FindName(DitherNames, value);
            if (!mode) return fail("unknown dither mode \"" + value + "\"");
            options.Dither = *mode;
        } else if (arg == "--depth") {
            auto depth = ParseInt(value, 3, 8);
            if (!depth) return fail("--depth takes a number of bits from 3 to 8");
            options.Depth = *depth;
        } else {
            auto delay = ParseInt(value, 0, 0xFFFF);
            if (!delay) return fail("--delay takes hundredths of a second from 0 to 65535");
            options.Delay = *delay;
        }
    }
    if (options.Pictures.empty()) return fail("no picture given");
    if (options.Output.empty()) return fail("no output file given (-o OUT.gif)");
    if (options.PaletteSettings && reductionGiven)
        return fail("--palette-settings takes the place of --reduction, --dither and --depth");
    return options;
}

// Gives the frame the delay, in its graphic control extension (a new one when it has none).
void SetDelay(gif::TGIFSubImage& frame, int delay) {
    gif::TGIFGraphicControlExtension* control = frame.ControlBlock();
    if (!control) {
        auto block = std::make_unique<gif::TGIFGraphicControlExtension>(&frame);
        control = block.get();
        frame.Blocks().Add(std::move(block));
    }
    control->SetDelayTime(uint16_t(delay));
}

int RunImport(const Args& args) {
    std::optional<TImportOptions> options = ParseArgs(args);
    if (!options) return 2;

    gif::TGIFImage image;
    image.ReductionMethod = options->Reduction;
    image.DitherMethod = options->Dither;
    image.SetReductionDepth(options->Depth);
    std::unique_ptr<TStoredPalette> stored;
    if (options->PaletteSettings) stored = std::make_unique<TStoredPalette>();
    for (const std::string& name : options->Pictures) {
        try {
            std::unique_ptr<gif::TGraphic> picture = LoadPicture(name);
            if (picture->Empty()) throw std::runtime_error("the picture is empty");
            bool mergeTables = stored && stored->BeforeFrame(image, *picture);
            int index = image.AddFrame(picture.get());
            if (options->Delay) SetDelay(*image.Frame(index), *options->Delay);
            if (stored) stored->AfterFrame(*image.Frame(index), mergeTables);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "loopwright-cli import: %s: %s\n", name.c_str(), e.what());
            return 1;
        }
    }
    SaveGif(image, options->Output);
    return 0;
}

} // namespace

const Command ImportCommand = {
    "import",
    "import PICTURE... -o OUT  build an animation from pictures, one frame each\n"
    "                            [--reduction NAME] [--dither NAME] [--depth N] [--delay N]\n"
    "                            [--palette-settings]",
    RunImport};

} // namespace cli
