#include "editor/document/picture_files.h"

#include "editor/core/ask.h"
#include "editor/core/gif_files.h"
#include "editor/core/messages.h"
#include "editor/core/picture_routines.h"
#include "editor/core/prompter.h"
#include "editor/document/document.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/workspace.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

namespace editor {

namespace {

// Every picture of the GIF at `path` goes into the active animation from the chosen
// position on, each as an edit of its own. liFailed when something was refused.
int IncludeFrames(TWorkspace& workspace, const QString& path) {
    int position = AskInsertPosition(workspace);
    if (position < 0) return liFailed;
    TBusyCursor busy(workspace.Prompter());
    gif::TGIFImage scratch;
    if (!LoadGifFile(workspace.Prompter(), scratch, path)) return liFailed;
    for (int i = 0; i < scratch.FrameCount(); ++i) {
        gif::TGIFSubImage& frame = *scratch.Frame(i);
        if (frame.IsBlank()) continue;
        gif::TBitmap bitmap(*frame.FrameBitmap());
        frame.DropBitmap();
        if (AddFrameFromBitmap(workspace, bitmap, position++, "Drag and Drop Image") < 0)
            return liFailed;
    }
    if (TDocument* document = workspace.ActiveDocument()) {
        document->Loaded = true;
        document->WriteBackingFile();
    }
    return liIncluded;
}

// A GIF arrives where a picture was expected: with documents open (and not dropped on the
// bare main window) the user chooses between including its frames and a new document.
int GifArrived(TWorkspace& workspace, const QString& path) {
    if (workspace.DocumentCount() > 0 && !workspace.DropOnMainWindow) {
        switch (AskIncludeOrNew(workspace.Prompter(), workspace.Config(), msg::IncludeOrNew)) {
        case TIncludeChoice::Cancel:
            return liFailed;
        case TIncludeChoice::Include:
            return IncludeFrames(workspace, path);
        case TIncludeChoice::StartNew:
            if (TDocument* active = workspace.ActiveDocument())
                workspace.BringDocumentForward(*active);
            break;
        }
    }
    workspace.OpenGifDocument(path);
    return liOpened;
}

} // namespace

int LoadPictureFile(TWorkspace& workspace, const QString& path, gif::TBitmap& bitmap, int kind) {
    return LoadImageFile(workspace.Context(), path, bitmap, kind, false,
                         [&workspace](const QString& gif) { return GifArrived(workspace, gif); });
}

} // namespace editor
