// Checks our reader and writer against giflib: every file giflib reads must load
// with our library, and what we write (LZW and run-length) must decode with giflib
// to the same colours in every frame.
//
//   gif_compat FILE...     check the given files
//   gif_compat --system    check every *.gif of this machine
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <gif_lib.h>
#include <string>
#include <vector>

#include "gif/base/stream.h"
#include "gif/model/image.h"

namespace fs = std::filesystem;

namespace {

// One frame as giflib sees it: the colour of every pixel of its rectangle.
struct FrameColors {
    int Left, Top, Width, Height;
    std::vector<uint32_t> Colors;
    bool operator==(const FrameColors&) const = default;
};

struct MemoryReader {
    const std::vector<uint8_t>* Data;
    size_t Pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int length) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    size_t n = std::min(size_t(length), reader->Data->size() - reader->Pos);
    std::memcpy(out, reader->Data->data() + reader->Pos, n);
    reader->Pos += n;
    return int(n);
}

// Decodes with giflib; false when giflib refuses the data.
bool DecodeWithGiflib(const std::vector<uint8_t>& bytes, std::vector<FrameColors>& frames) {
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    if (!gif) return false;
    bool ok = DGifSlurp(gif) == GIF_OK;
    if (ok) {
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
            FrameColors frame{image.ImageDesc.Left, image.ImageDesc.Top, image.ImageDesc.Width,
                              image.ImageDesc.Height, {}};
            size_t count = size_t(frame.Width) * size_t(frame.Height);
            frame.Colors.reserve(count);
            for (size_t p = 0; p < count; ++p) {
                int index = image.RasterBits[p];
                uint32_t color = 0xFF000000u | uint32_t(index);   // no table: compare indices
                if (map && index < map->ColorCount) {
                    const GifColorType& c = map->Colors[index];
                    color = uint32_t(c.Red) | uint32_t(c.Green) << 8 | uint32_t(c.Blue) << 16;
                }
                frame.Colors.push_back(color);
            }
            frames.push_back(std::move(frame));
        }
    }
    DGifCloseFile(gif, &error);
    return ok;
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
    gif::TMemoryStream stream;
    stream.LoadFromFile(path.string());
    return stream.TakeBytes();
}

// Returns an empty string when the file passes, else what went wrong.
std::string Check(const fs::path& path, bool& skipped) {
    std::vector<uint8_t> original = ReadFile(path);
    std::vector<FrameColors> expected;
    skipped = !DecodeWithGiflib(original, expected);
    if (skipped) return "";

    gif::TGIFImage image;
    try {
        gif::TMemoryStream in(original);
        image.LoadFromStream(in);
    } catch (const std::exception& e) {
        return std::string("our reader failed: ") + e.what();
    }
    for (gif::TEncodingMethod method : {gif::emLZW, gif::emRLE}) {
        const char* name = method == gif::emLZW ? "LZW" : "RLE";
        gif::TMemoryStream out;
        image.EncodingMethod = method;
        try {
            image.SaveToStream(out);
        } catch (const std::exception& e) {
            return std::string("our writer failed (") + name + "): " + e.what();
        }
        std::vector<FrameColors> actual;
        if (!DecodeWithGiflib(out.Bytes(), actual))
            return std::string("giflib cannot read our ") + name + " output";
        if (actual != expected) return std::string("colours differ after writing with ") + name;
    }
    return "";
}

std::vector<fs::path> SystemGifs() {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const char* root : {"/usr", "/opt", "/etc", "/var/lib", "/root", "/home"}) {
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec), end;
        for (; it != end; it.increment(ec)) {
            if (ec) break;
            std::error_code fileError;
            if (it->is_regular_file(fileError) && !fileError) {
                std::string ext = it->path().extension().string();
                for (char& c : ext) c = char(std::tolower(c));
                if (ext == ".gif") files.push_back(it->path());
            }
        }
    }
    return files;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> files;
    if (argc == 2 && std::string(argv[1]) == "--system") files = SystemGifs();
    else
        for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);

    int checked = 0, skippedCount = 0, failed = 0;
    for (const fs::path& file : files) {
        bool skipped = false;
        std::string problem = Check(file, skipped);
        if (skipped) {
            ++skippedCount;
            continue;
        }
        ++checked;
        if (!problem.empty()) {
            ++failed;
            std::printf("FAIL %s: %s\n", file.c_str(), problem.c_str());
        }
    }
    std::printf("%d files checked, %d failed, %d not readable by giflib (skipped)\n", checked, failed,
                skippedCount);
    return failed ? 1 : 0;
}
