#include "io/avi/picture_conversion.h"

#include "gif/graphics/bitmap.h"
#include "gif/graphics/palette.h"
#include "io/avi/avi_messages.h"

#include <cstring>
#include <memory>

namespace io {

int LayoutBytes(TPictureLayout layout) {
    switch (layout) {
    case TPictureLayout::Bgr24:
    case TPictureLayout::Rgb24:
        return 3;
    case TPictureLayout::Bgra32:
    case TPictureLayout::Rgba32:
        return 4;
    case TPictureLayout::Gray8:
    case TPictureLayout::Pal8:
        return 1;
    }
    return 0;
}

namespace {

void CheckView(const TPictureView& view) {
    const int bytes = LayoutBytes(view.Layout);
    if (bytes == 0 || view.Width <= 0 || view.Height <= 0 || view.Width > gif::MaxBitmapSide ||
        view.Height > gif::MaxBitmapSide ||
        int64_t(view.Width) * view.Height > gif::MaxBitmapPixels || !view.Pixels)
        throw EAviError(avimsg::DecompressFrame);
    const uint64_t row = uint64_t(view.Width) * uint64_t(bytes);
    if (view.Stride < row) throw EAviError(avimsg::DecompressFrame);
    // The last row needs only its pixels, not a whole stride.
    const uint64_t needed = uint64_t(view.Stride) * uint64_t(view.Height - 1) + row;
    if (needed > view.Size) throw EAviError(avimsg::DecompressFrame);
}

gif::HPALETTE TableOf(std::span<const uint32_t> palette) {
    auto table = std::make_shared<gif::TPalette>();
    table->Entries.resize(256);
    for (size_t i = 0; i < palette.size() && i < 256; ++i) {
        const uint32_t argb = palette[i];
        table->Entries[i] = {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), 0};
    }
    return table;
}

} // namespace

void ConvertPicture(const TPictureView& view, gif::TBitmap& bitmap) {
    CheckView(view);
    const gif::TPixelFormat format =
        view.Layout == TPictureLayout::Pal8 ? gif::pf8bit : gif::pf24bit;
    if (bitmap.Width() != view.Width || bitmap.Height() != view.Height ||
        bitmap.PixelFormat() != format)
        bitmap = gif::TBitmap(view.Width, view.Height, format);
    if (format == gif::pf8bit) bitmap.SetPalette(TableOf(view.Palette));

    const size_t width = size_t(view.Width);
    for (int y = 0; y < view.Height; ++y) {
        const size_t row = size_t(view.BottomUp ? view.Height - 1 - y : y);
        const uint8_t* src = view.Pixels + row * view.Stride;
        uint8_t* dst = bitmap.ScanLine(y);
        switch (view.Layout) {
        case TPictureLayout::Bgr24:
            std::memcpy(dst, src, width * 3);
            break;
        case TPictureLayout::Pal8:
            std::memcpy(dst, src, width);
            break;
        case TPictureLayout::Rgb24:
            for (size_t x = 0; x < width; ++x, src += 3, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
            break;
        case TPictureLayout::Bgra32:
            for (size_t x = 0; x < width; ++x, src += 4, dst += 3) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
            break;
        case TPictureLayout::Rgba32:
            for (size_t x = 0; x < width; ++x, src += 4, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
            break;
        case TPictureLayout::Gray8:
            for (size_t x = 0; x < width; ++x, dst += 3)
                dst[0] = dst[1] = dst[2] = src[x];
            break;
        }
    }
}

} // namespace io
