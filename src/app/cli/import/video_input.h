// `import` of a video: the clip's frames become the animation, read through the editor's
// video import.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace gif {
class TGIFImage;
}

namespace cli {

struct TVideoChoice {
    std::optional<uint8_t> Reduction; // the import's own (web palette) when not given
    std::optional<uint8_t> Dither;
    int Depth = 8;
    bool PaletteSettings = false;     // the editor's stored palette settings
};

// Whether the file is imported as a video (by its name: ".avi", ".mp4", ".webm", ...).
bool IsVideoInput(const std::string& path);

// Fills `image` from the video at `path`. Raises std::runtime_error with the import's
// message; an empty stream gives "Error importing PATH to GIF.".
void ImportVideo(gif::TGIFImage& image, const std::string& path, const TVideoChoice& choice);

} // namespace cli
