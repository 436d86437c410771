// The fixed palettes of the platform and conversions between palettes and
// the colour tables that bitmaps carry (blue, green, red, reserved quads).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gif/base/types.h"
#include "gif/graphics/palette.h"

namespace gif {

// 216 colours: entry 36r + 6g + b is (51r, 51g, 51b) for r, g, b in 0..5.
HPALETTE MakeWebPalette();
// 4 grays: 0, 128, 192, 255.
HPALETTE MakeGray4Palette();
// 2 grays: black, then white.
HPALETTE MakeMonochromePalette();
// 256 grays: entry i is (i, i, i).
HPALETTE MakeGray256Palette();
// The 20-colour default system palette: the ten low colours, then the ten high ones.
HPALETTE MakeSystemPalette20();
// The 16 VGA colours in the platform's order (the default colour table of 4-bit bitmaps).
HPALETTE MakeVGA16Palette();
// A 256-entry halftone palette: the system colours at 0-9 and 246-255, the 216-colour
// cube at 10-225 and 20 further grays at 226-245.
HPALETTE MakeHalftonePalette();

// A palette holding `colors` in order (at most 256 are taken).
HPALETTE PaletteFromColors(std::span<const TColor> colors);
// The palette's entries as colours.
std::vector<TColor> PaletteColors(const TPalette& palette);

// A palette from a bitmap colour table of blue, green, red, reserved quads.
HPALETTE PaletteFromColorTable(std::span<const uint8_t> quads);
// The palette as a colour table of `entries` quads; missing entries are black.
std::vector<uint8_t> PaletteToColorTable(const TPalette& palette, int entries);

// Index of the entry nearest to `color` (squared RGB distance, first entry wins); -1 if empty.
int NearestPaletteIndex(const TPalette& palette, TColor color);

} // namespace gif
