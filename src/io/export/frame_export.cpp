#include "io/export/frame_export.h"

#include <exception>

#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"
#include "io/export/export_names.h"
#include "io/export/placeholder.h"

namespace io {

int BitsForColorCount(int colors) {
    for (int bits = 3; bits <= 8; ++bits)
        if (colors == 1 << bits) return bits;
    return 0;
}

std::unique_ptr<gif::TBitmap> FramePicture(gif::TGIFImage& image, int index) {
    if (index < 0 || index >= image.FrameCount()) return nullptr;
    gif::TGIFSubImage& frame = *image.Frame(index);
    if (frame.IsBlank()) return nullptr;
    try {
        const gif::TBitmap* bitmap = frame.FrameBitmap();
        if (!bitmap || bitmap->Empty()) return nullptr;
        return std::make_unique<gif::TBitmap>(*bitmap);
    } catch (const std::exception&) {
        return nullptr; // a frame whose picture cannot be built is reported as missing
    }
}

void WriteGifPicture(const gif::TBitmap& picture, const TExportOptions& options,
                     const std::string& fileName) {
    gif::TGIFImage gif;
    gif.ReductionMethod = options.GifReduction;
    if (options.GifReduction == gif::crOptimized) {
        const int bits = BitsForColorCount(options.GifColors);
        gif.SetReductionDepth(bits ? bits : gif::DefaultReductionDepth);
    }
    // The frame takes a true-colour copy: an indexed picture would keep its own colours and
    // skip the reduction, whatever palette was chosen.
    gif::TBitmap colors(picture);
    colors.SetPixelFormat(gif::pf24bit);
    colors.SetTransparent(false);
    gif.AddFrame(&colors);
    if (options.GifOptimized) gif.OptimizeColorMaps();
    gif::TSafeFileWriter file(fileName);
    gif.SaveToStream(file.Stream());
    file.Commit();
}

void WriteJpegPicture(const gif::TBitmap& picture, const TExportOptions& options,
                      const std::string& fileName) {
    gif::TSafeFileWriter file(fileName);
    WriteJpeg(picture, options.Jpeg, file.Stream());
    file.Commit();
}

gif::TBitmap MonochromePicture(const gif::TBitmap& picture) {
    gif::TBitmap mono(picture.Width(), picture.Height(), gif::pf1bit);
    mono.SetPalette(gif::DefaultPaletteFor(gif::pf1bit)); // entry 0 black, entry 1 white
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* row = mono.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x) {
            const gif::TColor color = picture.Pixels(x, y);
            const int red = int(color & 0xFF), green = int(color >> 8 & 0xFF),
                      blue = int(color >> 16 & 0xFF);
            if (red * 299 + green * 587 + blue * 114 >= 128 * 1000)
                row[x >> 3] = uint8_t(row[x >> 3] | 0x80 >> (x & 7));
        }
    }
    return mono;
}

void WriteBitmapPicture(const gif::TBitmap& picture, const TExportOptions& options,
                        const std::string& fileName) {
    gif::TSafeFileWriter file(fileName);
    if (options.BitmapMonochrome)
        MonochromePicture(picture).WriteFile(file.Stream());
    else
        picture.WriteFile(file.Stream());
    file.Commit();
}

void WritePicture(const gif::TBitmap& picture, const TExportOptions& options,
                  const std::string& fileName) {
    switch (options.Format) {
    case TExportFormat::efGif: WriteGifPicture(picture, options, fileName); break;
    case TExportFormat::efJpeg: WriteJpegPicture(picture, options, fileName); break;
    case TExportFormat::efBitmap: WriteBitmapPicture(picture, options, fileName); break;
    }
}

TExportResult ExportFrames(gif::TGIFImage& image, std::span<const int> frames,
                           const std::string& chosenName, const TExportOptions& options,
                           const std::function<void()>& step) {
    TExportResult result;
    const std::string name =
        options.Format == TExportFormat::efGif ? WithGifExtension(chosenName) : chosenName;
    for (int index : frames) {
        if (step) step();
        std::unique_ptr<gif::TBitmap> picture = FramePicture(image, index);
        if (!picture) {
            picture = MakePlaceholderPicture();
            result.PlaceholderWritten = true;
        }
        const std::string fileName = ExportFileName(name, index);
        try {
            WritePicture(*picture, options, fileName);
            result.Written.push_back(fileName);
        } catch (const std::exception& e) {
            result.Failures.push_back(fileName + ": " + e.what());
        }
    }
    return result;
}

} // namespace io
