// JPEG files through libjpeg-turbo's IJG-compatible interface.
#pragma once

namespace gif {
class TBitmap;
class TStream;
}

namespace io {

struct TJpegOptions {
    int Quality = 50;          // 1 (smallest) .. 100 (best); values outside are clamped
    bool Grayscale = false;    // one grey component instead of three colour components
    bool Progressive = false;  // a progressive scan script instead of one baseline scan
    int Smoothing = 0;         // 0 (none) .. 100: smooths the picture before compression
    bool FastDct = false;      // the fast integer transform instead of the accurate one
};

// Encodes `picture` (any pixel format) as a JFIF file onto `stream`. Raises
// std::runtime_error with libjpeg's message when the picture cannot be encoded (an empty
// picture, a side longer than JPEG allows).
void WriteJpeg(const gif::TBitmap& picture, const TJpegOptions& options, gif::TStream& stream);

} // namespace io
