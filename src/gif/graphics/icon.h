// An icon: a colour bitmap and a 1-bit mask (set bits = transparent). Reads and
// writes .ico files whose images are BMP-encoded (PNG-encoded images are refused).
#pragma once

#include "gif/graphics/bitmap.h"

namespace gif {

// Limits of an icon file: images listed in the directory, pixels per side.
inline constexpr int MaxIconImages = 256;
inline constexpr int MaxIconSide = 1024;

class TIcon : public TGraphic {
public:
    TIcon();
    TIcon(const TIcon& other);
    TIcon& operator=(const TIcon& other);
    const char* ClassName() const override { return "TIcon"; }

    bool Empty() const override { return image_.Empty(); }
    int Width() const override { return image_.Width(); }
    int Height() const override { return image_.Height(); }
    // Resizing keeps the top-left pixels; new pixels are opaque black.
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    bool Transparent() const override { return true; }

    // The colour image and the mask, both of the icon's size.
    const TBitmap& Bitmap() const { return image_; }
    const TBitmap& MaskBitmap() const { return mask_; }
    // Sets the picture; without a mask (or with one of another size) nothing is transparent.
    void SetImage(const TBitmap& image, const TBitmap* mask = nullptr);

    // Draws the colour image stretched into `rect`, leaving masked pixels untouched.
    void Draw(TCanvas& canvas, const TRect& rect) override;

    // Reads the largest (then deepest) image of a .ico file.
    void LoadFromStream(TStream& stream) override;
    // Writes a .ico file with one BMP-encoded image.
    void SaveToStream(TStream& stream) override;
    void Assign(const TPersistent* source) override;

private:
    TBitmap image_;
    TBitmap mask_{0, 0, pf1bit};
};

} // namespace gif
