// Helpers shared by the import and export tests.
#pragma once

#include "gif/base/types.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/subimage.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

namespace iotest {

// A fresh folder under the system's temporary folder, removed when the test ends.
struct TempDir {
    std::filesystem::path Path;
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lwio-XXXXXX").string();
        Path = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(Path); }
    std::string operator/(const std::string& name) const { return (Path / name).string(); }
};

// Appends a frame at (left, top) of the given size whose pixels are `fill(x, y)`, with a
// local table of `colors`, and a graphic control block of `delay` unless it is negative.
inline gif::TGIFSubImage& AddFrame(gif::TGIFImage& image, int left, int top, int width, int height,
                            const std::vector<gif::TColor>& colors,
                            const std::function<uint8_t(int, int)>& fill, int delay = -1) {
    auto owned = std::make_unique<gif::TGIFSubImage>(&image);
    gif::TGIFSubImage& frame = *owned;
    frame.SetPlacement(left, top, width, height);
    frame.AllocatePixels();
    for (gif::TColor c : colors) frame.LocalTable().AppendColor(c);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) frame.Pixels()[y * width + x] = fill(x, y);
    if (delay >= 0) {
        auto control = std::make_unique<gif::TGIFGraphicControlExtension>(&frame);
        control->SetDelayTime(uint16_t(delay));
        frame.Blocks().Add(std::move(control));
    }
    image.AddFrame(std::move(owned));
    return frame;
}

inline std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

// Runs ImageMagick's convert (the real one, not the stand-in earlier on PATH).
inline bool Convert(const std::string& args) {
    return std::system(("/usr/bin/convert " + args + " 2>/dev/null").c_str()) == 0;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const std::string& path, std::span<const uint8_t> bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The CRC-32 of PNG chunks (and zlib).
inline uint32_t Crc32(std::span<const uint8_t> bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A side x side 24-bit bitmap in four quadrants: top-left, top-right, bottom-left, bottom-right.
inline gif::TBitmap Quadrants(const std::array<gif::TColor, 4>& colors, int side = 32) {
    gif::TBitmap bitmap(side, side, gif::pf24bit);
    int half = side / 2;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            bitmap.SetPixels(x, y, colors[(y < half ? 0 : 2) + (x < half ? 0 : 1)]);
    return bitmap;
}

// Checks the colour at (x, y) channel by channel, within `tolerance`.
inline void ExpectColor(const gif::TBitmap& bitmap, int x, int y, gif::TColor want, int tolerance,
                        const std::string& what) {
    gif::TColor got = bitmap.Pixels(x, y);
    EXPECT_NEAR(gif::GetRValue(got), gif::GetRValue(want), tolerance)
        << what << " red at " << x << "," << y;
    EXPECT_NEAR(gif::GetGValue(got), gif::GetGValue(want), tolerance)
        << what << " green at " << x << "," << y;
    EXPECT_NEAR(gif::GetBValue(got), gif::GetBValue(want), tolerance)
        << what << " blue at " << x << "," << y;
}

} // namespace iotest
