// How close a reduced picture is to its original: PSNR over the three channels, as is and
// after a 3x3 box blur of both pictures (how dither is seen from a normal distance).
#pragma once

#include "gif/graphics/bitmap.h"

#include <cstdint>
#include <vector>

namespace reducebench {

// Pixels as red, green, blue bytes, rows top-down without padding.
struct TRgbPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Rgb;
};

// A 24-bit bitmap, or an indexed one through its colour table.
TRgbPicture ToRgb(const gif::TBitmap& bitmap);

// 10 log10(255^2 / mean squared error); 99 for equal pictures.
double Psnr(const TRgbPicture& original, const TRgbPicture& result);
// The same after a 3x3 box blur of both pictures (edges repeat the outer pixels).
double BlurredPsnr(const TRgbPicture& original, const TRgbPicture& result);

} // namespace reducebench
