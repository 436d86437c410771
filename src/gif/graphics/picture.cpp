#include "gif/graphics/picture.h"

#include "gif/graphics/bitmap.h"
#include "gif/graphics/icon.h"
#include "gif/graphics/metafile.h"

namespace gif {

std::unique_ptr<TGraphic> CopyGraphic(const TGraphic& graphic) {
    if (auto* bitmap = dynamic_cast<const TBitmap*>(&graphic))
        return std::make_unique<TBitmap>(*bitmap);
    if (auto* icon = dynamic_cast<const TIcon*>(&graphic)) return std::make_unique<TIcon>(*icon);
    if (auto* metafile = dynamic_cast<const TMetafile*>(&graphic))
        return std::make_unique<TMetafile>(*metafile);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(&graphic);
    return bitmap;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) { graphic_ = std::move(graphic); }

TBitmap& TPicture::Bitmap() {
    auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
    if (!bitmap) {
        auto fresh = std::make_unique<TBitmap>();
        bitmap = fresh.get();
        graphic_ = std::move(fresh);
    }
    return *bitmap;
}

void TPicture::Assign(const TPersistent* source) {
    if (source == this) return;
    if (!source) {
        graphic_.reset();
        return;
    }
    if (auto* picture = dynamic_cast<const TPicture*>(source)) {
        graphic_ = picture->graphic_ ? CopyGraphic(*picture->graphic_) : nullptr;
        return;
    }
    if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
        graphic_ = CopyGraphic(*graphic);
        return;
    }
    TPersistent::Assign(source);
}

} // namespace gif
