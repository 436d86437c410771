#include "editor/frames/frame_commands.h"

#include <algorithm>

#include "editor/core/animation_routines.h"
#include "editor/core/format.h"
#include "editor/core/frame_list.h"
#include "editor/core/frame_moves.h"
#include "editor/core/palette_routines.h"
#include "editor/core/prompter.h"
#include "editor/core/text_routines.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "editor/undo/command.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "gif/render/compose.h"

namespace editor {

using namespace gif;

namespace {

// Shows the selected frame again after an edit that kept the list.
void ShowSelected(TWorkspace& workspace) {
    const int selected = std::max(0, workspace.Frames().Selected());
    if (TDocument* document = workspace.ActiveDocument()) document->SelectedFrame = selected;
    workspace.Frames().ShowFrame(selected);
}

// The list again from the working image: one item per non-empty frame.
void RebuildList(TWorkspace& workspace, int selected) {
    IFrameList& list = workspace.Frames();
    list.Clear();
    const TGIFImage& image = workspace.WorkingImage();
    for (int i = 0; i < image.FrameCount(); ++i)
        if (!image.Frame(i)->IsBlank()) list.AddItem();
    if (list.Count() > 0) list.Select(std::clamp(selected, 0, list.Count() - 1));
}

} // namespace

bool DeleteFrame(TWorkspace& workspace, int index) {
    TDocument* document = workspace.ActiveDocument();
    if (!document || index < 0) return false;
    if (workspace.Frames().Count() == 1) {
        workspace.Prompter().Message(
            TMessageKind::Information,
            Format("The image %s must have, at least, one frame image.", document->ShortName()));
        return false;
    }
    document->PushCommand(ckFrame, 2, -1, -1, index, "Delete Frame");
    const bool deleted = DeleteFrameAt(workspace.Context(), index);
    if (deleted) {
        document->SetModified(true);
        document->SelectedFrame = std::max(0, workspace.Frames().Selected());
    }
    document->UpdateUndoState();
    return deleted;
}

bool MoveFrame(TWorkspace& workspace, int from, int to) {
    TDocument* document = workspace.ActiveDocument();
    const int count = workspace.Frames().Count();
    if (!document || from < 0 || to < 0 || to >= count || from >= count || from == to) return false;
    document->PushCommand(ckFrame, 4, -1, to, from, "Move Frame");
    MoveFrameInImage(workspace.Context(), from, to);
    document->SetModified(true);
    document->SelectedFrame = to;
    workspace.Actions().EnableFrameActions(to, count);
    workspace.Frames().ShowFrame(to);
    return true;
}

bool MoveSelectedFrame(TWorkspace& workspace, TFrameMove move) {
    const int i = workspace.Frames().Selected();
    const int last = workspace.Frames().Count() - 1;
    switch (move) {
    case TFrameMove::Up: return MoveFrame(workspace, i, i - 1);
    case TFrameMove::Down: return MoveFrame(workspace, i, i + 1);
    case TFrameMove::ToBeginning: return MoveFrame(workspace, i, 0);
    case TFrameMove::ToEnd: return MoveFrame(workspace, i, last);
    }
    return false;
}

bool ResizeAnimation(TGIFImage& image, int width, int height) {
    if (width == image.Width() && height == image.Height()) return false;
    width = width < 1 ? 10 : std::min(width, 1000);
    height = height < 1 ? 10 : std::min(height, 1000);
    if (image.Empty()) return false;
    // Each frame as the player shows it (disposal and transparency applied), stretched.
    const TColor background = image.GlobalColorMap().EntryCount() > 0 ? image.Header().ScreenBackground()
                                                                       : clWhite;
    std::vector<std::unique_ptr<TBitmap>> pictures(size_t(image.FrameCount()));
    ComposeFramesEach(image, background, [&](int index, const TBitmap& shown) {
        auto target = std::make_unique<TBitmap>(width, height, pf24bit);
        target->Canvas().StretchDraw(Rect(0, 0, width, height), const_cast<TBitmap&>(shown));
        pictures[size_t(index)] = std::move(target);
    });
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFSubImage& frame = *image.Frame(i);
        if (frame.IsBlank() || !pictures[size_t(i)]) continue;
        // The picture replaces the frame's pixels; its blocks (delay, comments, looping)
        // stay, and the composed picture needs no transparency.
        TMemoryStream blocks;
        frame.Blocks().SaveToStream(blocks);
        frame.Assign(pictures[size_t(i)].get());
        blocks.SetPosition(0);
        frame.Blocks().LoadFromStream(blocks, &frame);
        if (TGIFGraphicControlExtension* control = frame.ControlBlock()) control->SetTransparentFlag(false);
        frame.SetPlacement(0, 0, frame.FrameWidth(), frame.FrameHeight());
    }
    image.SetWidth(width);
    image.SetHeight(height);
    return true;
}

bool ResizeCommand(TWorkspace& workspace, int width, int height) {
    TDocument* document = workspace.ActiveDocument();
    TGIFImage& image = workspace.WorkingImage();
    if (!document || (width == image.Width() && height == image.Height())) return false;
    document->PushCommand(ckActiveAnimation, 8, -1, -1, 0, "Change Animation Size");
    {
        TBusyCursor busy(workspace.Prompter());
        ResizeAnimation(image, width, height);
    }
    document->SetModified(true);
    workspace.Host().RepaintFrameList();
    ShowSelected(workspace);
    return true;
}

bool ReverseFrameOrder(TWorkspace& workspace) {
    TDocument* document = workspace.ActiveDocument();
    TGIFImage& image = workspace.WorkingImage();
    if (!document || !IsAnimation(image)) {
        workspace.Prompter().Beep();
        return false;
    }
    document->PushCommand(ckActiveAnimation, 8, -1, -1, 0, "Reverse Frame Order");
    const int selected = workspace.Frames().Selected();
    {
        TBusyCursor busy(workspace.Prompter());
        workspace.Frames().Clear();
        // Non-empty frames from the last to the first, then the empty ones in their order.
        std::vector<std::unique_ptr<TGIFItem>> frames;
        while (image.FrameCount() > 0) frames.push_back(image.Images().Detach(image.Frame(0)));
        for (auto it = frames.rbegin(); it != frames.rend(); ++it)
            if (!static_cast<TGIFSubImage*>(it->get())->IsBlank()) image.Images().Append(std::move(*it));
        for (auto& frame : frames)
            if (frame) image.Images().Append(std::move(frame));
        NormaliseAnimation(image, true, workspace.Defaults());
    }
    RebuildList(workspace, selected);
    document->SetModified(true);
    ShowSelected(workspace);
    return true;
}

bool ApplyLoopChoice(TWorkspace& workspace, const TLoopChoice& choice) {
    TDocument* document = workspace.ActiveDocument();
    TGIFImage& image = workspace.WorkingImage();
    if (!document || image.FrameCount() == 0) return false;
    const int current = choice.CurrentPlayCount;
    const QString caption = "Change Animation Loop";
    if (choice.Infinite) {
        if (current == 0) return false;
        if (current == 1) {
            document->PushCommand(ckLoop, 1, -1, -1, 0, caption);
            AddLoopExtension(image, 0, 0);
        } else {
            document->PushCommand(ckLoop, 3, -1, -1, 0, caption);
            SetPlayCount(image, 0);
        }
    } else {
        const int n = choice.PlayCount;
        if (n == current) return false;
        if (n == 1) {
            TGIFAppExtNSLoop* loop = FindLoopExtension(*image.Frame(0));
            if (!loop) return false;
            document->PushCommand(ckLoop, 2, -1, -1, 0, caption);
            image.Frame(0)->Blocks().DeleteAt(image.Frame(0)->Blocks().IndexOf(loop));
        } else if (current == 1) {
            // The looping block is added first: the command remembers the frame without one.
            document->PushCommand(ckLoop, 1, -1, -1, 0, caption);
            AddLoopExtension(image, 0, n);
        } else {
            document->PushCommand(ckLoop, 3, -1, -1, 0, caption);
            SetPlayCount(image, n);
        }
    }
    document->SetModified(true);
    return true;
}

bool ApplyGlobalChange(TWorkspace& workspace, const TGlobalChange& change) {
    TDocument* document = workspace.ActiveDocument();
    TGIFImage& image = workspace.WorkingImage();
    if (!document || !change.AnyFieldSet || image.FrameCount() == 0) return false;
    document->PushCommand(ckActiveAnimation, 8, -1, -1, 0, "Global Properties Change");
    const auto apply = [](const TGlobalToggle& toggle) {
        return toggle.MakeCaption ? toggle.Checked : !toggle.Checked;
    };
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFSubImage& frame = *image.Frame(i);
        if (!change.XOffset.isEmpty() && IsNumeric(change.XOffset))
            frame.SetFrameLeft(change.XOffset.trimmed().toInt() & 0xFFFF);
        if (!change.YOffset.isEmpty() && IsNumeric(change.YOffset))
            frame.SetFrameTop(change.YOffset.trimmed().toInt() & 0xFFFF);
        if (change.Interlaced.Clicked) frame.SetInterlaced(apply(change.Interlaced));
        TGIFGraphicControlExtension* control = frame.ControlBlock();
        if (!control) continue;
        if (IsValidIntegerEntry(change.Delay, true)) control->SetDelayTime(uint16_t(change.Delay.trimmed().toInt()));
        if (change.Transparent.Clicked) {
            control->SetTransparentFlag(apply(change.Transparent));
            if (change.Transparent.MakeCaption && change.Transparent.Checked &&
                change.TransparentColor != clNone && frame.EffectiveTable().EntryCount() > 0)
                control->SetTransparentColorValue(change.TransparentColor);
        }
        if (change.LocalPalette.Clicked) {
            // The transparent index follows its colour into the new table.
            const bool hasColours = frame.EffectiveTable().EntryCount() > 0;
            const TColor transparent = hasColours ? control->TransparentColorValue() : clNone;
            if (apply(change.LocalPalette)) {
                if (image.GlobalColorMap().EntryCount() > 0 && frame.LocalTable().EntryCount() == 0) {
                    frame.LocalTable().CopyFrom(image.GlobalColorMap());
                    frame.LocalTable().SortByUse();
                }
            } else {
                frame.LocalTable().RemoveAll();
                frame.LocalTable().NotifyChanged();
            }
            if (transparent != clNone && frame.EffectiveTable().EntryCount() > 0)
                control->SetTransparentColorValue(transparent);
        }
        if (change.Disposal >= 0) control->SetDisposalCode(uint8_t(change.Disposal));
        frame.DropBitmap();
    }
    document->SetModified(true);
    workspace.Host().RepaintFrameList();
    ShowSelected(workspace);
    return true;
}

bool PasteComments(TWorkspace& workspace, const QString& text) {
    TDocument* document = workspace.ActiveDocument();
    TGIFImage& image = workspace.WorkingImage();
    if (!document || image.FrameCount() == 0) {
        workspace.Prompter().Message(TMessageKind::Warning,
                                     "Unable to create a GIF Comment from the clipboard text.");
        return false;
    }
    TGIFSubImage& first = *image.Frame(0);
    const int index = first.Blocks().ItemCount();
    document->PushCommand(ckComment, 1, -1, index, 0, "Add GIF Comment");
    AddComment(first, text.left(255));
    document->SetModified(true);
    ShowSelected(workspace);
    return true;
}

bool OptimizeAnimation(TWorkspace& workspace) {
    TDocument* document = workspace.ActiveDocument();
    TGIFImage& image = workspace.WorkingImage();
    if (!document || image.Empty()) return false;
    NormaliseAnimation(image, true, workspace.Defaults());
    document->PushCommand(ckActiveAnimation, 8, -1, -1, 0, "GIF Optimization");
    {
        TBusyCursor busy(workspace.Prompter());
        image.Optimize(optTrim | optDuplicatePixels | optCleanup | optSortPalettes);
        image.OptimizeColorMaps();
    }
    RebuildList(workspace, workspace.Frames().Selected());
    document->SetModified(true);
    workspace.Host().RepaintFrameList();
    ShowSelected(workspace);
    return true;
}

} // namespace editor
