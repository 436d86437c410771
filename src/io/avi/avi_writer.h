// A small RIFF AVI writer: one uncompressed video stream, written in one pass.
//
//   RIFF 'AVI '
//     LIST 'hdrl'  avih (main header), LIST 'strl' with strh (stream header) and strf (format)
//     LIST 'movi'  one '00db' chunk per position, empty (0 bytes) where no frame was given
//     idx1         one entry per position: '00db', key-frame flag, offset from 'movi', size
//
// Every chunk's size is known before the first byte is written (all frames have the same
// size), so the output need not be seekable.
#pragma once

#include "io/avi/avi_stream_info.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace gif {
class TStream;
}

namespace io {

// The index flag of a key frame.
inline constexpr uint32_t AviKeyFrame = 0x10;

struct TAviVideoLayout {
    TAviStreamInfo Info;           // written as the stream header; Length is set from Present
    std::vector<uint8_t> Format;   // the stream format: bitmap information header and table
    int Width = 0;                 // the main header's frame size
    int Height = 0;
    uint32_t SampleSize = 0;       // bytes of every frame
    std::vector<bool> Present;     // one per position: whether it holds a frame
};

// Bytes of the whole file; 0 when it would not fit the 32-bit sizes of RIFF.
uint64_t AviFileSize(const TAviVideoLayout& layout);

// Writes the file. `fill(position, sample)` fills the SampleSize bytes of each present
// position, in order; it returns false to stop, which abandons the file (EAviError "Failed
// to add frame to AVI" is raised and the caller discards what was written). The stream
// length is the number of positions. Raises EAviError "Failed to create AVI stream" when
// the layout is unusable (no position, no format, sizes beyond 32 bits) and passes on the
// stream's own errors.
void WriteAviStream(gif::TStream& out, const TAviVideoLayout& layout,
                    const std::function<bool(int position, std::span<uint8_t> sample)>& fill);

} // namespace io
