// `export-frames IN OUTNAME --format gif|jpeg|bmp [options]`: chosen frames as separate
// picture files, named as the editor's Export Images names them (OUTNAME with "GL1" and the
// frame index before its extension).
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"
#include "io/export/frame_export.h"
#include "load.h"

namespace cli {

namespace {

constexpr const char* UsageText =
    "Usage: loopwright-cli export-frames IN OUTNAME --format gif|jpeg|bmp [--frames 0,2-5]\n"
    "         [--quality N] [--gray] [--progressive] [--mono]\n"
    "         [--palette web|gray|mono|optimized|system20] [--colors N] [--no-optimize]\n";

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "0,2-5" as frame indices in the order given; nothing when malformed or when an index lies
// outside 0..count-1.
std::optional<std::vector<int>> ParseFrames(std::string_view text, int count, std::string& why) {
    std::vector<int> frames;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        std::string_view part = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const size_t dash = part.find('-', 1);
        std::optional<int> first = ParseInt(part.substr(0, dash));
        std::optional<int> last =
            dash == std::string_view::npos ? first : ParseInt(part.substr(dash + 1));
        if (!first || !last || *first < 0 || *last < *first) {
            why = "\"" + std::string(part) + "\" is not a frame or a range of frames";
            return std::nullopt;
        }
        if (*last >= count) {
            why = "frame " + std::to_string(*last) + " does not exist (the animation has " +
                  std::to_string(count) + " frames)";
            return std::nullopt;
        }
        for (int i = *first; i <= *last; ++i) frames.push_back(i);
        if (comma != std::string_view::npos && text.empty()) {
            why = "the frame list ends with a comma";
            return std::nullopt;
        }
    }
    if (frames.empty()) why = "no frames given";
    return frames.empty() ? std::nullopt : std::optional(frames);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "loopwright-cli export-frames: %s\n%s", message.c_str(), UsageText);
    return 2;
}

int RunExportFrames(const Args& args) {
    std::vector<std::string> positional;
    io::TExportOptions options;
    std::optional<io::TExportFormat> format;
    std::string frameList;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        if (arg == "--format") {
            const auto v = value();
            if (v == "gif") format = io::TExportFormat::efGif;
            else if (v == "jpeg" || v == "jpg") format = io::TExportFormat::efJpeg;
            else if (v == "bmp") format = io::TExportFormat::efBitmap;
            else return Fail("--format takes gif, jpeg or bmp");
        } else if (arg == "--frames") {
            const auto v = value();
            if (!v) return Fail("--frames needs a list such as 0,2-5");
            frameList = *v;
        } else if (arg == "--quality") {
            const auto v = value();
            const std::optional<int> quality = v ? ParseInt(*v) : std::nullopt;
            if (!quality || *quality < 1 || *quality > 100)
                return Fail("--quality takes a number from 1 to 100");
            options.Jpeg.Quality = *quality;
        } else if (arg == "--gray") {
            options.Jpeg.Grayscale = true;
        } else if (arg == "--progressive") {
            options.Jpeg.Progressive = true;
        } else if (arg == "--mono") {
            options.BitmapMonochrome = true;
        } else if (arg == "--palette") {
            const auto v = value();
            if (v == "web") options.GifReduction = gif::crWeb216;
            else if (v == "gray") options.GifReduction = gif::crGray256;
            else if (v == "mono") options.GifReduction = gif::crMonochrome;
            else if (v == "optimized") options.GifReduction = gif::crOptimized;
            else if (v == "system20") options.GifReduction = gif::crSystem20;
            else return Fail("--palette takes web, gray, mono, optimized or system20");
        } else if (arg == "--colors") {
            const auto v = value();
            const std::optional<int> colors = v ? ParseInt(*v) : std::nullopt;
            if (!colors || !io::BitsForColorCount(*colors))
                return Fail("--colors takes 256, 128, 64, 32, 16 or 8");
            options.GifColors = *colors;
        } else if (arg == "--no-optimize") {
            options.GifOptimized = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Fail("unknown option \"" + arg + "\"");
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) return Fail("needs IN and OUTNAME");
    if (!format) return Fail("--format is required");
    if (positional[1].empty() || positional[1] == "-")
        return Fail("OUTNAME must name files; each frame is written to a file of its own");
    options.Format = *format;

    gif::TGIFImage image;
    LoadGif(image, positional[0], /*showWarnings=*/true);
    std::vector<int> frames;
    if (frameList.empty()) {
        for (int i = 0; i < image.FrameCount(); ++i) frames.push_back(i);
        if (frames.empty()) {
            std::fprintf(stderr, "loopwright-cli export-frames: %s has no frames\n",
                         positional[0].c_str());
            return 1;
        }
    } else {
        std::string why;
        std::optional<std::vector<int>> chosen = ParseFrames(frameList, image.FrameCount(), why);
        if (!chosen) return Fail(why);
        frames = *chosen;
    }

    const io::TExportResult result = io::ExportFrames(image, frames, positional[1], options);
    for (const std::string& file : result.Written) std::printf("%s\n", file.c_str());
    for (const std::string& failure : result.Failures)
        std::fprintf(stderr, "loopwright-cli export-frames: %s\n", failure.c_str());
    if (result.PlaceholderWritten)
        std::fprintf(stderr, "loopwright-cli export-frames: An error occurred exporting one or "
                             "more images. (empty frames were written as a placeholder picture)\n");
    return result.Failures.empty() && !result.PlaceholderWritten ? 0 : 1;
}

} // namespace

const Command ExportFramesCommand = {
    "export-frames",
    "export-frames IN OUTNAME  write frames as separate GIF, JPEG or bitmap files\n"
    "                            (OUTNAME with GL1 and the frame index before its extension)\n"
    "                            --format gif|jpeg|bmp [--frames 0,2-5] [--quality N] [--gray]\n"
    "                            [--progressive] [--mono] [--no-optimize]\n"
    "                            [--palette web|gray|mono|optimized|system20] [--colors N]",
    RunExportFrames};

} // namespace cli
