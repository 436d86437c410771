// Reads arbitrary bytes with the picture readers `import` uses: bitmap files, icons and the
// library's metafiles. The last byte picks the reader (low two bits) and, for pictures that
// load, the colour reduction and dither mode with which they become a GIF frame; that
// frame is then written and must read back with the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/icon.h"
#include "gif/graphics/metafile.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"

namespace {

std::unique_ptr<gif::TGraphic> MakeReader(uint8_t choice) {
    switch (choice % 3) {
    case 0: return std::make_unique<gif::TBitmap>();
    case 1: return std::make_unique<gif::TIcon>();
    default: return std::make_unique<gif::TMetafile>();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t options = data[size - 1];
    std::unique_ptr<gif::TGraphic> picture = MakeReader(options & 3);
    gif::TMemoryStream in(std::span<const uint8_t>(data, size - 1));
    try {
        picture->LoadFromStream(in);
    } catch (const std::runtime_error&) {
        return 0;   // damaged pictures are refused
    }
    // Large pictures are valid but slow to convert; reading them is what counts here.
    if (picture->Empty() || int64_t(picture->Width()) * picture->Height() > (1 << 16)) return 0;

    gif::TGIFImage image;
    image.ReductionMethod = uint8_t((options >> 2) % (gif::LastColorReduction + 1));
    if (image.ReductionMethod == gif::crCustom) image.ReductionMethod = gif::crWeb216;
    image.DitherMethod = uint8_t((options >> 5) % 7);
    try {
        image.AddFrame(picture.get());
    } catch (const std::runtime_error&) {
        return 0;   // e.g. more than 256 colours without reduction
    }
    gif::TMemoryStream out;
    image.SaveToStream(out);
    out.SetPosition(0);
    gif::TGIFImage again;
    again.LoadFromStream(out);
    if (again.FrameCount() != 1) std::abort();
    auto a = image.Frame(0)->PixelData();
    auto b = again.Frame(0)->PixelData();
    if (!std::equal(a.begin(), a.end(), b.begin(), b.end())) std::abort();
    return 0;
}
