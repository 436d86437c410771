// Reading the pictures `import` turns into frames.
#pragma once

#include <memory>
#include <string>

namespace gif {
class TGraphic;
}

namespace cli {

// Reads one picture: bitmaps, icons and the library's own metafiles through the GIF
// library, every other kind through the editor's imaging control (JPEG, PNG, TIFF, PCX,
// Targa, PNM, ...). Raises std::runtime_error with a one-line reason when it cannot.
std::unique_ptr<gif::TGraphic> LoadPicture(const std::string& path);

} // namespace cli
