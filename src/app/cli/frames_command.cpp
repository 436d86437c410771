// `frames IN OUTDIR [--background RRGGBB]`: writes the picture each frame shows, as a
// viewer sees it, as 24-bit bitmaps frame-000.bmp, frame-001.bmp, ... in OUTDIR.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "commands.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/render/compose.h"
#include "load.h"

namespace cli {

namespace {

constexpr const char* UsageText = "Usage: loopwright-cli frames IN OUTDIR [--background RRGGBB]\n";

// "RRGGBB" (hexadecimal, an optional leading '#') as a colour; nothing when malformed.
std::optional<gif::TColor> ParseColor(std::string_view text) {
    if (!text.empty() && text[0] == '#') text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;
    uint32_t value = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0) return std::nullopt;
        value = value << 4 | uint32_t(digit);
    }
    return gif::RGB(uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value));
}

std::string FrameFileName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%03d.bmp", index);
    return name;
}

int RunFrames(const Args& args) {
    std::vector<std::string> positional;
    gif::TColor background = gif::clWhite;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--background") {
            std::optional<gif::TColor> color;
            if (i + 1 < args.size()) color = ParseColor(args[++i]);
            if (!color) {
                std::fprintf(stderr,
                             "loopwright-cli frames: --background needs a colour RRGGBB\n%s",
                             UsageText);
                return 2;
            }
            background = *color;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            std::fprintf(stderr, "loopwright-cli frames: unknown option \"%s\"\n%s",
                         args[i].c_str(), UsageText);
            return 2;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        std::fprintf(stderr, "%s", UsageText);
        return 2;
    }

    gif::TGIFImage image;
    LoadGif(image, positional[0], /*showWarnings=*/true);
    std::filesystem::path folder = positional[1];
    std::filesystem::create_directories(folder);
    // Each picture is written as soon as it is composed: memory does not grow with the
    // number of frames.
    int written = 0;
    WorkOnGif(image, positional[0], [&] {
        gif::ComposeFramesEach(image, background, [&](int, const gif::TBitmap& picture) {
            gif::TSafeFileWriter file((folder / FrameFileName(written)).string());
            picture.WriteFile(file.Stream());
            file.Commit();
            ++written;
        });
    });
    std::printf("%d frames written to %s\n", written, folder.string().c_str());
    return 0;
}

} // namespace

const Command FramesCommand = {
    "frames",
    "frames IN OUTDIR          write each frame's picture, as shown, as frame-NNN.bmp\n"
    "                            [--background RRGGBB]",
    RunFrames};

} // namespace cli
