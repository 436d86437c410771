#include "io/xpress/quick_decode.h"

#include "gif/base/stream.h"
#include "gif/model/header.h"
#include "gif/model/image.h"
#include "gif/model/subimage.h"
#include "io/xpress/xpress.h"

#include <png.h>
// jpeglib.h needs the declarations of <cstdio> first.
#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

namespace io {

namespace {

bool WithinLimits(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
           width * height <= MaxPicturePixels;
}

// libjpeg reports errors through error_exit, which must not return: it jumps back to
// DecodeJpeg, whose frame holds no C++ object. Warnings (corrupt or missing data, which
// libjpeg pads with grey) are counted and make the decode fail.
struct TJpegErrors {
    jpeg_error_mgr Public;
    std::jmp_buf Jump;
};

void JpegErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TJpegErrors*>(info->err)->Jump, 1);
}

// Counts warnings as libjpeg's own handler does, without printing them.
void JpegCountWarnings(j_common_ptr info, int level) {
    if (level < 0) ++info->err->num_warnings;
}

// Decodes into `picture`; false on any error or warning.
bool DecodeJpeg(const uint8_t* data, size_t size, int coverSide, TQuickPicture* picture) {
    jpeg_decompress_struct info;
    TJpegErrors errors;
    info.err = jpeg_std_error(&errors.Public);
    errors.Public.error_exit = JpegErrorExit;
    errors.Public.emit_message = JpegCountWarnings;
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    const JDIMENSION width = info.image_width, height = info.image_height;
    if (!WithinLimits(width, height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGRA;
    info.scale_num = 1;
    info.scale_denom = 1;
    const auto covers = [&](unsigned denom) {
        return (width + denom - 1) / denom >= JDIMENSION(coverSide) &&
               (height + denom - 1) / denom >= JDIMENSION(coverSide);
    };
    for (unsigned denom : {8u, 4u, 2u})
        if (covers(denom)) {
            info.scale_denom = denom;
            break;
        }
    jpeg_start_decompress(&info);
    picture->Width = int32_t(info.output_width);
    picture->Height = int32_t(info.output_height);
    picture->FileWidth = int32_t(width);
    picture->FileHeight = int32_t(height);
    picture->Alpha = false;
    try {
        picture->Bgra.resize(size_t(info.output_width) * info.output_height * 4);
    } catch (...) {
        jpeg_destroy_decompress(&info);
        throw;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture->Bgra.data() + size_t(info.output_scanline) * info.output_width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    const bool clean = errors.Public.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return clean;
}

} // namespace

bool DecodeJpegQuickly(std::span<const uint8_t> bytes, int coverSide, TQuickPicture& picture) {
    try {
        return DecodeJpeg(bytes.data(), bytes.size(), coverSide, &picture);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool DecodePngQuickly(std::span<const uint8_t> bytes, TQuickPicture& picture) {
    // libpng's reader stops at the last pixel; a file cut after it, or with bytes after its
    // end chunk, is left to ImageMagick, which judges such files.
    static constexpr uint8_t End[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    if (bytes.size() < sizeof End ||
        !std::equal(std::begin(End), std::end(End), bytes.end() - sizeof End))
        return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
    if (!WithinLimits(image.width, image.height)) {
        png_image_free(&image);
        return false;
    }
    picture.Alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_BGRA;
    // 16-bit samples without gamma information are taken as stored, as ImageMagick does,
    // not as linear light.
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    picture.Width = picture.FileWidth = int32_t(image.width);
    picture.Height = picture.FileHeight = int32_t(image.height);
    try {
        picture.Bgra.resize(PNG_IMAGE_SIZE(image));
    } catch (const std::bad_alloc&) {
        png_image_free(&image);
        return false;
    }
    // Frees the reader's state whether it succeeds or not.
    return png_image_finish_read(&image, nullptr, picture.Bgra.data(), 0, nullptr) != 0;
}

bool DecodeGifFirstFrame(std::span<const uint8_t> bytes, TQuickPicture& picture) {
    try {
        gif::TGIFImage image;
        image.MaxFramesRead = 1;
        image.MaxImagePixels = MaxPicturePixels;
        bool warned = false;
        image.WarningHandler = [&](gif::TObject*, uint8_t, const std::string&) { warned = true; };
        gif::TMemoryStream stream(bytes);
        image.LoadFromStream(stream);
        if (warned || image.FrameCount() == 0) return false;
        const gif::TGIFSubImage& frame = *image.Frame(0);
        if (frame.IsBlank()) return false;
        const auto colors = frame.EffectiveTable().Entries();
        if (colors.empty()) return false;

        int width = image.Header().LogicalWidth();
        int height = image.Header().LogicalHeight();
        if (width == 0 || height == 0) {
            width = frame.FrameLeft() + frame.FrameWidth();
            height = frame.FrameTop() + frame.FrameHeight();
        }
        if (!WithinLimits(width, height)) return false;
        const int left = frame.FrameLeft(), top = frame.FrameTop();
        const int right = std::min(width, left + frame.FrameWidth());
        const int bottom = std::min(height, top + frame.FrameHeight());
        // A first frame wholly off its screen would show nothing at all; ImageMagick shows
        // the frame itself.
        if (right <= left || bottom <= top) return false;
        const int transparent = frame.TransparentIndex();

        // Blue, green, red and alpha of every possible index; indices beyond the table
        // show its first colour, as the library draws them.
        uint8_t table[256][4];
        for (int i = 0; i < 256; ++i) {
            const gif::TGIFColor& c = colors[size_t(i) < colors.size() ? size_t(i) : 0];
            const uint8_t alpha = i == transparent ? 0 : 255;
            table[i][0] = alpha ? c.Blue : 0;
            table[i][1] = alpha ? c.Green : 0;
            table[i][2] = alpha ? c.Red : 0;
            table[i][3] = alpha;
        }
        picture.Width = picture.FileWidth = width;
        picture.Height = picture.FileHeight = height;
        picture.Bgra.assign(size_t(width) * size_t(height) * 4, 0);
        picture.Alpha = transparent >= 0 || left > 0 || top > 0 || right < width ||
                        bottom < height;
        const uint8_t* pixels = frame.Pixels();
        for (int y = top; y < bottom; ++y) {
            const uint8_t* from = pixels + size_t(y - top) * frame.FrameWidth();
            uint8_t* to = picture.Bgra.data() + (size_t(y) * size_t(width) + size_t(left)) * 4;
            for (int x = left; x < right; ++x, to += 4) std::memcpy(to, table[*from++], 4);
        }
        return true;
    } catch (...) {
        // Damaged or refused: ImageMagick reads it again and names the fault.
        return false;
    }
}

} // namespace io
