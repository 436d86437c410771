#include "gif/graphics/palettes.h"

#include <algorithm>
#include <array>

namespace gif {

namespace {

// The platform's default palette: entries 0-9 are the low system colours,
// entries 10-19 the high ones (placed at 246-255 in a 256-entry system palette).
constexpr std::array<TColor, 20> SystemColors = {
    RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192),
    RGB(192, 220, 192), RGB(166, 202, 240), RGB(255, 251, 240), RGB(160, 160, 164),
    RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),     RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255),
};

TPaletteEntry Entry(TColor c) {
    return TPaletteEntry{GetRValue(c), GetGValue(c), GetBValue(c), 0};
}

HPALETTE Grays(std::initializer_list<uint8_t> levels) {
    auto pal = std::make_shared<TPalette>();
    for (uint8_t v : levels) pal->Entries.push_back({v, v, v, 0});
    return pal;
}

} // namespace

HPALETTE MakeWebPalette() {
    auto pal = std::make_shared<TPalette>();
    pal->Entries.reserve(216);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                pal->Entries.push_back({uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b), 0});
    return pal;
}

HPALETTE MakeGray4Palette() { return Grays({0, 128, 192, 255}); }

HPALETTE MakeMonochromePalette() { return Grays({0, 255}); }

HPALETTE MakeGray256Palette() {
    auto pal = std::make_shared<TPalette>();
    pal->Entries.reserve(256);
    for (int i = 0; i < 256; ++i) pal->Entries.push_back({uint8_t(i), uint8_t(i), uint8_t(i), 0});
    return pal;
}

HPALETTE MakeSystemPalette20() {
    auto pal = std::make_shared<TPalette>();
    for (TColor c : SystemColors) pal->Entries.push_back(Entry(c));
    return pal;
}

HPALETTE MakeVGA16Palette() {
    auto pal = std::make_shared<TPalette>();
    for (int i = 0; i < 8; ++i) pal->Entries.push_back(Entry(SystemColors[size_t(i)]));
    for (int i = 12; i < 20; ++i) pal->Entries.push_back(Entry(SystemColors[size_t(i)]));
    return pal;
}

HPALETTE MakeHalftonePalette() {
    auto pal = std::make_shared<TPalette>();
    pal->Entries.reserve(256);
    for (int i = 0; i < 10; ++i) pal->Entries.push_back(Entry(SystemColors[size_t(i)]));
    HPALETTE web = MakeWebPalette();
    pal->Entries.insert(pal->Entries.end(), web->Entries.begin(), web->Entries.end());
    // 20 grays between the cube's levels: 255 * i / 21 is never a multiple of 51.
    for (int i = 1; i <= 20; ++i) {
        auto v = uint8_t((255 * i + 10) / 21);
        pal->Entries.push_back({v, v, v, 0});
    }
    for (int i = 10; i < 20; ++i) pal->Entries.push_back(Entry(SystemColors[size_t(i)]));
    return pal;
}

HPALETTE PaletteFromColors(std::span<const TColor> colors) {
    auto pal = std::make_shared<TPalette>();
    size_t n = std::min<size_t>(colors.size(), 256);
    pal->Entries.reserve(n);
    for (size_t i = 0; i < n; ++i) pal->Entries.push_back(Entry(colors[i]));
    return pal;
}

std::vector<TColor> PaletteColors(const TPalette& palette) {
    std::vector<TColor> out;
    out.reserve(palette.Entries.size());
    for (const TPaletteEntry& e : palette.Entries) out.push_back(RGB(e.peRed, e.peGreen, e.peBlue));
    return out;
}

HPALETTE PaletteFromColorTable(std::span<const uint8_t> quads) {
    auto pal = std::make_shared<TPalette>();
    size_t n = std::min<size_t>(quads.size() / 4, 256);
    pal->Entries.reserve(n);
    for (size_t i = 0; i < n; ++i)
        pal->Entries.push_back({quads[4 * i + 2], quads[4 * i + 1], quads[4 * i], 0});
    return pal;
}

std::vector<uint8_t> PaletteToColorTable(const TPalette& palette, int entries) {
    std::vector<uint8_t> out(size_t(std::max(entries, 0)) * 4, 0);
    size_t n = std::min(out.size() / 4, palette.Entries.size());
    for (size_t i = 0; i < n; ++i) {
        const TPaletteEntry& e = palette.Entries[i];
        out[4 * i] = e.peBlue;
        out[4 * i + 1] = e.peGreen;
        out[4 * i + 2] = e.peRed;
    }
    return out;
}

int NearestPaletteIndex(const TPalette& palette, TColor color) {
    int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    int best = -1;
    int bestDistance = 0x7FFFFFFF;
    for (size_t i = 0; i < palette.Entries.size(); ++i) {
        const TPaletteEntry& e = palette.Entries[i];
        int dr = r - e.peRed, dg = g - e.peGreen, db = b - e.peBlue;
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
            if (d == 0) break;
        }
    }
    return best;
}

} // namespace gif
