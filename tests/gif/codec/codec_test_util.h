// Helpers for the codec tests: generated images, encode/decode shortcuts and a recorder
// of everything a decoder does that can be observed from outside.
#pragma once

#include "gif/base/exception.h"
#include "gif/base/stream.h"
#include "gif/codec/image_data_writer.h"
#include "gif/codec/lzw_decoder.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace giftest::codec {

// A frame's pixels with what the encoders need to know about them.
struct Frame {
    int Width = 0;
    int Height = 0;
    int Bits = 8;
    bool Interlaced = false;
    std::vector<uint8_t> Pixels;
};

inline Frame RandomFrame(std::mt19937& rng, int width, int height, int bits, bool interlaced) {
    Frame f{width, height, bits, interlaced, std::vector<uint8_t>(size_t(width) * height)};
    std::uniform_int_distribution<int> pick(0, (1 << bits) - 1);
    for (auto& p : f.Pixels)
        p = uint8_t(pick(rng));
    return f;
}

// Runs of random lengths (1..maxRun) of random colours: flat areas and edges.
inline Frame RunsFrame(std::mt19937& rng, int width, int height, int bits, bool interlaced,
                       int maxRun) {
    Frame f{width, height, bits, interlaced, std::vector<uint8_t>(size_t(width) * height)};
    std::uniform_int_distribution<int> pick(0, (1 << bits) - 1), run(1, maxRun);
    size_t i = 0;
    while (i < f.Pixels.size()) {
        uint8_t c = uint8_t(pick(rng));
        for (int r = run(rng); r > 0 && i < f.Pixels.size(); --r)
            f.Pixels[i++] = c;
    }
    return f;
}

inline Frame GradientFrame(int width, int height, int bits, bool interlaced) {
    Frame f{width, height, bits, interlaced, std::vector<uint8_t>(size_t(width) * height)};
    const int colors = 1 << bits;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f.Pixels[size_t(y) * width + x] =
                uint8_t(((x + y) * colors / (width + height)) % colors);
    return f;
}

inline std::vector<uint8_t> Encode(const Frame& f, gif::TEncodingMethod method) {
    gif::TMemoryStream out;
    gif::TEncodeSource source{f.Pixels.empty() ? nullptr : f.Pixels.data(),
                              f.Width,
                              f.Height,
                              f.Interlaced,
                              f.Bits,
                              1 << f.Bits};
    gif::EncodeImageData(out, source, method);
    return out.Bytes();
}

// Everything a decode run leaves behind.
struct DecodeResult {
    std::vector<uint8_t> Pixels;
    std::vector<std::string> Warnings;
    std::string Error; // the exception text, empty without one
    int64_t Position = 0;

    bool operator==(const DecodeResult&) const = default;
};

template <typename DecodeFn>
DecodeResult RunDecoder(DecodeFn decode, gif::TStream& stream, int width, int height,
                        bool interlaced, uint8_t fill = 0xEE) {
    DecodeResult r;
    r.Pixels.assign(size_t(width) * height, fill);
    gif::TDecodeTarget target{r.Pixels.data(), width, height, interlaced};
    try {
        decode(stream, target, [&r](const char* message) { r.Warnings.push_back(message); });
    } catch (const gif::GIFException& e) {
        r.Error = e.what();
    }
    r.Position = stream.Position();
    return r;
}

template <typename DecodeFn>
DecodeResult RunDecoder(DecodeFn decode, const std::vector<uint8_t>& bytes, int width, int height,
                        bool interlaced, uint8_t fill = 0xEE) {
    gif::TMemoryStream stream(bytes);
    return RunDecoder(decode, stream, width, height, interlaced, fill);
}

inline DecodeResult Decode(const std::vector<uint8_t>& bytes, int width, int height,
                           bool interlaced, uint8_t fill = 0xEE) {
    return RunDecoder(gif::DecodeImageData, bytes, width, height, interlaced, fill);
}

} // namespace giftest::codec

namespace giftest::codec {

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(uint8_t(v));
    return out;
}

// Packs (code, bits) pairs least significant bit first, the last byte padded with 0 bits.
inline std::vector<uint8_t> PackCodes(const std::vector<std::pair<int, int>>& codes) {
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    int count = 0;
    for (auto [code, bits] : codes) {
        acc |= uint32_t(code) << count;
        count += bits;
        while (count >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            count -= 8;
        }
    }
    if (count > 0) out.push_back(uint8_t(acc));
    return out;
}

// The code size byte, `data` cut into sub-blocks of `blockSize` bytes, and (optionally)
// the terminator.
inline std::vector<uint8_t> ImageData(int codeSize, const std::vector<uint8_t>& data,
                                      size_t blockSize = 255, bool terminator = true) {
    std::vector<uint8_t> out{uint8_t(codeSize)};
    for (size_t i = 0; i < data.size(); i += blockSize) {
        size_t n = std::min(blockSize, data.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    if (terminator) out.push_back(0);
    return out;
}

// A stream over bytes that is not a TMemoryStream, so decoders cannot scan it in place.
class PlainStream : public gif::TStream {
  public:
    explicit PlainStream(std::vector<uint8_t> bytes) : inner_(std::move(bytes)) {}
    size_t Read(void* buffer, size_t count) override { return inner_.Read(buffer, count); }
    size_t Write(const void* buffer, size_t count) override { return inner_.Write(buffer, count); }
    int64_t Seek(int64_t offset, gif::TSeekOrigin origin) override {
        return inner_.Seek(offset, origin);
    }

  private:
    gif::TMemoryStream inner_;
};

} // namespace giftest::codec
