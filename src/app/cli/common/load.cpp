#include "load.h"

#include <cstdio>

#include "gif/base/exception.h"
#include "gif/base/stream.h"
#include "gif/model/image.h"

namespace cli {

namespace {

int64_t g_maxImagePixels = gif::TGIFImage::DefaultMaxImagePixels;

} // namespace

void SetMaxImagePixels(int64_t pixels) {
    g_maxImagePixels = pixels;
}

int64_t MaxImagePixels() {
    return g_maxImagePixels;
}

std::string InputName(const std::string& argument) {
    return argument == "-" ? "/dev/stdin" : argument;
}

std::string OutputName(const std::string& argument) {
    return argument == "-" ? "/dev/stdout" : argument;
}

int64_t LoadGif(gif::TGIFImage& image, const std::string& fileName, bool showWarnings,
                gif::TMemoryStream* bytes) {
    if (showWarnings) {
        image.WarningHandler = [&fileName](gif::TObject*, uint8_t, const std::string& message) {
            std::fprintf(stderr, "%s: warning: %s\n", fileName.c_str(), message.c_str());
        };
    }
    image.MaxImagePixels = g_maxImagePixels;
    gif::TMemoryStream own;
    gif::TMemoryStream& stream = bytes ? *bytes : own;
    stream.LoadFromFile(InputName(fileName));
    try {
        image.LoadFromStream(stream);
    } catch (const gif::GIFException& e) {
        throw gif::GIFException(fileName + ": " + e.what());
    }
    image.WarningHandler = nullptr;
    return stream.Size();
}

int64_t SaveGif(gif::TGIFImage& image, const std::string& fileName) {
    gif::TSafeFileWriter writer(OutputName(fileName));
    image.SaveToStream(writer.Stream());
    writer.Commit();
    return writer.BytesWritten();
}

int64_t SaveBytes(const gif::TMemoryStream& data, const std::string& fileName) {
    gif::TSafeFileWriter writer(OutputName(fileName));
    writer.Stream().WriteBuffer(data.Bytes().data(), data.Bytes().size());
    writer.Commit();
    return writer.BytesWritten();
}

} // namespace cli
