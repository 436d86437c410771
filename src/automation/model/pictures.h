// Pictures across the automation interfaces: complete Windows bitmap files.
#pragma once

#include "automation/model/interfaces.h"

namespace gif {
class TBitmap;
}

namespace automation {

// The bitmap as a bitmap file; empty for an empty bitmap.
TPicture PictureFromBitmap(const gif::TBitmap& bitmap);
// Loads the bitmap file into `bitmap`; false (bitmap empty) when the bytes hold no picture.
bool BitmapFromPicture(const TPicture& picture, gif::TBitmap& bitmap);

} // namespace automation
