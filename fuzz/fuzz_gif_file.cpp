// Loads arbitrary bytes as a GIF file; whatever loads is written (LZW with the longest match
// or the look-ahead parse, or run-length, rows in order or interlaced, as the last input byte
// says) and read back, and must then load without error and with the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "gif/base/stream.h"
#include "gif/model/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gif::TGIFImage image;
    image.MaxFramePixels = 1 << 22;   // keep every run small and fast
    int warnings = 0;
    image.WarningHandler = [&](gif::TObject*, uint8_t, const std::string&) { ++warnings; };
    gif::TMemoryStream in(std::span<const uint8_t>(data, size));
    try {
        image.LoadFromStream(in);
    } catch (const std::runtime_error&) {
        // Damaged input is refused; the frames read so far stay and may be written below.
    }
    if (image.Empty()) return 0;

    // The last input byte also picks how the frames are written: the look-ahead parse with
    // one of its biases, and the rows interlaced or not.
    const uint8_t how = size > 0 ? data[size - 1] : 0;
    image.EncodingMethod = how & 1 ? gif::emRLE : gif::emLZW;
    for (int i = 0; i < image.FrameCount(); ++i) {
        gif::TGIFSubImage& frame = *image.Frame(i);
        if (how & 8) frame.SetLookaheadHint((how >> 1) & 3);
        if (how & 16) frame.SetInterlaced(!frame.IsInterlaced());
    }
    gif::TMemoryStream out;
    try {
        image.SaveToStream(out);
    } catch (const std::runtime_error&) {
        // Pixels outside their colour table, or no frame with a version: not writable.
        return 0;
    }
    gif::TGIFImage again;
    again.MaxFramePixels = image.MaxFramePixels;
    out.SetPosition(0);
    again.LoadFromStream(out);   // what we wrote must read back without error
    // Blank frames without blocks leave no trace in a file; every frame with pixels must
    // come back with the same pixels.
    auto pictures = [](const gif::TGIFImage& img) {
        std::vector<std::vector<uint8_t>> out;
        for (int i = 0; i < img.FrameCount(); ++i)
            if (!img.Frame(i)->IsBlank())
                out.emplace_back(img.Frame(i)->PixelData().begin(), img.Frame(i)->PixelData().end());
        return out;
    };
    if (pictures(image) != pictures(again)) std::abort();
    return 0;
}
