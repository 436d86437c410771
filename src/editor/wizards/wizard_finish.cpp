#include "editor/wizards/wizard_finish.h"

#include "editor/core/frame_list.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "editor/undo/command.h"
#include "gif/model/image.h"

#include <algorithm>

namespace editor {

namespace {

// The frame list again from the working image, one item per non-empty frame, and the
// selected frame shown.
void ShowFrames(TWorkspace& workspace, int selected) {
    IFrameList& list = workspace.Frames();
    list.Clear();
    const gif::TGIFImage& image = workspace.WorkingImage();
    for (int i = 0; i < image.FrameCount(); ++i)
        if (!image.Frame(i)->IsBlank()) list.AddItem();
    if (list.Count() == 0) return;
    selected = std::clamp(selected, 0, list.Count() - 1);
    list.Select(selected);
    if (TDocument* document = workspace.ActiveDocument()) document->SelectedFrame = selected;
    list.ShowFrame(selected);
}

} // namespace

bool AdoptAsNewDocument(TWorkspace& workspace, std::unique_ptr<gif::TGIFImage> image) {
    if (!image || image->Empty()) return false;
    IWorkspaceHost& host = workspace.Host();
    host.HideStartupAnimation();
    host.StopPlayback(true);
    // The active animation goes to its backing file before the working image changes.
    if (TDocument* active = workspace.ActiveDocument()) workspace.DocumentDeactivated(*active);
    workspace.Frames().Clear();
    gif::TGIFImage& working = workspace.WorkingImage();
    working.ResetImage();
    working.Assign(image.get());
    working.ReductionMethod = image->ReductionMethod;
    working.DitherMethod = image->DitherMethod;
    TDocument& document = workspace.CreateUntitledDocument();
    // Marking it modified writes its backing file, from which its pending load fills the
    // frame list; a failed write closes it again.
    document.SetModified(true);
    return workspace.Contains(&document);
}

bool ReplaceActiveAnimation(TWorkspace& workspace, const gif::TGIFImage& optimized) {
    TDocument* document = workspace.ActiveDocument();
    if (!document || workspace.WorkingImage().Empty()) return false;
    workspace.Host().StopPlayback(true);
    const int selected = workspace.Frames().Selected();
    document->PushCommand(ckActiveAnimation, 8, -1, -1, 0, "GIF Optimization");
    gif::TGIFImage& working = workspace.WorkingImage();
    const uint8_t reduction = working.ReductionMethod, dither = working.DitherMethod;
    working.ResetImage();
    working.Assign(&optimized);
    working.ReductionMethod = reduction;
    working.DitherMethod = dither;
    document->SetModified(true);
    if (!workspace.Contains(document)) return false;
    ShowFrames(workspace, selected);
    return true;
}

} // namespace editor
