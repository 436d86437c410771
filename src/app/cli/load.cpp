#include "load.h"

#include <cstdio>

#include "gif/base/exception.h"
#include "gif/model/image.h"

namespace cli {

void LoadGif(gif::TGIFImage& image, const std::string& fileName, bool showWarnings) {
    if (showWarnings) {
        image.WarningHandler = [&fileName](gif::TObject*, uint8_t, const std::string& message) {
            std::fprintf(stderr, "%s: warning: %s\n", fileName.c_str(), message.c_str());
        };
    }
    try {
        image.LoadFromFile(fileName);
    } catch (const gif::GIFException& e) {
        throw gif::GIFException(fileName + ": " + e.what());
    }
    image.WarningHandler = nullptr;
}

} // namespace cli
