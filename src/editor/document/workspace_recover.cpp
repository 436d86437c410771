// Recovery after a crash: a backing file left by an editor that no longer runs opens again
// as a modified document, and this editor takes the file over.
#include "editor/core/frame_list.h"
#include "editor/core/gif_files.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "gif/model/image.h"

#include <QFileInfo>

namespace editor {

bool TWorkspace::RecoverDocument(const QString& backing, const QString& fileName, bool untitled) {
    if (!CanLeaveActive()) return false;
    host_.HideStartupAnimation();
    if (!untitled) {
        // The same file opened unchanged (named on the command line) gives way to its
        // recovered changes; one with changes of its own keeps them.
        const int tab = TabIndexOf(fileName);
        if (tab >= 0) {
            if (documents_[size_t(tab)]->Modified()) return false;
            CloseDocumentNow(*documents_[size_t(tab)]);
        }
    }
    if (active_) DocumentDeactivated(*active_);
    ClearWorkingImage();
    frames_.Clear();
    if (!LoadGifFile(prompter_, *image_, backing) || image_->Empty()) {
        RestoreActiveDocument();
        return false;
    }
    // Backing files are written by the editor: their empty frames are already at the end.
    for (int i = 0; i < image_->FrameCount(); ++i)
        if (!image_->Frame(i)->IsBlank()) frames_.AddItem();
    if (frames_.Count() == 0) {
        RestoreActiveDocument();
        return false;
    }
    TDocument& document =
        untitled ? CreateUntitledDocument() : CreateDocument(QFileInfo(fileName).absoluteFilePath());
    // The working image holds its animation already: the load event it posted is stale.
    document.Loaded = true;
    document.AdoptBackingFile(backing);
    document.SetModified(true);
    if (!Contains(&document)) return false;
    frames_.Select(0);
    DisplayFrame(0);
    return true;
}

} // namespace editor
