// The pictures bench_reduce measures: three made here (a photograph-like render, a smooth
// gradient, a drawn graphic with anti-aliased edges) and the photographs and video frames
// prepare.sh puts in a folder.
#pragma once

#include "gif/graphics/bitmap.h"

#include <string>
#include <vector>

namespace reducebench {

struct TPicture {
    std::string Name;
    gif::TBitmap Bitmap; // 24 bits per pixel
};

// The three made pictures, 1920x1080 each.
std::vector<TPicture> MadePictures();
// Every *.bmp of `folder` in name order, as 24-bit bitmaps; none when the folder is missing.
std::vector<TPicture> LoadPictures(const std::string& folder);

} // namespace reducebench
