#include "load.h"

#include <cstdio>
#include <cstring>

#include "gif/base/exception.h"
#include "gif/base/format.h"
#include "gif/base/messages.h"
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

namespace {

// The first frame whose pixels the writer cannot find colours for, and why, in words.
std::string ColorTableProblem(const gif::TGIFImage& image) {
    const gif::TGIFColorMap& global = image.Header().GlobalTable();
    for (int i = 0; i < image.FrameCount(); ++i) {
        const gif::TGIFSubImage& frame = *image.Frame(i);
        if (frame.IsBlank()) continue;
        const gif::TGIFColorMap& table =
            frame.LocalTable().EntryCount() > 0 ? frame.LocalTable() : global;
        if (table.EntryCount() == 0)
            return gif::Format("frame %d has no colour table, and the file no global one", i);
        for (uint8_t pixel : frame.PixelData())
            if (pixel >= table.EntryCount())
                return gif::Format("frame %d uses colour %d of a table of %d entries", i,
                                   int(pixel), table.EntryCount());
    }
    return "";
}

bool HasPicture(const gif::TGIFImage& image) {
    for (int i = 0; i < image.FrameCount(); ++i)
        if (!image.Frame(i)->IsBlank()) return true;
    return false;
}

} // namespace

std::string ExplainError(const gif::TGIFImage& image, const std::string& fileName,
                         const std::exception& error) {
    const std::string text = error.what();
    // A message that already names the file stays as it is.
    if (text.rfind(fileName + ": ", 0) == 0) return text;
    std::string cause;
    if (text == gif::msg::ColorNotInTable || text == gif::msg::NoColorTable)
        cause = ColorTableProblem(image);
    else if (text == gif::msg::UnsupportedVersion && !HasPicture(image))
        cause = "no frames to write";
    return fileName + ": " + (cause.empty() ? text : cause + " (" + text + ")");
}

void CheckHasFrames(const gif::TGIFImage& image, const std::string& fileName) {
    if (HasPicture(image)) return;
    std::string cause = image.FrameCount() == 0 ? "the file holds no frames"
                                                : "no frame of the file holds a picture";
    if (image.Width() == 0 || image.Height() == 0)
        cause += gif::Format(" and its logical screen is %d x %d", image.Width(), image.Height());
    throw gif::GIFException(fileName + ": " + cause);
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
