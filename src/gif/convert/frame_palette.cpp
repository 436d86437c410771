// The palettes a frame presents for drawing, and the frame's cached pictures.
#include "gif/graphics/bitmap.h"
#include "gif/graphics/palettes.h"
#include "gif/model/image.h"

namespace gif {

HPALETTE TGIFSubImage::FramePalette() {
    if (bitmap_ && bitmap_->ColorTable()) return bitmap_->ColorTable();
    if (palette_) return palette_;
    TGIFImage* image = OwnerImage();
    if (image && image->DoDither()) {
        palette_ = MakeWebPalette();
        return palette_;
    }
    if (localTable_.EntryCount() == 0) return image ? image->ImagePalette() : nullptr;
    palette_ = localTable_.ToPaletteHandle();
    return palette_;
}

bool TGIFSubImage::HasMaskBitmap() {
    if (maskPending_ && isTransparent_) {
        // The mask is made together with the bitmap.
        DropBitmap();
        FrameBitmap();
    }
    return mask_ != nullptr;
}

void TGIFSubImage::ReplaceBitmap(const TGraphic* picture) {
    DropBitmap();
    if (picture) Assign(picture);
}

void TGIFSubImage::AssignTo(TPersistent* dest) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        TBitmap* own = const_cast<TGIFSubImage*>(this)->FrameBitmap();
        if (own) bitmap->Assign(own);
        else bitmap->SetSize(0, 0);
        return;
    }
    TGIFItem::AssignTo(dest);
}

} // namespace gif
