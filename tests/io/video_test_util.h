// Videos for the import and export tests, made by the ffmpeg program, and the helpers that
// read what ffprobe and ffmpeg say about a file.
#pragma once

#include "io_test_util.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace iotest {

// Runs a shell command and returns its standard output.
inline std::string Output(const std::string& command) {
    std::string text;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return text;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) text.append(buffer.data(), n);
    return text;
}

// ffmpeg with `args` (inputs, options and output); true when it succeeded.
inline bool Ffmpeg(const std::string& args) {
    return std::system(("ffmpeg -nostdin -v error -y " + args + " 2>/dev/null").c_str()) == 0;
}

// A test picture clip of `frames` frames at `rate` frames per second, `size` "WxH", encoded
// with the container's default codec unless `codec` is given.
inline bool MakeClip(const std::string& path, int frames, const std::string& rate,
                     const std::string& size = "64x48", const std::string& codec = "") {
    return Ffmpeg("-f lavfi -i testsrc2=size=" + size + ":rate=" + rate + " -frames:v " +
                  std::to_string(frames) + (codec.empty() ? "" : " -c:v " + codec) +
                  " -pix_fmt yuv420p " + Quote(path));
}

// The offset of the first occurrence of the four characters `id` in `bytes`, or npos.
inline size_t FindId(const std::vector<uint8_t>& bytes, const char* id) {
    for (size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (std::equal(id, id + 4, bytes.begin() + long(i))) return i;
    return std::string::npos;
}

inline uint32_t GetLe32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

inline void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int b = 0; b < 4; ++b) bytes[at + size_t(b)] = uint8_t(value >> (8 * b));
}

} // namespace iotest
