#include "gif/render/frame_draw.h"

#include <algorithm>

#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/model/image.h"

namespace gif {

TRect FramePlace(const TGIFSubImage& frame, const TRect& screen, int imageWidth, int imageHeight) {
    if (imageWidth <= 0 || imageHeight <= 0) return {};
    int w = screen.Width(), h = screen.Height();
    return {screen.Left + MulDiv(frame.FrameLeft(), w, imageWidth),
            screen.Top + MulDiv(frame.FrameTop(), h, imageHeight),
            screen.Left + MulDiv(frame.FrameLeft() + frame.FrameWidth(), w, imageWidth),
            screen.Top + MulDiv(frame.FrameTop() + frame.FrameHeight(), h, imageHeight)};
}

void ForEachTile(const TGIFSubImage& frame, const TRect& screen, int imageWidth, int imageHeight,
                 const std::function<void(const TRect& tile, const TRect& source)>& tile) {
    int fw = frame.FrameWidth(), fh = frame.FrameHeight();
    if (fw <= 0 || fh <= 0 || screen.IsEmpty()) return;
    // A frame never lies outside its screen, so both steps are at least the frame's size;
    // the guard only keeps a damaged model from looping for ever.
    int stepX = std::max(imageWidth, 1), stepY = std::max(imageHeight, 1);
    for (int64_t x = int64_t(screen.Left) + frame.FrameLeft(); x < screen.Right; x += stepX) {
        for (int64_t y = int64_t(screen.Top) + frame.FrameTop(); y < screen.Bottom; y += stepY) {
            TRect dest{int(x), int(y), int(std::min<int64_t>(x + fw, screen.Right)),
                       int(std::min<int64_t>(y + fh, screen.Bottom))};
            tile(dest, Rect(0, 0, dest.Width(), dest.Height()));
        }
    }
}

void DrawSubImage(TGIFSubImage& frame, TCanvas& canvas, const TRect& screen, bool transparent,
                  bool tiled) {
    TGIFImage* image = frame.OwnerImage();
    if (!image || frame.IsBlank() || screen.IsEmpty()) return;
    // The mask is made together with the bitmap, so ask for it first.
    const TBitmap* mask = transparent && frame.IsTransparent() && frame.HasMaskBitmap()
                              ? frame.MaskBitmap()
                              : nullptr;
    TBitmap* bitmap = frame.FrameBitmap();
    if (!bitmap) return;
    if (!tiled) {
        canvas.StretchBlt(FramePlace(frame, screen, image->Width(), image->Height()), *bitmap,
                          Rect(0, 0, bitmap->Width(), bitmap->Height()), mask);
        return;
    }
    ForEachTile(frame, screen, image->Width(), image->Height(),
                [&](const TRect& dest, const TRect& source) {
                    canvas.StretchBlt(dest, *bitmap, source, mask);
                });
}

} // namespace gif
