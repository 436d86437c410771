// Helpers shared by the GIF library's tests.
#pragma once

#include <string>
#include <vector>

#include "gif/base/stream.h"
#include "gif/model/image.h"

namespace giftest {

// Collects the warnings an image sends, with the class name of each sender.
struct WarningLog {
    struct Entry {
        std::string Sender;
        int Severity;
        std::string Message;
    };
    std::vector<Entry> Entries;

    void Attach(gif::TGIFImage& image) {
        image.WarningHandler = [this](gif::TObject* sender, uint8_t severity,
                                      const std::string& message) {
            Entries.push_back({sender ? sender->ClassName() : "", severity, message});
        };
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const Entry& e : Entries) out.push_back(e.Message);
        return out;
    }
};

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(uint8_t(v));
    return out;
}

inline std::vector<uint8_t> StreamBytes(gif::TMemoryStream& stream) {
    return stream.Bytes();
}

// Adds a frame of the given placement whose pixels are `pixels` (row-major).
inline gif::TGIFSubImage& AddFrame(gif::TGIFImage& image, int left, int top, int width, int height,
                                   const std::vector<uint8_t>& pixels = {}) {
    auto frame = std::make_unique<gif::TGIFSubImage>(&image);
    frame->SetPlacement(left, top, width, height);
    if (!pixels.empty()) std::copy(pixels.begin(), pixels.end(), frame->Pixels());
    gif::TGIFSubImage& ref = *frame;
    image.AddFrame(std::move(frame));
    return ref;
}

} // namespace giftest

namespace giftest {

// Image data for `pixels` as a plain LZW code stream that never lets the code size grow:
// a clear code precedes every run of codes that would fill the table. Returns the minimum
// code size byte, the sub-blocks and the terminator. `withEnd` appends the end code.
inline std::vector<uint8_t> PlainLZW(const std::vector<uint8_t>& pixels, int codeSize,
                                     bool withEnd = true, bool withClear = true) {
    const int clear = 1 << codeSize;
    const int bits = codeSize + 1;
    const int perClear = (1 << bits) - clear - 2;   // codes that fit before the size grows
    std::vector<uint8_t> data;
    uint32_t acc = 0;
    int count = 0;
    auto emit = [&](int code) {
        acc |= uint32_t(code) << count;
        count += bits;
        while (count >= 8) {
            data.push_back(uint8_t(acc));
            acc >>= 8;
            count -= 8;
        }
    };
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % size_t(perClear) == 0 && (withClear || i > 0)) emit(clear);
        emit(pixels[i]);
    }
    if (withEnd) emit(clear + 1);
    if (count > 0) data.push_back(uint8_t(acc));
    std::vector<uint8_t> out = {uint8_t(codeSize)};
    for (size_t i = 0; i < data.size(); i += 255) {
        size_t n = std::min<size_t>(255, data.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    out.push_back(0);
    return out;
}

// A small GIF file builder for inline fixtures.
struct GifBuilder {
    std::vector<uint8_t> Bytes;

    explicit GifBuilder(int width, int height, std::vector<uint32_t> globalColors = {},
                        const char* signature = "GIF89a") {
        for (int i = 0; i < 6; ++i) Bytes.push_back(uint8_t(signature[i]));
        Word(width);
        Word(height);
        int sizeCode = 0;
        while ((2 << sizeCode) < int(globalColors.size())) ++sizeCode;
        Bytes.push_back(uint8_t(globalColors.empty() ? 0 : 0x80 | sizeCode));
        Bytes.push_back(0);
        Bytes.push_back(0);
        if (!globalColors.empty()) Table(globalColors, 2 << sizeCode);
    }
    GifBuilder& Word(int v) {
        Bytes.push_back(uint8_t(v));
        Bytes.push_back(uint8_t(v >> 8));
        return *this;
    }
    GifBuilder& Table(const std::vector<uint32_t>& colors, int entries) {
        for (int i = 0; i < entries; ++i) {
            uint32_t c = i < int(colors.size()) ? colors[size_t(i)] : 0;
            Bytes.push_back(uint8_t(c));
            Bytes.push_back(uint8_t(c >> 8));
            Bytes.push_back(uint8_t(c >> 16));
        }
        return *this;
    }
    GifBuilder& Raw(std::initializer_list<int> values) {
        for (int v : values) Bytes.push_back(uint8_t(v));
        return *this;
    }
    GifBuilder& Raw(const std::vector<uint8_t>& values) {
        Bytes.insert(Bytes.end(), values.begin(), values.end());
        return *this;
    }
    GifBuilder& Control(int delay, int disposal = 0, int transparent = -1) {
        return Raw({0x21, 0xF9, 4, (disposal << 2) | (transparent >= 0 ? 1 : 0), delay & 0xFF,
                    delay >> 8, transparent >= 0 ? transparent : 0, 0});
    }
    GifBuilder& Comment(const std::string& text) {
        Raw({0x21, 0xFE, int(text.size())});
        Bytes.insert(Bytes.end(), text.begin(), text.end());
        return Raw({0});
    }
    // An image descriptor and its data; `codeSize` 0 picks 2 or more as needed.
    GifBuilder& Image(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                      int codeSize = 2, bool interlaced = false) {
        Raw({0x2C});
        Word(left).Word(top).Word(width).Word(height);
        Raw({interlaced ? 0x40 : 0});
        return Raw(PlainLZW(pixels, codeSize));
    }
    GifBuilder& Trailer() { return Raw({0x3B}); }
};

} // namespace giftest
