#include "io/avi/avi_stream_info.h"

#include "gif/base/types.h"

#include <algorithm>
#include <climits>

namespace io {

namespace {

uint32_t Le32(std::span<const uint8_t> bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

int16_t Le16(std::span<const uint8_t> bytes, size_t at) {
    return int16_t(uint16_t(bytes[at] | bytes[at + 1] << 8));
}

inline constexpr uint32_t IdRiff = FourCC('R', 'I', 'F', 'F');
inline constexpr uint32_t IdAvi = FourCC('A', 'V', 'I', ' ');
inline constexpr uint32_t IdList = FourCC('L', 'I', 'S', 'T');
inline constexpr uint32_t IdHdrl = FourCC('h', 'd', 'r', 'l');
inline constexpr uint32_t IdStrl = FourCC('s', 't', 'r', 'l');
inline constexpr uint32_t IdStrh = FourCC('s', 't', 'r', 'h');
// The stream header up to and including the frame rectangle; older writers stop after the
// sample size (48 bytes) and have no rectangle.
inline constexpr size_t StrhFull = 56;
inline constexpr size_t StrhShort = 48;
// Chunks walked in one list at most: a header list holds a few dozen.
inline constexpr int MaxChunks = 4096;

struct TChunk {
    uint32_t Id;
    std::span<const uint8_t> Data; // cut to the bytes present
};

// Calls `visit` for each chunk of `list` until it returns true; returns whether it did.
template <typename Visit> bool WalkChunks(std::span<const uint8_t> list, Visit visit) {
    size_t at = 0;
    for (int n = 0; n < MaxChunks && list.size() - at >= 8; ++n) {
        const uint32_t id = Le32(list, at);
        const uint64_t size = Le32(list, at + 4);
        const size_t present = size_t(std::min<uint64_t>(size, list.size() - at - 8));
        if (visit(TChunk{id, list.subspan(at + 8, present)})) return true;
        const uint64_t next = uint64_t(at) + 8 + size + (size & 1);
        if (next >= list.size()) break;
        at = size_t(next);
    }
    return false;
}

std::optional<TAviStreamInfo> ParseStrh(std::span<const uint8_t> data) {
    if (data.size() < StrhShort) return std::nullopt;
    TAviStreamInfo info;
    info.Type = Le32(data, 0);
    info.Handler = Le32(data, 4);
    info.Scale = Le32(data, 20);
    info.Rate = Le32(data, 24);
    info.Start = Le32(data, 28);
    info.Length = Le32(data, 32);
    info.SuggestedBufferSize = Le32(data, 36);
    if (data.size() >= StrhFull) {
        info.FrameLeft = Le16(data, 48);
        info.FrameTop = Le16(data, 50);
        info.FrameRight = Le16(data, 52);
        info.FrameBottom = Le16(data, 54);
    }
    return info;
}

} // namespace

int AviFrameDelay(uint32_t scale, uint32_t rate) {
    const int32_t s = int32_t(scale);
    const int32_t r = int32_t(rate);
    int64_t delay;
    if (r != 0) {
        // The platform's multiply-divide answers -1 when the quotient leaves 32 bits.
        const int64_t product = int64_t(s) * 100;
        const int64_t magnitude = r < 0 ? -int64_t(r) : int64_t(r);
        const int64_t half = magnitude / 2;
        delay = (product < 0) != (r < 0) ? (product - half) / r : (product + half) / r;
        if (delay > INT_MAX || delay < INT_MIN) return 0xFFFF;
    } else {
        delay = s / 100;
    }
    return int(std::clamp<int64_t>(delay, 0, 0xFFFF));
}

std::optional<TAviStreamInfo> ReadAviStreamInfo(std::span<const uint8_t> file) {
    if (file.size() < 12 || Le32(file, 0) != IdRiff || Le32(file, 8) != IdAvi)
        return std::nullopt;
    const uint64_t riffSize = Le32(file, 4);
    std::span<const uint8_t> body = file.subspan(12, size_t(std::min<uint64_t>(
                                                         riffSize >= 4 ? riffSize - 4 : 0,
                                                         file.size() - 12)));
    std::optional<TAviStreamInfo> found;
    auto isList = [](const TChunk& chunk, uint32_t type) {
        return chunk.Id == IdList && chunk.Data.size() >= 4 && Le32(chunk.Data, 0) == type;
    };
    WalkChunks(body, [&](const TChunk& hdrl) {
        if (!isList(hdrl, IdHdrl)) return false;
        return WalkChunks(hdrl.Data.subspan(4), [&](const TChunk& strl) {
            if (!isList(strl, IdStrl)) return false;
            return WalkChunks(strl.Data.subspan(4), [&](const TChunk& strh) {
                if (strh.Id != IdStrh) return false;
                std::optional<TAviStreamInfo> info = ParseStrh(strh.Data);
                if (info && info->Type == StreamTypeVideo) found = info;
                return true; // one stream header per stream list
            }) && found.has_value();
        });
    });
    return found;
}

} // namespace io
