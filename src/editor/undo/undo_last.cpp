#include "editor/undo/undo_last.h"

#include <QFileInfo>
#include <algorithm>

#include "editor/core/frame_list.h"
#include "editor/core/messages.h"
#include "editor/undo/history.h"
#include "gif/model/image.h"

namespace editor {

int InspectorRowForCaption(const QString& caption) {
    for (int row = 0; row < 12; ++row)
        if (caption.contains(msg::InspectorRows[row])) return row;
    return -1;
}

namespace {

int NonEmptyFrames(const gif::TGIFImage& image) {
    int count = 0;
    for (int i = 0; i < image.FrameCount(); ++i) count += !image.Frame(i)->IsBlank();
    return count;
}

// After a whole-animation undo the list may no longer match the frames (an undone
// optimisation that had removed frames): rebuild it then.
void RebuildListIfNeeded(TEditContext& context) {
    const int frames = NonEmptyFrames(context.Image);
    if (context.Frames.Count() == frames) return;
    const int selected = context.Frames.Selected();
    context.Frames.Clear();
    for (int i = 0; i < frames; ++i) context.Frames.AddItem();
    if (frames > 0) context.Frames.Select(std::clamp(selected, 0, frames - 1));
}

} // namespace

void UndoLast(TEditContext& context, THistoryList& history, IUndoDocument& document) {
    if (history.Count() == 0) return;
    const int frameIndex = history.TopFrameIndex();
    const QString caption = history.TopCaption();
    const int currentRow = document.InspectorRow();

    history.UndoNewest(context);

    const int row = InspectorRowForCaption(caption);
    document.SelectInspectorRow(row >= 0 ? row : currentRow);

    if (history.Count() > 0) {
        // The backing file takes the undone state at once, as after any edit: a switch of
        // documents or a crash must not bring the reversed edit back.
        document.MarkBackingStale();
        document.WriteBackingFile();
        RebuildListIfNeeded(context);
        const int shown = frameIndex >= 0 && frameIndex < context.Frames.Count() ? frameIndex : 0;
        if (context.Frames.Count() > 0) context.Frames.ShowFrame(shown);
    } else if (!document.IsUntitled()) {
        // Back to the state on disk: the real file replaces the undone animation.
        document.SetModified(false);
        document.DeleteTempFile();
        if (QFileInfo::exists(document.FileName())) {
            document.SetSelectedFrame(0);
            document.ReloadWorkingImage(document.FileName());
        }
    } else {
        RebuildListIfNeeded(context);
        if (context.Frames.Count() > 0)
            context.Frames.ShowFrame(std::clamp(frameIndex, 0, context.Frames.Count() - 1));
    }

    if (caption == "Change Global Palette" && history.Count() > 0) {
        // Frame pictures take the restored colours only through a reload.
        if (!document.TempFileName().isEmpty() && document.WriteBackingFile())
            document.ReloadWorkingImage(document.TempFileName());
        else
            document.ReloadWorkingImage(document.FileName());
    }

    document.UpdateUndoState();
    document.RepaintFrameList();
    if (context.Image.FrameCount() == 0) document.CloseNow();
}

} // namespace editor
