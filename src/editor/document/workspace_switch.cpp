// The switching protocol: a document that becomes active gets the working image (from its
// backing file, or from its real file while it has none) through a posted load event; a
// document that stops being active writes the working image to its backing file when its
// history moved since the last write.
#include "editor/core/format.h"
#include "editor/core/frame_list.h"
#include "editor/core/gif_files.h"
#include "editor/core/prompter.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "gif/model/image.h"

#include <QFileInfo>

namespace editor {

void TWorkspace::DocumentActivated(TDocument& document) {
    if (!Contains(&document)) return;
    // The window system has activated another window: the working image stays with the
    // active document (the window takes it back to the front).
    if (active_ && active_ != &document && !CanLeaveActive()) return;
    host_.PausePlayback();
    if (active_ && active_ != &document) DocumentDeactivated(*active_);
    active_ = &document;
    if (!document.Loaded) host_.PostLoadEvent(document);
    document.UpdateUndoState();
}

void TWorkspace::LoadDocument(TDocument& document) {
    // Only the active document may take the working image: a load event that arrives after
    // the user moved on to another document is stale.
    if (!Contains(&document) || active_ != &document || document.Loaded) return;
    const QString path =
        document.TempFileName().isEmpty() ? document.FileName() : document.TempFileName();
    if (!ReloadWorkingImage(path)) return; // the document was closed
    actions_.SetEnabled(TActionId::FileSaveAll, AnyDocumentModified());
    document.Loaded = true;
}

void TWorkspace::DocumentDeactivated(TDocument& document) {
    if (!Contains(&document)) return;
    if (document.Loaded) {
        // A stale backing file (after an undo) is brought up to date; one that cannot be
        // written leaves the edits in memory, and the caller's CanLeaveActive stops the switch.
        if (document.History().Count() != document.SyncedCount &&
            (!document.TempFileName().isEmpty() || document.KeptInMemory()))
            document.WriteBackingFile();
        host_.DocumentDeactivated(document);
    }
    // With a single document the working image stays valid.
    if (DocumentCount() > 1) document.Loaded = false;
}

bool TWorkspace::CanLeaveActive() {
    if (!active_ || !active_->Loaded || !active_->KeptInMemory()) return true;
    QString reason;
    if (active_->TryWriteBacking(reason)) return true;
    prompter_.Message(TMessageKind::Warning, Format(msg::SaveBeforeSwitching, active_->ShortName()));
    return false;
}

void TWorkspace::BringDocumentForward(TDocument& document) {
    if (!Contains(&document)) return;
    if (active_ && active_ != &document && !CanLeaveActive()) return;
    if (active_ && active_ != &document) DocumentDeactivated(*active_);
    host_.BringToFront(document);
    if (active_ != &document) DocumentActivated(document);
    host_.DispatchPendingLoad(document);
}

bool TWorkspace::ReloadWorkingImage(const QString& path) {
    if (!active_) return false;
    TDocument& document = *active_;
    host_.DocumentChanged(document);
    frames_.Clear();
    ClearWorkingImage();
    const bool loaded = LoadGifFile(prompter_, *image_, path);
    if (!loaded || image_->Empty()) {
        prompter_.Message(TMessageKind::Warning,
                          Format(msg::MovedOrCannotOpen, path, image_->Empty() ? "Yes" : "No",
                                 loaded ? "No" : "Yes"));
        CloseDocumentNow(document);
        return false;
    }
    for (int i = 0; i < image_->FrameCount(); ++i)
        if (!image_->Frame(i)->IsBlank()) frames_.AddItem();
    const int selected = std::clamp(document.SelectedFrame, 0, std::max(0, frames_.Count() - 1));
    frames_.Select(selected);
    DisplayFrame(selected);
    return true;
}

} // namespace editor
