#include "picture_input.h"

#include "gif/base/exception.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/icon.h"
#include "gif/graphics/metafile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#ifdef LOOPWRIGHT_WITH_IMAGING
#include "io/picture_loader.h"
#endif

namespace cli {

namespace {

std::string LowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

// The library's metafiles have no extension of their own; they start with "LWMF".
bool IsLibraryMetafile(const std::string& path) {
    char magic[4] = {};
    std::ifstream(path, std::ios::binary).read(magic, 4);
    return std::string_view(magic, 4) == "LWMF";
}

template <class TKind> std::unique_ptr<gif::TGraphic> LoadWithLibrary(const std::string& path) {
    auto graphic = std::make_unique<TKind>();
    graphic->LoadFromFile(path);
    return graphic;
}

std::unique_ptr<gif::TGraphic> LoadWithImagingControl(const std::string& path) {
#ifdef LOOPWRIGHT_WITH_IMAGING
    auto bitmap = std::make_unique<gif::TBitmap>();
    std::string reason;
    if (io::LoadPictureWithXpress(path, *bitmap, &reason) != 0) throw std::runtime_error(reason);
    return bitmap;
#else
    throw std::runtime_error("this build reads only bitmap and icon files");
#endif
}

} // namespace

std::unique_ptr<gif::TGraphic> LoadPicture(const std::string& path) {
    std::string extension = LowerExtension(path);
    if (extension == ".bmp") return LoadWithLibrary<gif::TBitmap>(path);
    if (extension == ".ico") {
        try {
            return LoadWithLibrary<gif::TIcon>(path);
        } catch (const gif::GIFException&) {
            // The library reads icons of bitmaps only; those holding PNG go to the control.
            return LoadWithImagingControl(path);
        }
    }
    if (IsLibraryMetafile(path)) return LoadWithLibrary<gif::TMetafile>(path);
    return LoadWithImagingControl(path);
}

} // namespace cli
