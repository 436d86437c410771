// The video stream header of an AVI file: what the import reads the frame timing from and
// what the export writes. Only the fields the program uses are kept.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace io {

// The 140-byte stream information record's fields that matter here. One frame lasts
// Scale / Rate seconds.
struct TAviStreamInfo {
    uint32_t Type = 0;    // four characters, "vids" for video
    uint32_t Handler = 0; // the codec's four characters; 0 for uncompressed
    uint32_t Scale = 0;
    uint32_t Rate = 0;
    uint32_t Start = 0;
    uint32_t Length = 0; // frames (positions) in the stream
    uint32_t SuggestedBufferSize = 0;
    int32_t FrameLeft = 0, FrameTop = 0, FrameRight = 0, FrameBottom = 0;
};

constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}
inline constexpr uint32_t StreamTypeVideo = FourCC('v', 'i', 'd', 's');

// The GIF delay, in hundredths of a second, of one frame of Scale / Rate seconds:
// Scale x 100 / Rate rounded to the nearest integer (halves away from zero) when Rate is not
// 0, else Scale / 100 (integer division). Scale and Rate are the header's 32-bit values as
// signed integers, as the multiply-divide takes them. The result is limited to what a
// graphic control block holds: 0 to 65535 (a product too large for 32 bits gives 65535).
int AviFrameDelay(uint32_t scale, uint32_t rate);

// The first video stream header ("strh" of type "vids" inside "hdrl"/"strl") of the AVI
// file whose first bytes are `file`. Nothing when the bytes are not a RIFF AVI file or hold
// no video stream header among them. Reads only inside `file`; damaged sizes end the walk.
std::optional<TAviStreamInfo> ReadAviStreamInfo(std::span<const uint8_t> file);

} // namespace io
