#include "io/export/placeholder.h"

#include <array>
#include <cstring>

#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"

namespace io {

namespace {

// One glyph: its rows top to bottom ('#' = ink), all of the same width. Nine rows: seven
// above the baseline, two for descenders. The font holds the characters of the
// placeholder's text; the export needs no others.
struct TGlyph {
    char Char;
    std::array<const char*, 9> Rows;
};

constexpr TGlyph Glyphs[] = {
    {' ', {"..", "..", "..", "..", "..", "..", "..", "..", ".."}},
    {'.', {".", ".", ".", ".", ".", ".", "#", ".", "."}},
    {'0', {".##.", "#..#", "#.##", "##.#", "#..#", "#..#", ".##.", "....", "...."}},
    {'3', {"###.", "...#", "...#", ".##.", "...#", "...#", "###.", "....", "...."}},
    {'E', {"####", "#...", "#...", "###.", "#...", "#...", "####", "....", "...."}},
    {'F', {"####", "#...", "#...", "###.", "#...", "#...", "#...", "....", "...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###.", ".....", "....."}},
    {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###", "...", "..."}},
    {'L', {"#...", "#...", "#...", "#...", "#...", "#...", "####", "....", "...."}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###.", ".....", "....."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#", ".....", "....."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#", ".....", "....."}},
    {'a', {"....", "....", ".##.", "...#", ".###", "#..#", ".###", "....", "...."}},
    {'b', {"#...", "#...", "###.", "#..#", "#..#", "#..#", "###.", "....", "...."}},
    {'e', {"....", "....", ".##.", "#..#", "####", "#...", ".###", "....", "...."}},
    {'g', {"....", "....", ".###", "#..#", "#..#", "#..#", ".###", "...#", ".##."}},
    {'h', {"#...", "#...", "###.", "#..#", "#..#", "#..#", "#..#", "....", "...."}},
    {'i', {".", "#", ".", "#", "#", "#", "#", ".", "."}},
    {'k', {"#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#", "....", "...."}},
    {'l', {"#", "#", "#", "#", "#", "#", "#", ".", "."}},
    {'m', {".....", ".....", "####.", "#.#.#", "#.#.#", "#.#.#", "#.#.#", ".....", "....."}},
    {'n', {"....", "....", "###.", "#..#", "#..#", "#..#", "#..#", "....", "...."}},
    {'o', {"....", "....", ".##.", "#..#", "#..#", "#..#", ".##.", "....", "...."}},
    {'p', {"....", "....", "###.", "#..#", "#..#", "#..#", "###.", "#...", "#..."}},
    {'r', {"...", "...", "#.#", "##.", "#..", "#..", "#..", "...", "..."}},
    {'t', {"...", ".#.", "###", ".#.", ".#.", ".#.", "..#", "...", "..."}},
    {'u', {"....", "....", "#..#", "#..#", "#..#", "#..#", ".###", "....", "...."}},
    {'w', {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#.", ".....", "....."}},
    {'y', {"....", "....", "#..#", "#..#", "#..#", "#..#", ".###", "...#", ".##."}},
};

// Drawn for a character the font lacks.
constexpr TGlyph Missing = {'?', {"####", "#..#", "#..#", "#..#", "#..#", "#..#", "####", "....", "...."}};

const TGlyph& GlyphOf(char c) {
    for (const TGlyph& glyph : Glyphs)
        if (glyph.Char == c) return glyph;
    return Missing;
}

} // namespace

int DrawPixelText(gif::TBitmap& bitmap, int x, int y, std::string_view text) {
    for (char c : text) {
        const TGlyph& glyph = GlyphOf(c);
        const int width = int(std::strlen(glyph.Rows[0]));
        for (int row = 0; row < int(glyph.Rows.size()); ++row)
            for (int column = 0; column < width; ++column)
                if (glyph.Rows[size_t(row)][column] == '#')
                    bitmap.SetPixels(x + column, y + row, gif::clBlack);
        x += width + 1;   // one pixel between characters
    }
    return x;
}

std::unique_ptr<gif::TBitmap> MakePlaceholderPicture() {
    auto bitmap = std::make_unique<gif::TBitmap>(PlaceholderWidth, PlaceholderHeight, gif::pf24bit);
    gif::TCanvas& canvas = bitmap->Canvas();
    canvas.Brush.Color = gif::clWhite;
    canvas.FillRect(canvas.ClipRect());
    DrawPixelText(*bitmap, 5, 5, "Error Writing Image");
    DrawPixelText(*bitmap, 5, 20, "Output by Quillmark");
    DrawPixelText(*bitmap, 5, 35, "GIF Loopwright 3.0");
    return bitmap;
}

} // namespace io
