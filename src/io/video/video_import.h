// Importing a video as an animation. The file is read with FFmpeg's libraries, so every
// container and codec the installed FFmpeg decodes can be imported (AVI, MP4/H.264,
// WebM/VP9, MKV, MOV, animated PNG ...). The first video stream is decoded one picture at a
// time; each picture becomes a frame at once, so the clip is never held in true colour.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "gif/reduce/reduction.h"

namespace gif {
class TGIFImage;
}

namespace io {

struct TVideoImportOptions {
    // How each frame's colours are reduced: the 216-colour web palette with Floyd-Steinberg
    // unless the caller chooses otherwise.
    gif::TColorReduction Reduction = gif::crWeb216;
    gif::TDitherMode Dither = gif::dtFloydSteinberg;
    int Depth = 8;
    // One least-error palette for the whole clip, built from pictures spread over it, and
    // pixels that stand still between two frames keep their index (no shimmer). Reduction
    // is then ignored.
    bool SharedPalette = false;
    // Percent of the stream read, after each frame.
    std::function<void(int percent)> Progress;
};

// Fills `image` (empty) with the frames of the first video stream of the file at `path`:
// frame 0 carries a looping block (for ever), every frame a graphic control block with its
// delay. The delay comes from the stream's scale and rate (AviFrameDelay): for AVI files
// from the file's own stream header, else from the stream's frame rate. A stream whose
// frames come at uneven times gives each frame its own delay (CarriedDelays). Afterwards
// the colour tables are merged and the comment "Created with Quillmark GIF Loopwright 3.0"
// is added to frame 0. An AVI stream of length 0 gives an empty image.
//
// Each failed step raises EAviError with its message ("Failed to open AVI file", "Failed
// to open AVI stream", ...); whatever was acquired is released, in reverse order.
void ImportAvi(gif::TGIFImage& image, const std::string& path,
               const TVideoImportOptions& options = {});

// Whether `path` names a file kind offered as video: ".avi" and the usual video containers
// (".mp4", ".m4v", ".mov", ".mkv", ".webm", ".ogv", ".mpg", ".mpeg", ".wmv", ".flv",
// ".apng"), compared without case.
bool IsVideoFileName(const std::string& path);

// The comment added to imported animations.
inline constexpr const char* CreatedWithComment = "Created with Quillmark GIF Loopwright 3.0";

} // namespace io
