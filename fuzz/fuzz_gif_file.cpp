// Loads arbitrary bytes as a GIF file; whatever loads is written (LZW with the longest match
// or the look-ahead parse, or run-length, rows in order or interlaced, as the last input byte
// says) and read back, and must then load without error and with the same pixels. The image
// data that frames keep from reading and writing is checked on the way: the loaded frames
// written unchanged (their data copied) read back to the same pixels, and writing again
// after a write copies exactly what the encoder wrote.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
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

    auto pictures = [](const gif::TGIFImage& img) {
        std::vector<std::vector<uint8_t>> out;
        for (int i = 0; i < img.FrameCount(); ++i)
            if (!img.Frame(i)->IsBlank())
                out.emplace_back(img.Frame(i)->PixelData().begin(), img.Frame(i)->PixelData().end());
        return out;
    };
    auto readBack = [&](gif::TMemoryStream& written) {
        auto back = std::make_unique<gif::TGIFImage>();
        back->MaxFramePixels = image.MaxFramePixels;
        written.SetPosition(0);
        back->LoadFromStream(written);   // what we wrote must read back without error
        return back;
    };
    {
        gif::TMemoryStream copied;
        bool written = true;
        try {
            image.SaveToStream(copied);
        } catch (const std::runtime_error&) {
            written = false;
        }
        if (written && pictures(image) != pictures(*readBack(copied))) std::abort();
    }

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
    // Blank frames without blocks leave no trace in a file; every frame with pixels must
    // come back with the same pixels.
    if (pictures(image) != pictures(*readBack(out))) std::abort();
    gif::TMemoryStream twice;
    image.SaveToStream(twice);
    if (twice.Bytes() != out.Bytes()) std::abort();
    return 0;
}
