#include "gif/reduce/optimized_palette.h"

#include <algorithm>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/graphics/palettes.h"
#include "gif/reduce/octree.h"

namespace gif {

HPALETTE CreateOptimizedPaletteFromManyBitmaps(std::span<const TBitmap* const> bitmaps,
                                               int colors, int colorBits,
                                               bool withSystemColors) {
    if (colors < 1 || colors > 256 || colorBits < 1 || colorBits > 8)
        throw GIFException(msg::InvalidBitsPerPixel);
    constexpr int systemCount = 20;
    int quantized = withSystemColors ? std::max(colors - systemCount, 1) : colors;
    TColorQuantizer quantizer(quantized, colorBits);
    for (const TBitmap* bitmap : bitmaps)
        if (bitmap) quantizer.AddBitmap(*bitmap);
    std::vector<TColor> found = quantizer.Colors();
    if (!withSystemColors) return PaletteFromColors(found);

    std::vector<TColor> system = PaletteColors(*MakeSystemPalette20());
    std::vector<TColor> out(system.begin(), system.begin() + 10);
    found.resize(size_t(quantized), clBlack);
    out.insert(out.end(), found.begin(), found.end());
    out.insert(out.end(), system.begin() + 10, system.end());
    return PaletteFromColors(out);
}

HPALETTE CreateOptimizedPalette(const TBitmap& bitmap, int colors, int colorBits,
                                bool withSystemColors) {
    const TBitmap* one[] = {&bitmap};
    return CreateOptimizedPaletteFromManyBitmaps(one, colors, colorBits, withSystemColors);
}

} // namespace gif
