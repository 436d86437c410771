// Converting pictures (bitmaps, icons, metafiles, other graphics, picture containers)
// into frames. Everything that is not a bitmap is first drawn onto one.
#include <exception>

#include "gif/convert/frame_converter.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/graphics/icon.h"
#include "gif/graphics/metafile.h"
#include "gif/graphics/picture.h"
#include "gif/model/image.h"

namespace gif {

namespace {

// `graphic` drawn at its own size onto a 24-bit bitmap filled with `background`.
// Drawing leaves a picture unchanged, but the platform's Draw is not const.
TBitmap DrawnOnBitmap(const TGraphic& graphic, TColor background) {
    TBitmap bitmap(graphic.Width(), graphic.Height(), pf24bit);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush.Color = background;
    canvas.FillRect(canvas.ClipRect());
    canvas.Draw(0, 0, const_cast<TGraphic&>(graphic));
    return bitmap;
}

// As DrawnOnBitmap on black; when drawing fails, a bitmap copy of the picture instead.
TBitmap DrawnOrCopied(const TGraphic& graphic) {
    try {
        return DrawnOnBitmap(graphic, clBlack);
    } catch (const std::exception&) {
        TBitmap bitmap;
        bitmap.Assign(&graphic);
        return bitmap;
    }
}

// Non-zero where the metafile leaves the background: drawn once over white and once over
// black, the two agree (exclusive or 0) exactly where the metafile painted.
TBitmap MetafileMask(const TMetafile& metafile) {
    TBitmap white = DrawnOnBitmap(metafile, clWhite);
    TBitmap black = DrawnOnBitmap(metafile, clBlack);
    TRect all = white.Canvas().ClipRect();
    TCanvas& canvas = white.Canvas();
    canvas.CopyMode = cmSrcInvert;
    canvas.CopyRect(all, black.Canvas(), all);
    return white;
}

} // namespace

void TGIFSubImage::CopyFromPicture(const TPersistent* source) {
    if (auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        TFrameConverter::CopyFromBitmap(*this, *bitmap);
        return;
    }
    if (auto* picture = dynamic_cast<const TPicture*>(source)) {
        Assign(picture->Graphic());   // none empties the frame
        return;
    }
    auto* graphic = dynamic_cast<const TGraphic*>(source);
    if (!graphic) AssignError(source);
    if (graphic->Empty()) {
        ResetFrame();
        return;
    }
    if (auto* icon = dynamic_cast<const TIcon*>(graphic)) {
        TBitmap drawn = DrawnOrCopied(*icon);
        TFrameConverter::CopyFromBitmap(*this, drawn, &icon->MaskBitmap());
        return;
    }
    if (auto* metafile = dynamic_cast<const TMetafile*>(graphic)) {
        TBitmap drawn = DrawnOrCopied(*metafile);
        TBitmap mask = MetafileMask(*metafile);
        TFrameConverter::CopyFromBitmap(*this, drawn, &mask);
        return;
    }
    // Any other picture: a bitmap copy of it, or else the picture drawn onto a bitmap.
    TBitmap copy;
    try {
        copy.Assign(graphic);
    } catch (const std::exception&) {
        copy = DrawnOnBitmap(*graphic, clBlack);
    }
    TFrameConverter::CopyFromBitmap(*this, copy);
}

} // namespace gif
