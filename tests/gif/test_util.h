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
