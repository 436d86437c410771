#include "gif/model/header.h"

#include "gif/model/image.h"

namespace gif {

TGIFHeader::TGIFHeader(TGIFImage* owner) : TGIFItem(owner), globalTable_(this) {}

void TGIFHeader::ResetScreen() {
    globalTable_.RemoveAll();
    screen_ = {};
}

TGIFVersion TGIFHeader::GifVersion() const {
    return globalTable_.SortedByUse() || screen_.AspectRatio != 0 ? gv89a : gv87a;
}

void TGIFHeader::UpdateScreenFlags() {
    TGIFImage* image = OwnerImage();
    uint8_t flags = 0;
    int resolution = image ? image->ScreenColorResolution() : globalTable_.BitsNeeded() - 1;
    flags |= uint8_t((resolution & 7) << 4);
    if (globalTable_.EntryCount() > 0) {
        flags |= 0x80;
        if (globalTable_.SortedByUse()) flags |= 0x08;
        flags |= uint8_t((globalTable_.BitsNeeded() - 1) & 7);
    } else {
        int depth = image ? image->ScreenBitDepth() : 0;
        flags |= uint8_t((depth - 1) & 7);
    }
    screen_.PackedFields = flags;
}

TColor TGIFHeader::ScreenBackground() {
    return globalTable_.ColorAt(screen_.BackgroundColorIndex);
}

void TGIFHeader::Assign(const TPersistent* source) {
    if (auto* header = dynamic_cast<const TGIFHeader*>(source)) {
        CopyFrom(*header);
    } else if (auto* table = dynamic_cast<const TGIFColorMap*>(source)) {
        ResetScreen();
        globalTable_.CopyFrom(*table);
    } else {
        TPersistent::Assign(source);
    }
}

void TGIFHeader::CopyFrom(const TGIFHeader& source) {
    if (&source == this) return;
    globalTable_.CopyFrom(source.globalTable_);
    screen_ = source.screen_;
}

} // namespace gif
