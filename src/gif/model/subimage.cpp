#include "gif/model/subimage.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace gif {

TGIFSubImage::TGIFSubImage(TGIFImage* owner)
    : TGIFItem(owner), blocks_(std::make_unique<TGIFExtensionList>(this)), localTable_(this),
      serial_(owner ? owner->NewFrameSerial() : 0) {}

TGIFSubImage::~TGIFSubImage() {
    // The blocks go first: a graphic control extension clears its links to this frame.
    blocks_->DeleteAll();
}

void TGIFSubImage::SetPlacement(int left, int top, int width, int height) {
    bool resized = width != descriptor_.Width || height != descriptor_.Height;
    descriptor_.Left = uint16_t(left);
    descriptor_.Top = uint16_t(top);
    descriptor_.Width = uint16_t(width);
    descriptor_.Height = uint16_t(height);
    if (resized) {
        DropBitmap();
        DropMask();
        AllocatePixels();
    }
    GrowScreenToFit();
}

void TGIFSubImage::GrowScreenToFit() {
    TGIFImage* image = OwnerImage();
    if (!image) return;
    TGIFHeader& header = image->Header();
    bool grown = false;
    int right = descriptor_.Left + descriptor_.Width;
    int bottom = descriptor_.Top + descriptor_.Height;
    if (header.LogicalWidth() < right) {
        if (header.LogicalWidth() >= 1) {
            Warn(1, msg::ImageWidthTooSmall);
            grown = true;
        }
        header.SetLogicalWidth(uint16_t(std::min(right, 0xFFFF)));
    }
    if (header.LogicalHeight() < bottom) {
        if (header.LogicalHeight() > 0) {
            Warn(1, msg::ImageHeightTooSmall);
            grown = true;
        }
        header.SetLogicalHeight(uint16_t(std::min(bottom, 0xFFFF)));
    }
    if (grown) Warn(1, msg::ImageExceedsScreen);
}

void TGIFSubImage::SetInterlaced(bool value) {
    descriptor_.PackedFields =
        uint8_t((descriptor_.PackedFields & ~idInterlaced) | (value ? idInterlaced : 0));
}

TGIFColorMap& TGIFSubImage::EffectiveTable() {
    TGIFImage* image = OwnerImage();
    if (localTable_.EntryCount() > 0 || !image || image->GlobalColorMap().EntryCount() == 0)
        return localTable_;
    return image->GlobalColorMap();
}

const TGIFColorMap& TGIFSubImage::EffectiveTable() const {
    return const_cast<TGIFSubImage*>(this)->EffectiveTable();
}

int TGIFSubImage::TransparentIndex() const {
    return isTransparent_ && controlBlock_ ? controlBlock_->TransparentIndex() : -1;
}

bool TGIFSubImage::IsBlank() const {
    return pixels_.empty() || descriptor_.Width == 0 || descriptor_.Height == 0;
}

void TGIFSubImage::AllocatePixels() {
    DropEncodedData();
    pixels_.AssignZeroed(size_t(descriptor_.Width) * descriptor_.Height);
}

void TGIFSubImage::ReleasePixels() {
    DropEncodedData();
    pixels_.Release();
}

void TGIFSubImage::EnsurePixels() {
    if (!pixels_.empty()) return;
    if (size_t(descriptor_.Width) * descriptor_.Height == 0) throw GIFException(msg::ImageEmpty);
    AllocatePixels();
}

uint8_t* TGIFSubImage::RowAt(int y) {
    if (y < 0 || y >= descriptor_.Height) throw GIFException(msg::InvalidPixelCoordinates);
    EnsurePixels();
    DropEncodedData();
    return pixels_.data() + size_t(y) * descriptor_.Width;
}

uint8_t TGIFSubImage::PixelAt(int x, int y) {
    if (x < 0 || x >= descriptor_.Width || y < 0 || y >= descriptor_.Height)
        throw GIFException(msg::InvalidPixelCoordinates);
    EnsurePixels();
    return pixels_.data()[size_t(y) * descriptor_.Width + size_t(x)];
}

int TGIFSubImage::FrameBitDepth() const {
    return localTable_.BitsNeeded();
}

TGIFVersion TGIFSubImage::GifVersion() const {
    return localTable_.SortedByUse() || blocks_->ItemCount() > 0 ? gv89a : gv87a;
}

void TGIFSubImage::ResetFrame() {
    blocks_->DeleteAll();
    localTable_.RemoveAll();
    ReleasePixels();
    SetPlacement(descriptor_.Left, descriptor_.Top, descriptor_.Width, 0);
    SetPlacement(descriptor_.Left, descriptor_.Top, 0, 0);
    isTransparent_ = false;
    codeSizeHint_ = 0;
    lookaheadHint_ = 0;
    clearDelayHint_ = 0;
    controlBlock_ = nullptr;
    DropBitmap();
    DropMask();
    palette_.reset();
}

void TGIFSubImage::SetHasFrameBitmap(bool value) {
    if (value) {
        if (!bitmap_) FrameBitmap();
    } else {
        DropBitmap();
    }
}

void TGIFSubImage::DropBitmap() {
    bitmap_.reset();
}

void TGIFSubImage::DropMask() {
    mask_.reset();
    maskPending_ = true;
}

void TGIFSubImage::SetFramePalette(HPALETTE palette) {
    if (palette == palette_) return;
    palette_ = std::move(palette);
    if (bitmap_ && bitmap_->ColorTable() != palette_) {
        DropBitmap();
        if (TGIFImage* image = OwnerImage()) {
            image->PaletteModified = true;
            image->NotifyChange(this);
        }
    }
}

void TGIFSubImage::Assign(const TPersistent* source) {
    if (source == this) return;
    if (!source) {
        ResetFrame();
        return;
    }
    if (auto* frame = dynamic_cast<const TGIFSubImage*>(source)) {
        CopyFrom(*frame);
        return;
    }
    CopyFromPicture(source);
}

void TGIFSubImage::CopyFrom(const TGIFSubImage& source) {
    if (&source == this) return;
    ResetFrame();
    if (source.IsBlank()) return;
    // The pixels are copied whole, so the descriptor is taken over directly; only the
    // screen of this frame's image may have to grow.
    descriptor_ = source.descriptor_;
    GrowScreenToFit();
    isTransparent_ = source.isTransparent_;
    codeSizeHint_ = source.codeSizeHint_;
    lookaheadHint_ = source.lookaheadHint_;
    clearDelayHint_ = source.clearDelayHint_;
    pixels_ = source.pixels_;
    encoded_ = source.encoded_;
    localTable_.CopyFrom(source.localTable_);
    if (source.blocks_->ItemCount() > 0) {
        // Blocks are copied through their file format, so each gets its own links to this frame.
        TMemoryStream buffer;
        source.blocks_->SaveToStream(buffer);
        buffer.SetPosition(0);
        blocks_->LoadFromStream(buffer, this);
    }
    if (source.bitmap_) bitmap_ = std::make_unique<TBitmap>(*source.bitmap_);
}

void TGIFSubImage::PrepareDescriptor() {
    uint8_t flags = descriptor_.PackedFields & (idInterlaced | 0x18);
    if (localTable_.EntryCount() > 0) {
        flags |= idLocalColorTable;
        if (localTable_.SortedByUse()) flags |= idSort;
        flags |= uint8_t((FrameBitDepth() - 1) & idColorTableSize);
    }
    descriptor_.PackedFields = flags;
}

} // namespace gif
