// Loading GIF files for the verbs, with the library's warnings shown on stderr.
#pragma once

#include <string>

namespace gif {
class TGIFImage;
}

namespace cli {

// Loads `fileName` into `image`; errors propagate (main prints them as one line).
void LoadGif(gif::TGIFImage& image, const std::string& fileName, bool showWarnings);

} // namespace cli
