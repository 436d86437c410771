#include "io/xpress/quick_decode.h"

#include "gif/base/stream.h"
#include "gif/model/header.h"
#include "gif/model/image.h"
#include "gif/model/subimage.h"
#include "io/xpress/xpress.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace io {

namespace {

bool WithinLimits(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
           width * height <= MaxPicturePixels;
}

} // namespace

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
    picture.Width = int32_t(image.width);
    picture.Height = int32_t(image.height);
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
        picture.Width = width;
        picture.Height = height;
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
