#include "io/avi/avi_writer.h"

#include "gif/base/stream.h"
#include "io/avi/avi_messages.h"

#include <cmath>

namespace io {

namespace {

constexpr uint32_t AvihSize = 56;
constexpr uint32_t StrhSize = 56;
constexpr uint32_t IndexEntrySize = 16;
constexpr uint32_t AvifHasIndex = 0x10;

uint64_t Padded(uint64_t size) { return size + (size & 1); }

// Sizes of the parts of the file, from the layout alone.
struct TSizes {
    uint64_t Strl = 0; // the strl list's contents (after its size field)
    uint64_t Hdrl = 0;
    uint64_t Movi = 0;
    uint64_t Idx1 = 0;
    uint64_t Riff = 0; // after the RIFF size field
};

TSizes SizesOf(const TAviVideoLayout& layout) {
    TSizes s;
    s.Strl = 4 + 8 + StrhSize + 8 + Padded(layout.Format.size());
    s.Hdrl = 4 + 8 + AvihSize + 8 + s.Strl;
    s.Movi = 4;
    for (bool present : layout.Present)
        s.Movi += 8 + (present ? Padded(layout.SampleSize) : 0);
    s.Idx1 = uint64_t(IndexEntrySize) * layout.Present.size();
    s.Riff = 4 + 8 + s.Hdrl + 8 + s.Movi + 8 + s.Idx1;
    return s;
}

class TChunkWriter {
  public:
    explicit TChunkWriter(gif::TStream& out) : out_(out) {}
    void U32(uint32_t v) {
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        out_.WriteBuffer(b, 4);
    }
    void U16(uint16_t v) {
        const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
        out_.WriteBuffer(b, 2);
    }
    void Header(uint32_t id, uint64_t size) {
        U32(id);
        U32(uint32_t(size));
    }
    void Bytes(std::span<const uint8_t> bytes) {
        if (!bytes.empty()) out_.WriteBuffer(bytes.data(), bytes.size());
        if (bytes.size() & 1) out_.WriteByte(0);
    }

  private:
    gif::TStream& out_;
};

} // namespace

uint64_t AviFileSize(const TAviVideoLayout& layout) {
    const TSizes s = SizesOf(layout);
    return s.Riff > 0xFFFFFFFFull - 8 ? 0 : s.Riff + 8;
}

void WriteAviStream(gif::TStream& out, const TAviVideoLayout& layout,
                    const std::function<bool(int position, std::span<uint8_t> sample)>& fill) {
    const TSizes s = SizesOf(layout);
    if (layout.Present.empty() || layout.Format.empty() || layout.SampleSize == 0 ||
        AviFileSize(layout) == 0 || layout.Present.size() > 0x7FFFFFFF)
        throw EAviError(avimsg::CreateStream);
    const TAviStreamInfo& info = layout.Info;
    const uint32_t positions = uint32_t(layout.Present.size());
    TChunkWriter w(out);

    w.Header(FourCC('R', 'I', 'F', 'F'), s.Riff);
    w.U32(FourCC('A', 'V', 'I', ' '));
    w.Header(FourCC('L', 'I', 'S', 'T'), s.Hdrl);
    w.U32(FourCC('h', 'd', 'r', 'l'));

    // Main header: microseconds per frame, bytes per second, flags, frames, streams,
    // buffer size and frame size.
    w.Header(FourCC('a', 'v', 'i', 'h'), AvihSize);
    const double seconds = info.Rate ? double(info.Scale) / double(info.Rate) : 0.0;
    w.U32(uint32_t(std::min(std::llround(seconds * 1e6), 0xFFFFFFFFll)));
    w.U32(seconds > 0 ? uint32_t(std::min(std::llround(layout.SampleSize / seconds),
                                          0xFFFFFFFFll))
                      : 0);
    w.U32(0);
    w.U32(AvifHasIndex);
    w.U32(positions);
    w.U32(0);
    w.U32(1);
    w.U32(layout.SampleSize);
    w.U32(uint32_t(layout.Width));
    w.U32(uint32_t(layout.Height));
    for (int i = 0; i < 4; ++i) w.U32(0);

    w.Header(FourCC('L', 'I', 'S', 'T'), s.Strl);
    w.U32(FourCC('s', 't', 'r', 'l'));
    // Stream header: every field the program does not set stays 0.
    w.Header(FourCC('s', 't', 'r', 'h'), StrhSize);
    w.U32(info.Type);
    w.U32(info.Handler);
    w.U32(0);    // flags
    w.U16(0);    // priority
    w.U16(0);    // language
    w.U32(0);    // initial frames
    w.U32(info.Scale);
    w.U32(info.Rate);
    w.U32(info.Start);
    w.U32(positions);
    w.U32(info.SuggestedBufferSize);
    w.U32(0);    // quality
    w.U32(0);    // sample size
    w.U16(uint16_t(info.FrameLeft));
    w.U16(uint16_t(info.FrameTop));
    w.U16(uint16_t(info.FrameRight));
    w.U16(uint16_t(info.FrameBottom));
    w.Header(FourCC('s', 't', 'r', 'f'), layout.Format.size());
    w.Bytes(layout.Format);

    w.Header(FourCC('L', 'I', 'S', 'T'), s.Movi);
    w.U32(FourCC('m', 'o', 'v', 'i'));
    std::vector<uint8_t> sample(layout.SampleSize);
    for (uint32_t i = 0; i < positions; ++i) {
        if (!layout.Present[i]) {
            w.Header(FourCC('0', '0', 'd', 'b'), 0);
            continue;
        }
        if (!fill(int(i), sample)) throw EAviError(avimsg::AddFrame);
        w.Header(FourCC('0', '0', 'd', 'b'), sample.size());
        w.Bytes(sample);
    }

    // The index: offsets from the 'movi' identifier to each chunk's header.
    w.Header(FourCC('i', 'd', 'x', '1'), s.Idx1);
    uint64_t offset = 4;
    for (uint32_t i = 0; i < positions; ++i) {
        const uint32_t size = layout.Present[i] ? layout.SampleSize : 0;
        w.U32(FourCC('0', '0', 'd', 'b'));
        w.U32(layout.Present[i] ? AviKeyFrame : 0);
        w.U32(uint32_t(offset));
        w.U32(size);
        offset += 8 + Padded(size);
    }
}

} // namespace io
