#include "io/xpress/dib_export.h"

#include <memory>
#include <stdexcept>

namespace io {

namespace {

constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t PixelsPerMetre = 2835; // 72 dots per inch

enum class TLayout { Bgra32, Palette8, Gray8, Bgr24 };

using TException =
    std::unique_ptr<MagickCore::ExceptionInfo, decltype(&MagickCore::DestroyExceptionInfo)>;

TLayout ChooseLayout(const MagickCore::Image* image, MagickCore::ExceptionInfo* exception) {
    if (image->matte && !MagickCore::IsOpaqueImage(image, exception)) return TLayout::Bgra32;
    if (image->storage_class == MagickCore::PseudoClass && image->colormap && image->colors >= 1 &&
        image->colors <= 256)
        return TLayout::Palette8;
    MagickCore::ImageType grey = MagickCore::IdentifyImageGray(image, exception);
    if (grey == MagickCore::GrayscaleType || grey == MagickCore::BilevelType) return TLayout::Gray8;
    return TLayout::Bgr24;
}

int BitsOf(TLayout layout) {
    switch (layout) {
    case TLayout::Bgra32:
        return 32;
    case TLayout::Bgr24:
        return 24;
    default:
        return 8;
    }
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

[[noreturn]] void NoPixels(const MagickCore::ExceptionInfo* exception) {
    std::string reason = exception->reason ? exception->reason : "no pixels";
    throw std::runtime_error("cannot read the picture's pixels: " + reason);
}

// Colour indices of one row of a palette picture.
void CopyIndexRow(const MagickCore::Image* image, ssize_t y, uint8_t* row,
                  MagickCore::ExceptionInfo* exception) {
    const MagickCore::PixelPacket* pixels =
        MagickCore::GetVirtualPixels(image, 0, y, image->columns, 1, exception);
    const MagickCore::IndexPacket* indexes = MagickCore::GetVirtualIndexQueue(image);
    if (!pixels || !indexes) NoPixels(exception);
    for (size_t x = 0; x < image->columns; ++x) {
        size_t index = size_t(indexes[x]);
        row[x] = uint8_t(index < image->colors ? index : 0);
    }
}

} // namespace

std::vector<uint8_t> ExportDIB(const MagickCore::Image* image) {
    TException exception(MagickCore::AcquireExceptionInfo(), &MagickCore::DestroyExceptionInfo);
    TLayout layout = ChooseLayout(image, exception.get());
    int bits = BitsOf(layout);
    size_t width = image->columns, height = image->rows;
    size_t stride = (width * size_t(bits) + 31) / 32 * 4;
    uint32_t entries = layout == TLayout::Palette8 ? uint32_t(image->colors)
                       : layout == TLayout::Gray8  ? 256
                                                   : 0;
    size_t imageSize = stride * height;

    std::vector<uint8_t> dib;
    dib.reserve(InfoHeaderSize + entries * 4 + imageSize);
    Put32(dib, InfoHeaderSize);
    Put32(dib, uint32_t(width));
    Put32(dib, uint32_t(height)); // positive: rows bottom-up
    Put16(dib, 1);
    Put16(dib, uint16_t(bits));
    Put32(dib, 0); // BI_RGB
    Put32(dib, uint32_t(imageSize));
    Put32(dib, PixelsPerMetre);
    Put32(dib, PixelsPerMetre);
    Put32(dib, entries);
    Put32(dib, 0);
    for (uint32_t i = 0; i < entries; ++i) {
        if (layout == TLayout::Gray8) {
            for (int c = 0; c < 3; ++c)
                dib.push_back(uint8_t(i));
        } else {
            const MagickCore::PixelPacket& color = image->colormap[i];
            dib.push_back(MagickCore::ScaleQuantumToChar(color.blue));
            dib.push_back(MagickCore::ScaleQuantumToChar(color.green));
            dib.push_back(MagickCore::ScaleQuantumToChar(color.red));
        }
        dib.push_back(0);
    }

    size_t pixelsAt = dib.size();
    dib.resize(pixelsAt + imageSize, 0);
    const char* map = layout == TLayout::Bgra32 ? "BGRA" : layout == TLayout::Bgr24 ? "BGR" : "R";
    for (size_t y = 0; y < height; ++y) {
        uint8_t* row = dib.data() + pixelsAt + (height - 1 - y) * stride;
        if (layout == TLayout::Palette8) {
            CopyIndexRow(image, ssize_t(y), row, exception.get());
            continue;
        }
        // Grey pictures have red = green = blue, so the red channel is the grey level.
        if (MagickCore::ExportImagePixels(image, 0, ssize_t(y), width, 1, map,
                                          MagickCore::CharPixel, row,
                                          exception.get()) == MagickCore::MagickFalse)
            NoPixels(exception.get());
    }
    return dib;
}

} // namespace io
