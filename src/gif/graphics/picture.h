// A container holding one picture of any kind, as the platform's picture object.
#pragma once

#include <memory>

#include "gif/graphics/graphic.h"

namespace gif {

class TBitmap;

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    const char* ClassName() const override { return "TPicture"; }

    // The held picture, or null.
    TGraphic* Graphic() { return graphic_.get(); }
    const TGraphic* Graphic() const { return graphic_.get(); }
    // Replaces the held picture.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The held picture as a bitmap; a picture of another kind is replaced by an empty bitmap.
    TBitmap& Bitmap();

    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // From a picture container or a picture: holds a copy (bitmaps, icons and metafiles
    // keep their kind; other pictures become bitmaps drawn from them). Null empties it.
    void Assign(const TPersistent* source) override;

private:
    std::unique_ptr<TGraphic> graphic_;
};

// A copy of `graphic` of the same kind where the kind is known, else a bitmap drawn from it.
std::unique_ptr<TGraphic> CopyGraphic(const TGraphic& graphic);

} // namespace gif
