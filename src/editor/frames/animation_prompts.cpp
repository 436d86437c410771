#include "editor/frames/animation_prompts.h"

#include "editor/core/animation_routines.h"
#include "editor/core/frame_list.h"
#include "editor/core/prompter.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/frames/frame_commands.h"
#include "editor/undo/command.h"
#include "editor/undo/palette_command.h"
#include "gif/model/image.h"

namespace editor {

bool AnimationResizeExecute(TWorkspace& workspace, IAnimationPrompts& prompts) {
    gif::TGIFImage& image = workspace.WorkingImage();
    if (!workspace.ActiveDocument() || image.Empty()) return false;
    int height = image.Height(), width = image.Width();
    if (!prompts.AskResize(image.Height(), image.Width(), height, width)) return false;
    return ResizeCommand(workspace, width, height);
}

bool AnimationInfoExecute(TWorkspace& workspace, IAnimationPrompts& prompts) {
    gif::TGIFImage& image = workspace.WorkingImage();
    if (!workspace.ActiveDocument() || image.FrameCount() == 0) return false;
    {
        TBusyCursor busy(workspace.Prompter());
        NormaliseAnimation(image, true, workspace.Defaults());
    }
    TLoopChoice choice;
    if (!prompts.AskLoop(image.FrameCount(), EncodedSize(image), TotalDelay(image), GetPlayCount(image), choice))
        return false;
    return ApplyLoopChoice(workspace, choice);
}

bool FrameGlobalChangeExecute(TWorkspace& workspace, IAnimationPrompts& prompts) {
    gif::TGIFImage& image = workspace.WorkingImage();
    if (!workspace.ActiveDocument() || image.FrameCount() == 0) return false;
    TGlobalChangeSetup setup{image.Width(), image.Height(), std::max(0, workspace.Frames().Selected())};
    if (setup.SelectedFrame < image.FrameCount()) {
        const gif::TGIFSubImage& frame = *image.Frame(setup.SelectedFrame);
        setup.Transparent = frame.IsTransparent();
        setup.Interlaced = frame.IsInterlaced();
        setup.HasLocalPalette = frame.LocalTable().EntryCount() > 0;
    }
    TGlobalChange change;
    if (!prompts.AskGlobalChange(setup, change)) return false;
    return ApplyGlobalChange(workspace, change);
}

void HtmlCodeExecute(TWorkspace& workspace, IAnimationPrompts& prompts) {
    TDocument* document = workspace.ActiveDocument();
    if (!document) return;
    prompts.ShowHtmlCode(document->ShortName(), workspace.WorkingImage().Height(),
                         workspace.WorkingImage().Width());
}

bool AnimationPaletteExecute(TWorkspace& workspace, IAnimationPrompts& prompts) {
    TDocument* document = workspace.ActiveDocument();
    gif::TGIFImage& image = workspace.WorkingImage();
    if (!document || image.GlobalColorMap().EntryCount() == 0) {
        workspace.Actions().SetEnabled(TActionId::AnimationPalette, false);
        return false;
    }
    TPaletteEdit edit;
    if (!prompts.EditGlobalPalette(image, edit)) return false;
    // Deleting entries renumbers the pixels of every frame drawing with the table: only a
    // copy of the whole animation undoes that.
    if (edit.Deleted.empty())
        document->PushCommand(ckPalette, 3, -1, -1, -1, "Change Global Palette");
    else
        document->PushCommand(ckActiveAnimation, 8, -1, -1, -1, "Change Global Palette");
    for (int index : edit.Deleted) DeleteColorEntry(image, -1, index);
    gif::TGIFColorMap& table = image.GlobalColorMap();
    for (int i = 0; i < int(edit.Colors.size()); ++i) {
        if (i < table.EntryCount())
            table.SetColorAt(i, edit.Colors[size_t(i)]);
        else
            table.AppendColor(edit.Colors[size_t(i)]);
    }
    document->SetModified(true);
    if (!workspace.Contains(document)) return false;
    // Every frame picture takes the new colours through a reload.
    workspace.ReloadWorkingImage(document->TempFileName());
    return true;
}

} // namespace editor
