// Writing chosen frames of an animation as separate picture files: GIF, JPEG or Windows
// bitmap, one file per frame, named after a chosen name (export_names.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "io/export/jpeg_writer.h"

namespace gif {
class TBitmap;
class TGIFImage;
}

namespace io {

enum class TExportFormat { efGif = 0, efJpeg = 1, efBitmap = 2 };

struct TExportOptions {
    TExportFormat Format = TExportFormat::efGif;
    // GIF: the colour reduction (gif::TColorReduction) of the written file; the colour count
    // (256, 128, 64, 32, 16 or 8) counts only for the optimised palette (crOptimized).
    uint8_t GifReduction = 6; // crWeb216
    int GifColors = 256;
    // GIF: the colour tables merged into one global table of the colours used.
    bool GifOptimized = true;
    TJpegOptions Jpeg;
    // Bitmap: 1-bit black and white instead of the picture's own pixel format.
    bool BitmapMonochrome = false;
};

// The bits per pixel of the optimised palette for a colour count: 8 for 256 down to 3 for 8;
// 0 for any other count.
int BitsForColorCount(int colors);

// A copy of the picture of frame `index` at the frame's own size; none for an empty frame,
// a frame that does not exist or one whose picture cannot be built.
std::unique_ptr<gif::TBitmap> FramePicture(gif::TGIFImage& image, int index);

// Writes `picture` as `fileName` in the chosen format, through a temporary file (a failed
// write leaves an existing file intact). Errors propagate.
void WriteGifPicture(const gif::TBitmap& picture, const TExportOptions& options,
                     const std::string& fileName);
void WriteJpegPicture(const gif::TBitmap& picture, const TExportOptions& options,
                      const std::string& fileName);
void WriteBitmapPicture(const gif::TBitmap& picture, const TExportOptions& options,
                        const std::string& fileName);
void WritePicture(const gif::TBitmap& picture, const TExportOptions& options,
                  const std::string& fileName);

// `picture` as a 1-bit bitmap with a black and white table: white where a pixel is at least
// half bright.
gif::TBitmap MonochromePicture(const gif::TBitmap& picture);

struct TExportResult {
    // At least one frame had no picture and was written as the placeholder.
    bool PlaceholderWritten = false;
    std::vector<std::string> Written;    // the files written, in order
    std::vector<std::string> Failures;   // "file: reason" for each file that failed
};

// Writes frames `frames` (in that order) of `image` under `chosenName`: for GIF the name's
// extension becomes ".gif", and each frame's file is ExportFileName(name, index). A frame
// without picture is written as the placeholder picture; a file that cannot be written is
// recorded and the export goes on. `step` is called before each frame.
TExportResult ExportFrames(gif::TGIFImage& image, std::span<const int> frames,
                           const std::string& chosenName, const TExportOptions& options,
                           const std::function<void()>& step = {});

} // namespace io
