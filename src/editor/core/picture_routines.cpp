#include "editor/core/picture_routines.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

namespace editor {

using namespace gif;

void CropBitmap(TBitmap& bitmap, int height, int width) { bitmap.SetSize(width, height); }

namespace {

// Cuts the frame to width x height at the same offset, keeping its top-left pixels.
void CutFrame(TGIFSubImage& frame, int width, int height) {
    const int oldWidth = frame.FrameWidth();
    const std::vector<uint8_t> pixels(frame.PixelData().begin(), frame.PixelData().end());
    frame.SetPlacement(frame.FrameLeft(), frame.FrameTop(), width, height);
    if (pixels.empty() || width <= 0 || height <= 0) return;
    frame.EnsurePixels();
    for (int y = 0; y < height; ++y)
        std::memcpy(frame.RowAt(y), pixels.data() + size_t(y) * size_t(oldWidth), size_t(width));
}

} // namespace

void FitBitmapToAnimation(TGIFImage& image, TBitmap& bitmap, bool trim) {
    if (trim) {
        CropBitmap(bitmap, std::min(image.Height(), bitmap.Height()),
                   std::min(image.Width(), bitmap.Width()));
        return;
    }
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFSubImage& frame = *image.Frame(i);
        const int right = frame.FrameLeft() + frame.FrameWidth();
        const int bottom = frame.FrameTop() + frame.FrameHeight();
        if (right <= bitmap.Width() && bottom <= bitmap.Height()) continue;
        CutFrame(frame, std::max(0, std::min(right, bitmap.Width()) - frame.FrameLeft()),
                 std::max(0, std::min(bottom, bitmap.Height()) - frame.FrameTop()));
    }
    image.SetWidth(bitmap.Width());
    image.SetHeight(bitmap.Height());
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
