#include "editor/wizards/animation_builder.h"

#include "editor/core/animation_routines.h"
#include "editor/core/edit_context.h"
#include "editor/core/file_kinds.h"
#include "editor/core/picture_routines.h"
#include "editor/document/document_messages.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"

#include <algorithm>

namespace editor {

namespace {

// The background: second column, bottom row; a picture one pixel wide has only column 0.
gif::TColor BackgroundOf(const gif::TBitmap& picture) {
    return picture.Pixels(std::min(1, picture.Width() - 1), picture.Height() - 1);
}

// The picture on a canvas of width x height filled with `background`: stretched, centred
// (offsets truncated toward zero, cut at the edges) or at the top left corner.
gif::TBitmap Place(gif::TBitmap& picture, int width, int height, gif::TColor background,
                   const TAnimationChoices& choices) {
    gif::TBitmap canvas(width, height, gif::pf24bit);
    gif::TCanvas& draw = canvas.Canvas();
    draw.Brush.Color = background;
    draw.FillRect(gif::Rect(0, 0, width, height));
    if (choices.Scale)
        draw.StretchDraw(gif::Rect(0, 0, width, height), picture);
    else if (choices.Center)
        draw.Draw((width - picture.Width()) / 2, (height - picture.Height()) / 2, picture);
    else
        draw.Draw(0, 0, picture);
    return canvas;
}

} // namespace

std::unique_ptr<gif::TGIFImage> BuildAnimation(TEditContext& context,
                                               const TAnimationChoices& choices,
                                               const QStringList& paths) {
    auto image = std::make_unique<gif::TGIFImage>();
    image->DitherMethod = gif::dtFloydSteinberg;
    int width = std::clamp(choices.Width, 1, MaxWizardSize);
    int height = std::clamp(choices.Height, 1, MaxWizardSize);
    gif::TColor background = gif::clWhite;
    bool first = true;
    const int delay = std::clamp(choices.Delay, 1, MaxWizardCount);
    for (const QString& path : paths) {
        gif::TBitmap picture;
        if (LoadImageFile(context, path, picture, FileKind(path), true, {}) != liPicture) continue;
        if (picture.Width() <= 0 || picture.Height() <= 0) continue;
        if (first) {
            // The first picture that loads, not just the first entry: an animation needs a
            // size even when the first file has gone.
            background = BackgroundOf(picture);
            if (!choices.CustomSize) {
                width = picture.Width();
                height = picture.Height();
            }
            first = false;
        }
        gif::TBitmap canvas = Place(picture, width, height, background, choices);
        const int index = image->AddFrame(&canvas);
        EnsureGraphicControl(*image->Frame(index), delay);
    }
    if (image->Empty()) return nullptr;
    if (choices.LoopForever)
        AddLoopExtension(*image, 0, 0);
    else
        SetPlayCount(*image, std::clamp(choices.PlayCount, 1, MaxWizardCount));
    AddComment(*image->Frame(0), msg::CreatedWith);
    image->OptimizeColorMaps();
    return image;
}

} // namespace editor
