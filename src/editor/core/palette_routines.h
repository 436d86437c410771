// Colour tables of the working image: merging and sorting them, checking whether an entry
// may be deleted, and the palette settings for pictures with more than 256 colours.
#pragma once

namespace gif {
class TGIFColorMap;
class TGIFImage;
class TGIFSubImage;
} // namespace gif

namespace editor {

class Settings;
class TColorPaletteCollection;

// Sorts every colour table by use, then merges them all into one global table.
void OptimiseColorMaps(gif::TGIFImage& image);
// OptimiseColorMaps of the frame's animation; with the palette type that keeps local
// palettes, frames that had a local table get one again afterwards (also when it fails).
void OptimiseFrameColours(gif::TGIFSubImage& frame, int paletteType,
                          TColorPaletteCollection& palettes);

// Whether any pixel of frame `frameIndex` has the value `colorIndex`.
bool ColorIndexUsed(const gif::TGIFImage& image, int frameIndex, int colorIndex, int tableSize);

// Whether entry `index` of `table` (the global table for frame -1, else the frame's local
// table, possibly a copy being edited) can be deleted without any pixel losing its colour:
// the same colour sits at another index that keeps it, or no pixel drawn with the table
// uses the entry (for the global table: no pixel of any frame that draws with it).
bool CanDeleteColor(const gif::TGIFImage& image, const gif::TGIFColorMap& table, int index,
                    int frameIndex);

// True for the palette types whose new frames share one global palette: the caller then
// runs OptimiseColorMaps over the whole image.
bool MergesIntoGlobalPalette(int paletteType);

// Sets the image's reduction method, depth and dither from the stored palette settings.
// Returns false for the palette type that keeps local palettes: the caller then runs
// OptimiseFrameColours with that type.
bool ApplyPaletteSettings(gif::TGIFImage& image, const Settings& settings);

} // namespace editor
