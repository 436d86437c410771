// Exporting an animation as an uncompressed 8-bit AVI video: the flattening of the frames
// onto the first frame's size, the time scale, the 8-bit frame pictures with their colour
// table, and the writing of the file.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace gif {
class TGIFImage;
class TGIFSubImage;
} // namespace gif

namespace io {

// Frames per time-scale unit of the exported stream: one frame lasts scale / 65 seconds.
inline constexpr uint32_t AviExportRate = 65;

// Composites the frames of `image` (a copy the caller owns) onto a canvas of frame 0's
// size that starts as frame 0's picture, in order and without disposal: each non-empty
// frame loses its transparency, is drawn at its offsets (transparent pixels in their table
// colour, parts outside the canvas cut off) and then becomes the whole canvas at offset 0.
// Empty frames are left as they are. `step(i)` runs before frame i (progress, events);
// when it returns false the flattening stops there. Afterwards, also after a stop, the
// colour tables are merged into one (OptimizeColorMaps). Returns false when stopped.
bool FlattenForAvi(gif::TGIFImage& image, const std::function<bool(int frame)>& step);

// The time scale: the frames are scanned in order, keeping whether a local colour table
// was seen and the delay of the latest frame with a graphic control block; the scan stops
// once a local table was seen and the kept delay is not 0. The kept delay, or 1 when it
// is 0.
uint32_t AviTimeScale(const gif::TGIFImage& image);

// Frame 0's picture as an 8-bit packed bitmap: the 40-byte information header followed by
// a 256-entry colour table (1064 bytes), and the byte count of its rows. Both 0 when frame
// 0 is missing or empty.
struct TAviPictureSizes {
    uint32_t HeaderSize = 0;
    uint32_t ImageSize = 0;
};
TAviPictureSizes AviPictureSizes(const gif::TGIFImage& image);

// The stream format: information header and colour table (frame 0's colours, padded with
// black to 256 entries).
std::vector<uint8_t> AviStreamFormat(const gif::TGIFImage& image);

// Frame `index`'s pixels as rows of frame 0's size, bottom row first, each padded to a
// multiple of 4 bytes, indexing the stream format's colour table (colours not in it take
// the nearest entry). The frame is placed at its offsets; what it does not cover is 0.
void AviFramePixels(const gif::TGIFImage& image, int index, std::span<uint8_t> rows);

struct TAviWriteProgress {
    std::function<void(int frame)> Position; // before each frame: progress and events
    std::function<bool()> Stopped;           // a stop abandons the file
};

// Writes `image` (flattened) to `path` as an AVI file: stream header of type "vids", handler
// 0, AviTimeScale / 65, buffer size = image size, frame rectangle = the animation's size;
// one key frame per non-empty frame, at the frame's position; empty frames leave their
// position without picture. Written through a temporary file beside the target that
// replaces it only when everything was written: a failure or a stop leaves no file (and
// an existing target as it was). Raises EAviError with the failed step's message; a stop
// raises EAviError "Failed to add frame to AVI" as well, after removing the temporary file.
void WriteAvi(const std::string& path, gif::TGIFImage& image, const TAviWriteProgress& progress);

} // namespace io
