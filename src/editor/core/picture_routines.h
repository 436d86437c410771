// Pictures that become frames: fitting them to the animation's size.
#pragma once

namespace gif {
class TBitmap;
class TGIFImage;
} // namespace gif

namespace editor {

// The bitmap becomes its own top-left width x height part.
void CropBitmap(gif::TBitmap& bitmap, int height, int width);

// A picture larger than the animation: with `trim` the picture is cut to the animation's
// size; otherwise the animation grows to hold both the picture and every frame it has
// (160 x 120 and 200 x 100 give 200 x 120), and no frame is cut.
void FitBitmapToAnimation(gif::TGIFImage& image, gif::TBitmap& bitmap, bool trim);

} // namespace editor

#include <QString>
#include <functional>

namespace editor {

struct TEditContext;

// What LoadImageFile did with the file.
enum TLoadImageResult : int {
    liPicture = 0,        // the picture is in the bitmap
    liFailed = -1,        // failed or cancelled
    liOpened = -2,        // a GIF opened as a document of its own
    liIncluded = -3,      // a GIF's frames went into the active animation
};

// Loads the file at `path` of the given kind into `bitmap`: bitmaps directly, GIF files
// through the GIF reader (their first frame's picture with `firstFrameOnly`; otherwise
// `gifArrived` decides what becomes of the whole animation and returns liFailed, liOpened
// or liIncluded), every other picture through the imaging control. Failures are told to
// the user and give liFailed.
int LoadImageFile(TEditContext& context, const QString& path, gif::TBitmap& bitmap, int kind,
                  bool firstFrameOnly, const std::function<int(const QString&)>& gifArrived);

} // namespace editor
