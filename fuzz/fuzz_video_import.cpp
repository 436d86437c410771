// The video import's own code on arbitrary bytes: the AVI stream header reader with the
// delay of what it finds, the carried delays of frame times, and the conversion of a
// decoded picture into a bitmap that becomes a GIF frame the way the import adds it (web
// palette, Floyd-Steinberg). The last byte picks the part; for pictures the first bytes
// give the size, layout and row stride, the rest are the pixels and the colour table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"
#include "io/avi/avi_messages.h"
#include "io/avi/avi_stream_info.h"
#include "io/avi/frame_timing.h"
#include "io/avi/picture_conversion.h"

namespace {

void FuzzHeader(const uint8_t* data, size_t size) {
    const std::optional<io::TAviStreamInfo> info =
        io::ReadAviStreamInfo(std::span<const uint8_t>(data, size));
    if (!info) return;
    if (info->Type != io::StreamTypeVideo) std::abort();
    const int delay = io::AviFrameDelay(info->Scale, info->Rate);
    if (delay < 0 || delay > 0xFFFF) std::abort();
}

void FuzzTiming(const uint8_t* data, size_t size) {
    // Eight bytes per time stamp; the first one is the end, then the starts.
    std::vector<int64_t> stamps(size / 8);
    if (stamps.empty()) return;
    std::memcpy(stamps.data(), data, stamps.size() * 8);
    const int64_t end = stamps[0];
    std::span<const int64_t> starts(stamps.data() + 1, stamps.size() - 1);
    const double tick = 1.0 / double(1 + (data[size - 1] % 90000));
    const std::vector<uint16_t> delays = io::CarriedDelays(starts, end, tick);
    if (delays.size() != starts.size()) std::abort();
    io::IsConstantRate(starts, end, int64_t(data[0]));
}

void FuzzPicture(const uint8_t* data, size_t size) {
    if (size < 6) return;
    io::TPictureView view;
    view.Width = 1 + data[0] % 64;
    view.Height = 1 + data[1] % 64;
    view.Layout = io::TPictureLayout(data[2] % 7); // 6 is no layout: refused
    view.Stride = size_t(data[3]);
    view.BottomUp = data[4] & 1;
    std::vector<uint8_t> pixels(data + 6, data + size);
    view.Pixels = pixels.empty() ? nullptr : pixels.data();
    view.Size = pixels.size();
    // The palette: the last whole words of the input, at most 256.
    std::vector<uint32_t> palette(std::min<size_t>(pixels.size() / 4, data[5]));
    if (!palette.empty())
        std::memcpy(palette.data(), pixels.data() + pixels.size() - palette.size() * 4,
                    palette.size() * 4);
    view.Palette = palette;
    gif::TBitmap bitmap;
    try {
        io::ConvertPicture(view, bitmap);
    } catch (const io::EAviError&) {
        return; // inconsistent views are refused
    }
    if (bitmap.Width() != view.Width || bitmap.Height() != view.Height) std::abort();
    gif::TGIFImage image;
    image.ReductionMethod = gif::crWeb216;
    image.DitherMethod = gif::dtFloydSteinberg;
    const int index = image.AddFrame(&bitmap);
    const gif::TGIFSubImage& frame = *image.Frame(index);
    if (frame.FrameWidth() != view.Width || frame.FrameHeight() != view.Height) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    switch (data[size - 1] % 3) {
    case 0: FuzzHeader(data, size - 1); break;
    case 1: FuzzTiming(data, size - 1); break;
    default: FuzzPicture(data, size - 1); break;
    }
    return 0;
}
