#include "io/export/jpeg_writer.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"

namespace io {

namespace {

// libjpeg reports errors by calling error_exit, which must not return; it jumps back to
// Encode, whose frames hold no C++ objects, so nothing is skipped that needs destroying.
struct TErrorManager {
    jpeg_error_mgr Public;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<TErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->Message);
    std::longjmp(manager->Jump, 1);
}

void SilentMessage(j_common_ptr) {}

// Compresses `height` rows of 24-bit blue-green-red pixels, `stride` bytes apart, into a
// buffer that libjpeg allocates (*output, *size; freed by the caller with free()). Returns
// false with `manager.Message` set when libjpeg fails.
bool Encode(const unsigned char* pixels, int width, int height, long stride,
            const TJpegOptions& options, TErrorManager& manager, unsigned char** output,
            unsigned long* size) {
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&manager.Public);
    manager.Public.error_exit = ErrorExit;
    manager.Public.output_message = SilentMessage;
    if (setjmp(manager.Jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, output, size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    if (options.Grayscale) jpeg_set_colorspace(&info, JCS_GRAYSCALE);
    jpeg_set_quality(&info, std::clamp(options.Quality, 1, 100), TRUE);
    if (options.Progressive) jpeg_simple_progression(&info);
    info.smoothing_factor = std::clamp(options.Smoothing, 0, 100);
    info.dct_method = options.FastDct ? JDCT_IFAST : JDCT_ISLOW;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + long(info.next_scanline) * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

void WriteJpeg(const gif::TBitmap& picture, const TJpegOptions& options, gif::TStream& stream) {
    if (picture.Empty()) throw std::runtime_error("Cannot write an empty picture as JPEG");
    gif::TBitmap rgb(picture);
    rgb.SetPixelFormat(gif::pf24bit);
    TErrorManager manager{};
    unsigned char* output = nullptr;
    unsigned long size = 0;
    const bool encoded = Encode(rgb.Bits().data(), rgb.Width(), rgb.Height(), rgb.BytesPerLine(),
                                options, manager, &output, &size);
    // The buffer belongs to us whether or not encoding finished.
    struct TFree {
        unsigned char* p;
        ~TFree() { std::free(p); }
    } owned{output};
    if (!encoded) throw std::runtime_error(std::string("JPEG: ") + manager.Message);
    stream.WriteBuffer(output, size);
}

} // namespace io
