// Decodes arbitrary bytes as one frame's image data. The last three bytes choose the
// frame: width and height (1..512 each, from 9 bits) and interlacing, the fill value and
// whether the stream is scanned in place (a memory stream) or read block by block.
// Whatever was decoded is then encoded with both encoders and must decode back to the
// same pixels.
#include "gif/base/exception.h"
#include "gif/base/stream.h"
#include "gif/codec/image_data_writer.h"
#include "gif/codec/lzw_decoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

// A stream that is not a TMemoryStream, so the decoder reads it through Read().
class ReadOnlyStream : public gif::TStream {
  public:
    explicit ReadOnlyStream(std::span<const uint8_t> bytes) : inner_(bytes) {}
    size_t Read(void* buffer, size_t count) override { return inner_.Read(buffer, count); }
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Seek(int64_t offset, gif::TSeekOrigin origin) override {
        return inner_.Seek(offset, origin);
    }

  private:
    gif::TMemoryStream inner_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const uint8_t a = data[size - 3], b = data[size - 2], c = data[size - 1];
    const int width = 1 + (a | ((c & 1) << 8));
    const int height = 1 + (b | ((c & 2) << 7));
    const bool interlaced = c & 4;
    const bool inPlace = !(c & 8);
    const uint8_t fill = uint8_t(c & 0xF0);
    std::span<const uint8_t> bytes(data, size - 3);

    std::vector<uint8_t> pixels(size_t(width) * size_t(height), fill);
    gif::TDecodeTarget target{pixels.data(), width, height, interlaced};
    auto ignore = [](const char*) {};
    int64_t end = 0;
    try {
        if (inPlace) {
            gif::TMemoryStream stream(bytes);
            gif::DecodeImageData(stream, target, ignore);
            end = stream.Position();
        } else {
            ReadOnlyStream stream(bytes);
            gif::DecodeImageData(stream, target, ignore);
            end = stream.Position();
        }
    } catch (const gif::GIFException&) {
        return 0;
    }
    if (end < 0 || end > int64_t(bytes.size())) abort();

    for (gif::TEncodingMethod method : {gif::emLZW, gif::emRLE}) {
        gif::TMemoryStream encoded;
        gif::EncodeImageData(encoded, {pixels.data(), width, height, interlaced, 8, 256}, method);
        encoded.SetPosition(0);
        std::vector<uint8_t> again(pixels.size(), uint8_t(~fill));
        gif::DecodeImageData(encoded, {again.data(), width, height, interlaced},
                             [](const char*) { abort(); });
        if (again != pixels || encoded.Position() != encoded.Size()) abort();
    }
    return 0;
}
