// The picture kinds the open dialogs offer, in one place: each entry's caption as the
// dialog shows it and its file patterns.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace io {

struct TPictureFilter {
    std::string_view Caption;
    std::string_view Patterns; // ";"-separated
};

inline constexpr std::array<TPictureFilter, 20> PictureFilters = {{
    {"Image Files", "*.gif;*.jpg;*.jpeg;*.bmp;*.jif;*.dcx;*.ico;*.pbm;*.pcx;*.ljp;*.pgm;*.pic;"
                    "*.png;*.ppm;*.rle;*.tga;*.tif;*.wmf;*.wpg"},
    {"GIF Images (*.gif)", "*.gif"},
    {"Jpeg Images (*.jpg, *.jpeg)", "*.jpg;*.jpeg"},
    {"Bitmap Images (*.bmp)", "*.bmp"},
    {"JIFF Images (*.jif)", "*.jif"},
    {"DCX Images (*.dcx)", "*.dcx"},
    {"Icon Images (*.ico)", "*.ico"},
    {"Portable Bitmap Images (*.pbm)", "*.pbm"},
    {"PC Paintbrush Images (*.pcx)", "*.pcx"},
    {"LJP Images (*.ljp)", "*.ljp"},
    {"Portable Graymap Images (*.pgm)", "*.pgm"},
    {"PIC Images (*.pic)", "*.pic"},
    {"Portable Network Graphics (*.png)", "*.png"},
    {"Portable Pixmap Images (*.ppm)", "*.ppm"},
    {"RLE Images (*.rle)", "*.rle"},
    {"Targa Images (*.tga)", "*.tga"},
    {"TIFF Images (*.tif)", "*.tif"},
    {"Window Meta File (*.wmf)", "*.wmf"},
    {"Word Perfect Graphics (*.wpg)", "*.wpg"},
    {"All Files (*.*)", "*.*"},
}};

// The filter in the "caption|patterns|caption|patterns" form.
std::string PictureFilterString();

// The filter for QFileDialog: "Image Files (*.gif *.jpg ...);;GIF Images (*.gif);;...".
// Qt reads the patterns from the last parentheses, separated by blanks, so each caption's
// own list is rewritten that way ("Jpeg Images (*.jpg *.jpeg)"), and "*.*" becomes "*" so
// that files without an extension show too.
std::string PictureQtFilterString();

// The extensions of every picture kind, lower case with the dot (".gif", ".jpg", ...).
std::vector<std::string> PictureExtensions();

} // namespace io
