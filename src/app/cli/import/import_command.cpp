// `import PICTURE... -o OUT.gif [--reduction NAME] [--dither NAME] [--depth N] [--delay N]
// [--palette-settings]`: builds an animation from pictures (bitmaps, icons, and every kind
// the imaging control reads), one frame each, reduced to 256 colours with the chosen method
// and dither mode, or with the editor's stored palette settings. The quality method reduces
// all frames together.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "import_command.h"

#include "gif/graphics/bitmap.h"
#include "gif/graphics/graphic.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/reduce/animation_reduction.h"
#include "gif/reduce/reduction.h"
#include "load.h"
#include "picture_input.h"
#include "stored_palette.h"
#include "video_input.h"

namespace cli {

namespace {

constexpr const char* UsageText =
    "Usage: loopwright-cli import PICTURE... -o OUT.gif [--reduction NAME] [--dither NAME] "
    "[--depth N] [--delay N] [--palette-settings] [-- PICTURE...]\n"
    "       loopwright-cli import VIDEO -o OUT.gif [the same options]\n"
    "  \"--\" ends the options: every argument after it is a picture.\n";

// Option names with the enumerations' values.
struct TName {
    const char* Name;
    uint8_t Value;
};
constexpr std::array<TName, 10> ReductionNames = {{{"none", gif::crNone},
                                                   {"system20", gif::crSystem20},
                                                   {"halftone", gif::crHalftone},
                                                   {"gray4", gif::crGray4},
                                                   {"monochrome", gif::crMonochrome},
                                                   {"gray256", gif::crGray256},
                                                   {"web216", gif::crWeb216},
                                                   {"optimized", gif::crOptimized},
                                                   {"optimized-system", gif::crOptimizedSystem},
                                                   {"quality", gif::crQuality}}};
constexpr std::array<TName, 9> DitherNames = {
    {{"nearest", gif::dtNearest},
     {"floyd-steinberg", gif::dtFloydSteinberg},
     {"stucki", gif::dtStucki},
     {"sierra", gif::dtSierra},
     {"jarvis-judice-ninke", gif::dtJarvisJudiceNinke},
     {"stevenson-arce", gif::dtStevensonArce},
     {"burkes", gif::dtBurkes},
     {"clamped-floyd-steinberg", gif::dtClampedFloydSteinberg},
     {"ordered", gif::dtOrdered}}};

template <size_t N>
std::optional<uint8_t> FindName(const std::array<TName, N>& names, std::string_view name) {
    for (const TName& entry : names)
        if (name == entry.Name) return entry.Value;
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
    std::optional<uint8_t> Dither; // the method's best when not given for quality
    int Depth = gif::DefaultReductionDepth;
    std::optional<int> Delay;
    bool PaletteSettings = false;
    bool ReductionGiven = false;
    bool DitherGiven = false;
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
        if (arg == "--") {
            // The end of the options: what follows are pictures, whatever their names.
            options.Pictures.insert(options.Pictures.end(), args.begin() + long(i) + 1, args.end());
            break;
        }
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
    options.ReductionGiven =
        std::find(args.begin(), args.end(), std::string("--reduction")) != args.end();
    options.DitherGiven = std::find(args.begin(), args.end(), std::string("--dither")) != args.end();
    if (options.PaletteSettings && reductionGiven)
        return fail("--palette-settings takes the place of --reduction, --dither and --depth");
    if (!options.Dither)
        options.Dither = options.Reduction == gif::crQuality
                             ? uint8_t(gif::BestDitherMode(gif::crQuality))
                             : gif::DefaultDitherMethod;
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

// The quality reduction takes opaque bitmaps all at once: one palette built from every
// frame, and pixels that stand still between frames keep their index so that the dither
// does not shimmer. The frames then share that palette as the global table. Returns
// nothing when a picture is transparent or no bitmap (an icon, a metafile): those go frame
// by frame, which keeps their masks.
std::optional<int> ImportTogether(const TImportOptions& options, gif::TGIFImage& image) {
    std::vector<gif::TBitmap> bitmaps(options.Pictures.size());
    std::vector<const gif::TBitmap*> frames;
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        try {
            std::unique_ptr<gif::TGraphic> picture = LoadPicture(options.Pictures[i]);
            auto* bitmap = dynamic_cast<gif::TBitmap*>(picture.get());
            if (!bitmap || bitmap->Transparent()) return std::nullopt;
            bitmaps[i] = std::move(*bitmap);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "loopwright-cli import: %s: %s\n", options.Pictures[i].c_str(),
                         e.what());
            return 1;
        }
        frames.push_back(&bitmaps[i]);
    }
    try {
        gif::TReducedFrames reduced =
            gif::ReduceFrames(frames, gif::crQuality, gif::TDitherMode(*options.Dither), nullptr,
                              options.Depth);
        for (std::unique_ptr<gif::TBitmap>& frame : reduced.Frames) {
            frame->SetPalette(reduced.Palette); // the real colours, not 256 entries
            int index = image.AddFrame(frame.get());
            if (options.Delay) SetDelay(*image.Frame(index), *options.Delay);
        }
        if (image.FrameCount() > 1) image.OptimizeColorMaps();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "loopwright-cli import: %s\n", e.what());
        return 1;
    }
    return 0;
}


// A video on its own: its frames, with the video import's colours unless chosen.
int ImportVideoFile(const TImportOptions& options) {
    if (options.Pictures.size() != 1) {
        std::fprintf(stderr, "loopwright-cli import: a video is imported on its own\n%s",
                     UsageText);
        return 2;
    }
    TVideoChoice choice;
    if (options.ReductionGiven) choice.Reduction = options.Reduction;
    if (options.DitherGiven) choice.Dither = options.Dither;
    choice.Depth = options.Depth;
    choice.PaletteSettings = options.PaletteSettings;
    gif::TGIFImage image;
    try {
        ImportVideo(image, options.Pictures[0], choice);
        if (options.Delay)
            for (int i = 0; i < image.FrameCount(); ++i) SetDelay(*image.Frame(i), *options.Delay);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "loopwright-cli import: %s: %s\n", options.Pictures[0].c_str(),
                     e.what());
        return 1;
    }
    SaveGif(image, options.Output);
    return 0;
}

} // namespace

int RunImport(const Args& args) {
    std::optional<TImportOptions> options = ParseArgs(args);
    if (!options) return 2;
    if (std::any_of(options->Pictures.begin(), options->Pictures.end(), IsVideoInput))
        return ImportVideoFile(*options);

    gif::TGIFImage image;
    image.ReductionMethod = options->Reduction;
    image.DitherMethod = *options->Dither;
    image.SetReductionDepth(options->Depth);
    if (options->Reduction == gif::crQuality && !options->PaletteSettings) {
        if (std::optional<int> status = ImportTogether(*options, image)) {
            if (*status != 0) return *status;
            SaveGif(image, options->Output);
            return 0;
        }
    }
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

} // namespace cli
