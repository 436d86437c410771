#include "editor/document/frame_insertion.h"

#include "editor/core/animation_routines.h"
#include "editor/core/file_kinds.h"
#include "editor/core/frame_list.h"
#include "editor/core/palette_routines.h"
#include "editor/core/picture_routines.h"
#include "editor/core/prompter.h"
#include "editor/core/settings.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/picture_files.h"
#include "editor/document/workspace_host.h"
#include "editor/document/workspace.h"
#include "editor/undo/command.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

#include <algorithm>
#include <optional>

namespace editor {

bool TStoredFramePrompts::AskFrameSize(bool& trim) {
    trim = settings_.Value(keys::ClipFrame) != 0;
    return true;
}

int AskInsertPosition(TWorkspace& workspace) {
    const int selected = workspace.Frames().Selected();
    if (selected < 0) return 0;
    return workspace.FramePrompts().AskInsertIndex(selected);
}

int InsertBitmapFrame(TWorkspace& workspace, gif::TBitmap& bitmap, int index) {
    gif::TGIFImage& image = workspace.WorkingImage();
    const Settings& settings = workspace.Config();
    const bool hadFrames = !image.Empty();
    bool optimise = MergesIntoGlobalPalette(settings.Value(keys::PaletteType));
    if (gif::PixelFormatBits(bitmap.PixelFormat()) >= 8) {
        TBusyCursor busy(workspace.Prompter());
        if (settings.Value(keys::PaletteDefaults) == 0 &&
            !workspace.FramePrompts().AskPaletteSettings())
            return -1;
        optimise = ApplyPaletteSettings(image, settings);
    }
    auto created = std::make_unique<gif::TGIFSubImage>(&image);
    created->Assign(&bitmap);
    index = std::clamp(index, 0, image.FrameCount());
    image.Images().InsertAt(index, std::move(created));
    gif::TGIFSubImage& frame = *image.Frame(index);
    const TAnimationDefaults defaults = workspace.Defaults();
    PrepareNewFrame(frame, defaults.PlayCount, defaults.Delay);
    if (!hadFrames) AddComment(frame, msg::CreatedWith);
    if (optimise)
        OptimiseColorMaps(image);
    else
        OptimiseFrameColours(frame, ptOptimizedKeepLocal, workspace.Palettes());
    if (!hadFrames) workspace.CreateUntitledDocument();
    return index;
}

namespace {

// A copy of the picture of the active document's selected frame; none without one.
std::optional<gif::TBitmap> SelectedFramePicture(TWorkspace& workspace) {
    const int selected = workspace.Frames().Selected();
    gif::TGIFImage& image = workspace.WorkingImage();
    if (!workspace.ActiveDocument() || selected < 0 || selected >= image.FrameCount()) return {};
    gif::TGIFSubImage& frame = *image.Frame(selected);
    if (frame.IsBlank()) return {};
    gif::TBitmap picture(*frame.FrameBitmap());
    frame.DropBitmap();
    return picture;
}

} // namespace

void InsertFileAsFrame(TWorkspace& workspace, const QString& path) {
    workspace.Host().HideStartupAnimation();
    workspace.Host().StopPlayback(true);
    TBusyCursor busy(workspace.Prompter());
    gif::TBitmap bitmap;
    if (LoadPictureFile(workspace, path, bitmap, FileKind(path)) != 0) return;
    const int position = AskInsertPosition(workspace);
    if (position < 0) return;
    AddFrameFromBitmap(workspace, bitmap, position, "Add Frame");
}

bool AddFrameAfterSelection(TWorkspace& workspace, const gif::TBitmap& bitmap, int delay) {
    TDocument* document = workspace.ActiveDocument();
    if (!document) return false;
    gif::TGIFImage& image = workspace.WorkingImage();
    const int index = std::clamp(workspace.Frames().Selected() + 1, 0, image.FrameCount());
    // The colour tables of the other frames may merge: a copy of the whole animation
    // undoes that exactly.
    document->PushCommand(ckActiveAnimation, 8, -1, -1, index, "Add Frame");
    auto created = std::make_unique<gif::TGIFSubImage>(&image);
    created->Assign(&bitmap);
    image.Images().InsertAt(index, std::move(created));
    gif::TGIFSubImage& frame = *image.Frame(index);
    PrepareNewFrame(frame, workspace.Defaults().PlayCount, delay);
    OptimiseFrameColours(frame, workspace.Config().Value(keys::PaletteType), workspace.Palettes());
    workspace.Frames().InsertItem(index);
    document->SetModified(true);
    if (!workspace.Contains(document)) return false;
    document->SelectedFrame = index;
    workspace.DisplayFrame(index);
    workspace.Frames().Select(index);
    return true;
}

void InsertShownFrameAt(TWorkspace& workspace, int index) {
    std::optional<gif::TBitmap> picture = SelectedFramePicture(workspace);
    if (!picture || index < 0) return;
    AddFrameFromBitmap(workspace, *picture, index, "Add Frame");
}

void CopyFrameAcross(TWorkspace& workspace, TDocument& target) {
    std::optional<gif::TBitmap> found = SelectedFramePicture(workspace);
    if (!found) return;
    gif::TBitmap& picture = *found;
    if (workspace.ActiveDocument() != &target) workspace.BringDocumentForward(target);
    if (workspace.ActiveDocument() != &target) return;
    const int position = AskInsertPosition(workspace);
    if (position < 0) return;
    AddFrameFromBitmap(workspace, picture, position, "Drag and Drop Image");
}

int AddFrameFromBitmap(TWorkspace& workspace, gif::TBitmap& bitmap, int index,
                       const QString& caption) {
    gif::TGIFImage& image = workspace.WorkingImage();
    bool trim = true;
    const bool larger = workspace.Frames().Count() > 0 && (bitmap.Width() > image.Width() + 1 ||
                                                           bitmap.Height() > image.Height() + 1);
    if (larger) {
        if (workspace.Config().Value(keys::ClipDefault) != 0)
            trim = workspace.Config().Value(keys::ClipFrame) != 0;
        else if (!workspace.FramePrompts().AskFrameSize(trim))
            return -1;
    }
    // Inserting a picture also merges and sorts the colour tables of the other frames (and
    // may enlarge the animation): only a copy of the whole animation undoes that exactly.
    TDocument* document = image.Empty() ? nullptr : workspace.ActiveDocument();
    if (document) document->PushCommand(ckActiveAnimation, 8, -1, -1, std::max(index, 0), caption);
    if (larger) FitBitmapToAnimation(image, bitmap, trim);
    const int at = InsertBitmapFrame(workspace, bitmap, index);
    if (at < 0) {
        // Cancelled at the palette question: nothing changed, so the record goes again.
        if (document) document->History().Delete(document->History().Count() - 1);
        if (document) document->UpdateUndoState();
        return -1;
    }
    workspace.Frames().InsertItem(at);
    // The other frames' colour tables were merged and the screen may have grown: their
    // thumbnails and sizes are shown again at once.
    workspace.Host().RepaintFrameList();
    if (!document) {
        // The first picture of a new animation: its new document records the frame.
        document = workspace.ActiveDocument();
        if (document) document->PushCommand(ckFrame, 1, -1, -1, at, caption);
    }
    if (document) {
        document->SetModified(true);
        // A backing file that cannot be written closes the document.
        if (!workspace.Contains(document)) return -1;
        document->SelectedFrame = at;
    }
    workspace.DisplayFrame(at);
    return at;
}

} // namespace editor
