#include "gif/reduce/palette_spacing.h"

#include "gif/reduce/dib.h"

#include <algorithm>
#include <cstdlib>

namespace gif {

std::array<int, 256> PaletteSpacing(const TColorLookup& lookup) {
    std::array<int, 256> spacing{};
    std::array<TRGB, 256> colors{};
    const int n = std::min(lookup.Colors(), 256);
    for (int i = 0; i < n; ++i)
        if (!lookup.Entry(i, colors[size_t(i)])) return spacing;
    for (int i = 0; i < n; ++i) {
        int reach = 0;
        for (int j = 0; j < n; ++j) {
            const TRGB &a = colors[size_t(i)], &b = colors[size_t(j)];
            int d = std::max(
                {std::abs(a.Red - b.Red), std::abs(a.Green - b.Green), std::abs(a.Blue - b.Blue)});
            if (d > 0 && (reach == 0 || d < reach)) reach = d;
        }
        spacing[size_t(i)] = reach;
    }
    return spacing;
}

TPaletteFit MeasurePaletteFit(TColorLookup& lookup, const TDIBReader& picture) {
    constexpr int Step = 4;
    TPaletteFit fit;
    for (int y = 0; y < picture.Height(); y += Step) {
        const uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); x += Step) {
            const uint8_t* p = row + 3 * x;
            TRGB c;
            lookup.Lookup(p[2], p[1], p[0], c);
            const int dr = p[2] - c.Red, dg = p[1] - c.Green, db = p[0] - c.Blue;
            fit.SquaredDistances += uint64_t(dr * dr + dg * dg + db * db);
            ++fit.Pixels;
        }
    }
    return fit;
}

} // namespace gif
