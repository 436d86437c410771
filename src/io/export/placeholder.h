// The picture written in place of a frame that has no picture of its own (an empty frame,
// or one that no longer exists): 125 x 50 white pixels with three lines of black text.
#pragma once

#include <memory>
#include <string_view>

namespace gif {
class TBitmap;
}

namespace io {

inline constexpr int PlaceholderWidth = 125;
inline constexpr int PlaceholderHeight = 50;

// A new 24-bit placeholder picture: "Error Writing Image" at (5, 5), "Output by Quillmark" at
// (5, 20) and "GIF Loopwright 3.0" at (5, 35).
std::unique_ptr<gif::TBitmap> MakePlaceholderPicture();

// Draws `text` in black with its top-left corner at (x, y), in the small pixel font of the
// placeholder (caps 7 pixels high, descenders 2 more); characters it lacks draw as a box.
// Returns the x just past the text.
int DrawPixelText(gif::TBitmap& bitmap, int x, int y, std::string_view text);

} // namespace io
