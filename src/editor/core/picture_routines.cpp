#include "editor/core/picture_routines.h"

#include <algorithm>

#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

namespace editor {

using namespace gif;

void CropBitmap(TBitmap& bitmap, int height, int width) { bitmap.SetSize(width, height); }

void FitBitmapToAnimation(TGIFImage& image, TBitmap& bitmap, bool trim) {
    if (trim) {
        CropBitmap(bitmap, std::min(image.Height(), bitmap.Height()),
                   std::min(image.Width(), bitmap.Width()));
        return;
    }
    // The animation grows to hold both its frames and the picture: no frame loses a pixel.
    if (bitmap.Width() > image.Width()) image.SetWidth(bitmap.Width());
    if (bitmap.Height() > image.Height()) image.SetHeight(bitmap.Height());
}

} // namespace editor

#include <QFileInfo>
#include <string>

#include "editor/core/edit_context.h"
#include "editor/core/file_access.h"
#include "editor/core/file_kinds.h"
#include "editor/core/format.h"
#include "editor/core/gif_files.h"
#include "editor/core/messages.h"
#include "editor/core/prompter.h"
#include "editor/core/temp_files.h"
#include "io/picture_loader.h"

namespace editor {

int LoadImageFile(TEditContext& context, const QString& path, gif::TBitmap& bitmap, int kind,
                  bool firstFrameOnly, const std::function<int(const QString&)>& gifArrived) {
    IPrompter& prompter = context.Prompter;
    const auto failed = [&] {
        prompter.Message(TMessageKind::Warning, Format(msg::LoadError, path));
        return liFailed;
    };
    if (const QString failure = QFileInfo::exists(path) ? ReadFailure(path) : QString(); !failure.isEmpty()) {
        prompter.Message(TMessageKind::Warning, LoadFailureText(path, failure));
        return liFailed;
    }
    if (!QFileInfo(path).isFile()) return failed();
    if (kind == fkUnknown) {
        prompter.Message(TMessageKind::Warning,
                         Format(msg::UnrecognizedFileType, QFileInfo(path).fileName()));
        return liFailed;
    }
    if (kind == fkGif) {
        gif::TGIFImage scratch;
        scratch.OnProgress = context.Progress;
        if (!LoadGifFile(prompter, scratch, path)) return liFailed;
        if (!firstFrameOnly) return gifArrived ? gifArrived(path) : liFailed;
        gif::TBitmap* picture = scratch.Empty() ? nullptr : scratch.Bitmap();
        if (!picture || picture->Empty()) return failed();
        bitmap = *picture;
        return liPicture;
    }
    TBusyCursor busy(prompter);
    if (kind == fkBmp) {
        try {
            bitmap.LoadFromFile(NativePath(path));
            return liPicture;
        } catch (const std::exception&) {
            return failed();
        }
    }
    // Everything else goes through the imaging control, which leaves the bitmap as it
    // was when it cannot read the file.
    if (io::LoadPictureWithXpress(NativePath(path), bitmap) != 0) return failed();
    return liPicture;
}

} // namespace editor
