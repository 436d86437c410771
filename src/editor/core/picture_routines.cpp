#include "editor/core/picture_routines.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

namespace editor {

using namespace gif;

void CropBitmap(TBitmap& bitmap, int height, int width) { bitmap.SetSize(width, height); }

namespace {

// Cuts the frame to width x height at the same offset, keeping its top-left pixels.
void CutFrame(TGIFSubImage& frame, int width, int height) {
    const int oldWidth = frame.FrameWidth();
    const std::vector<uint8_t> pixels(frame.PixelData().begin(), frame.PixelData().end());
    frame.SetPlacement(frame.FrameLeft(), frame.FrameTop(), width, height);
    if (pixels.empty() || width <= 0 || height <= 0) return;
    frame.EnsurePixels();
    for (int y = 0; y < height; ++y)
        std::memcpy(frame.RowAt(y), pixels.data() + size_t(y) * size_t(oldWidth), size_t(width));
}

} // namespace

void FitBitmapToAnimation(TGIFImage& image, TBitmap& bitmap, bool trim) {
    if (trim) {
        CropBitmap(bitmap, std::min(image.Height(), bitmap.Height()),
                   std::min(image.Width(), bitmap.Width()));
        return;
    }
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFSubImage& frame = *image.Frame(i);
        const int right = frame.FrameLeft() + frame.FrameWidth();
        const int bottom = frame.FrameTop() + frame.FrameHeight();
        if (right <= bitmap.Width() && bottom <= bitmap.Height()) continue;
        CutFrame(frame, std::max(0, std::min(right, bitmap.Width()) - frame.FrameLeft()),
                 std::max(0, std::min(bottom, bitmap.Height()) - frame.FrameTop()));
    }
    image.SetWidth(bitmap.Width());
    image.SetHeight(bitmap.Height());
}

} // namespace editor
