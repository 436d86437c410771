#include "automation/model/active_document.h"

#include "automation/model/frames.h"
#include "automation/model/pictures.h"
#include "editor/core/animation_routines.h"
#include "editor/core/format.h"
#include "editor/core/frame_list.h"
#include "editor/core/gif_files.h"
#include "editor/document/document.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/workspace.h"
#include "editor/frames/frame_commands.h"
#include "editor/undo/command.h"
#include "editor/window/main_window.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/application_extension.h"
#include "gif/model/image.h"

#include <QAction>
#include <QFileInfo>
#include <QTabBar>
#include <algorithm>

namespace automation {

using editor::TDocument;

namespace {

// The export menu's item that the video export fills in; null when the window has none.
QAction* AviExportItem(editor::TfrmMain& window) {
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == "As &AVI Animation...") return action;
    return nullptr;
}

} // namespace

TResult<bool> TActiveDocument::CanUndo() {
    return Trap([&] {
        TDocument* document = context_->Active();
        if (!document) return false;
        document->UpdateUndoState();
        return document->History().Count() > 0;
    });
}

TResult<bool> TActiveDocument::CanRedo() { return {false}; }

TResult<TNone> TActiveDocument::Undo() {
    return Trap([&] {
        if (TDocument* document = context_->Active()) document->UndoLast();
    });
}

TResult<TNone> TActiveDocument::Redo() { return {}; }

TResult<QString> TActiveDocument::FileName() {
    return Trap([&] {
        TDocument* document = context_->Active();
        return document ? document->FileName() : QString();
    });
}

TResult<bool> TActiveDocument::Modified() {
    return Trap([&] {
        TDocument* document = context_->Active();
        return document && document->Modified();
    });
}

TResult<TNone> TActiveDocument::SetModified(bool value) {
    return Trap([&] {
        if (TDocument* document = context_->Active()) document->SetModified(value);
    });
}

TResult<bool> TActiveDocument::ReadOnly() {
    return Trap([&] {
        TDocument* document = context_->Active();
        return document && document->ReadOnly;
    });
}

TResult<TNone> TActiveDocument::SetReadOnly(bool value) {
    return Trap([&] {
        if (TDocument* document = context_->Active()) document->ReadOnly = value;
    });
}

TResult<TPicture> TActiveDocument::CurrentBitmap() {
    return Trap([&] {
        TDocument* document = context_->Active();
        if (!document) throw EAutomationError("There is no active document.");
        const auto& bitmap = document->Shown.Bitmap;
        return bitmap ? PictureFromBitmap(*bitmap) : TPicture();
    });
}

TResult<int> TActiveDocument::TabIndex() {
    return Trap([&] {
        if (!context_->Active()) return -1;
        return context_->Window.Tabs()->currentIndex();
    });
}

TResult<int> TActiveDocument::SelectedFrame() {
    return Trap([&] {
        TDocument* document = context_->Active();
        return document ? document->SelectedFrame : -1;
    });
}

TResult<TNone> TActiveDocument::SetSelectedFrame(int index) {
    return Trap([&] {
        TDocument* document = context_->Active();
        editor::TWorkspace& workspace = context_->Workspace();
        // An index the frame list cannot select leaves everything as it was.
        if (!document || index < 0 || index >= workspace.Frames().Count() ||
            index >= context_->Image().FrameCount())
            return;
        workspace.DisplayFrame(index);
        if (!workspace.Contains(document)) return;
        workspace.Frames().Select(index);
        document->SelectedFrame = index;
    });
}

TResult<bool> TActiveDocument::Optimized() { return {false}; }

TResult<TNone> TActiveDocument::Clear() { return {}; }

TResult<bool> TActiveDocument::Close(bool) {
    return Trap([&] {
        context_->Window.FileCloseExecute();
        return true;
    });
}

TResult<TNone> TActiveDocument::Print(bool, bool) { return {}; }

TResult<TNone> TActiveDocument::Reload(bool) { return {}; }

TResult<bool> TActiveDocument::Save() {
    return Trap([&] {
        TDocument* document = context_->Active();
        if (!document) return false;
        return document->SaveQuery(false, QFileInfo::exists(document->FileName()));
    });
}

TResult<TNone> TActiveDocument::PlayAnimation() {
    return Trap([&] {
        if (context_->Active()) context_->Window.AnimationPlayExecute();
    });
}

TResult<TNone> TActiveDocument::StopAnimation() {
    return Trap([&] {
        if (context_->Active()) context_->Window.AnimationPauseExecute();
    });
}

TResult<int> TActiveDocument::AddFrame(const TPicture& Image, int) {
    return Trap([&] {
        gif::TBitmap bitmap;
        if (!BitmapFromPicture(Image, bitmap)) return -1;
        editor::TWorkspace& workspace = context_->Workspace();
        editor::AddFrameFromBitmap(workspace, bitmap, workspace.Frames().Selected(), "Add Frame");
        return workspace.Frames().Selected();
    });
}

TResult<TNone> TActiveDocument::InsertFrame(int, const TPicture&) { return {}; }

TResult<TNone> TActiveDocument::DeleteFrame(int nIndex) {
    return Trap([&] {
        // An index outside the animation would leave a stray entry in the undo history.
        if (!context_->Active() || nIndex < 0 || nIndex >= context_->Image().FrameCount()) return;
        editor::DeleteFrame(context_->Workspace(), nIndex);
    });
}

TResult<bool> TActiveDocument::ExportToAVI() {
    return Trap([&] {
        QAction* item = AviExportItem(context_->Window);
        if (!item || item->property("unavailable").isValid()) throw EAutomationError(NotAvailable);
        item->trigger();
        return true;
    });
}

TResult<bool> TActiveDocument::ImportFromAVI(const QString& wsFile) {
    return Trap([&] {
        editor::TWorkspace& workspace = context_->Workspace();
        if (!workspace.AviImport) throw EAutomationError(NotAvailable);
        const int before = workspace.DocumentCount();
        workspace.AviImport(wsFile);
        return workspace.DocumentCount() > before;
    });
}

TResult<QString> TActiveDocument::HTMLCode(const QString& wsURL, const QString& wsHint, int nBorder) {
    return Trap([&] {
        if (!context_->Active()) return QString();
        const gif::TGIFImage& image = context_->Image();
        return editor::Format(HtmlCodeTemplate, wsURL, wsHint, image.Height(), image.Width(), nBorder);
    });
}

TResult<std::shared_ptr<IFrames>> TActiveDocument::Frames() {
    return Trap([&]() -> std::shared_ptr<IFrames> {
        if (!frames_) frames_ = std::make_shared<TGIFFrames>(context_);
        return frames_;
    });
}

TResult<int> TActiveDocument::NSLoop() {
    return Trap([&] {
        const gif::TGIFImage& image = context_->Image();
        if (!context_->Active() || image.FrameCount() == 0) return 1;
        const gif::TGIFAppExtNSLoop* loop = editor::FindLoopExtension(*image.Frame(0));
        if (!loop) return 1;
        const int stored = loop->LoopCount;
        return stored == 0 || stored == 65535 ? 0 : stored + 1;
    });
}

TResult<TNone> TActiveDocument::SetNSLoop(int n) {
    return Trap([&] {
        TDocument* document = context_->Active();
        gif::TGIFImage& image = context_->Image();
        // A play count is 0 (for ever) or 1 to 65536 plays; others have no stored form.
        if (!document || n < 0 || n >= 65536 || image.FrameCount() == 0) return;
        gif::TGIFSubImage& first = *image.Frame(0);
        gif::TGIFAppExtNSLoop* loop = editor::FindLoopExtension(first);
        const QString caption = "Change Animation Loop";
        if (!loop) {
            if (n == 1) return;
            document->PushCommand(editor::ckLoop, 1, -1, -1, 0, caption);
            editor::AddLoopExtension(image, 0, n);
        } else if (n == 1) {
            document->PushCommand(editor::ckLoop, 2, -1, -1, 0, caption);
            first.Blocks().DeleteAt(first.Blocks().IndexOf(loop));
        } else {
            document->PushCommand(editor::ckLoop, 3, -1, -1, 0, caption);
            loop->LoopCount = editor::StoredLoopCount(n);
        }
        document->SetModified(true);
    });
}

TResult<TNone> TActiveDocument::Optimize() { return {}; }

TResult<bool> TActiveDocument::AddFrameNoPrompts(const TPicture& Image, int nDelay) {
    return Trap([&] {
        gif::TBitmap bitmap;
        if (!BitmapFromPicture(Image, bitmap)) return false;
        // The delay is a 16-bit field: other values would wrap around.
        return editor::AddFrameAfterSelection(context_->Workspace(), bitmap,
                                              std::clamp(nDelay, 0, 65535));
    });
}

TResult<bool> TActiveDocument::SaveDocToTempFile(const QString& wsFileName) {
    return Trap([&] {
        editor::TWorkspace& workspace = context_->Workspace();
        if (!context_->Active()) return false;
        return editor::SaveGifFile(workspace.Prompter(), context_->Image(), wsFileName, false, true,
                                   workspace.Defaults());
    });
}

} // namespace automation
