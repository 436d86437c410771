// Drawing an image and managing its renderers.
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

namespace gif {

void TGIFImage::Draw(TCanvas&, const TRect&) {}

void TGIFImage::SetDrawOptions(TGIFDrawOptions value) {
    if (value == drawOptions_) return;
    drawOptions_ = value;
    RefreshPalettes();
    Changed(this);
}

TBitmap* TGIFImage::Bitmap() {
    return bitmap_.get();
}

void TGIFImage::StopDraw() {
    DropCachedBitmap();
}

void TGIFImage::StopAllPainters() {}

} // namespace gif
