// Opening GIF files as documents, other files by their kind, and pictures as frames or as
// new animations.
#include "editor/core/file_access.h"
#include "editor/core/file_kinds.h"
#include "editor/core/format.h"
#include "editor/core/frame_list.h"
#include "editor/core/frame_moves.h"
#include "editor/core/gif_files.h"
#include "editor/core/messages.h"
#include "editor/core/prompter.h"
#include "editor/core/read_damage.h"
#include "editor/document/avi_files.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/picture_files.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

#include <QFileInfo>

namespace editor {

bool TWorkspace::OpenGifDocument(const QString& path) {
    host_.HideStartupAnimation();
    image_->OnProgress = nullptr;
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    const int tab = TabIndexOf(fullPath);
    if (tab >= 0) {
        prompter_.Beep();
        BringDocumentForward(*documents_[tab]);
        return false;
    }
    if (!CanLeaveActive()) return false;
    if (active_) DocumentDeactivated(*active_);
    ClearWorkingImage();
    int damage = 0;
    {
        TReadDamageWatch watch(*image_);
        const bool loaded = LoadGifFile(prompter_, *image_, fullPath);
        damage = watch.DamageWarnings();
        if (!loaded || !PopulateFrames(fullPath)) {
            RestoreActiveDocument();
            return false;
        }
    }
    if (damage > 0 && active_) {
        // Said once, in the document's status bar; a save over the file asks first.
        active_->DamagedFrames = frames_.Count();
        active_->DamagedPath = fullPath;
        host_.DocumentChanged(*active_);
    }
    recentFiles_.Add(fullPath);
    return true;
}

void TWorkspace::RestoreActiveDocument() {
    frames_.Clear();
    ClearWorkingImage();
    if (!active_) return;
    // Its backing file (or real file) was brought up to date before the failed load.
    TDocument& document = *active_;
    document.Loaded = false;
    LoadDocument(document);
}

bool TWorkspace::PopulateFrames(const QString& path) {
    frames_.Clear();
    int shown = 0;
    for (int i = 0; i < image_->FrameCount(); ++i)
        if (!image_->Frame(i)->IsBlank()) ++shown;
    // Without a first frame, or with no frame to show at all, there is nothing to edit.
    const bool decodable = image_->FrameCount() < 2
                               ? image_->FrameCount() == 1 && !image_->Frame(0)->IsBlank()
                               : shown > 0;
    if (!decodable) {
        prompter_.Message(TMessageKind::Warning, Format(msg::UnableToDecode, path));
        const int recent = recentFiles_.IndexOf(path);
        if (recent >= 0) recentFiles_.Remove(recent);
        return false;
    }
    if (image_->FrameCount() < 2) {
        frames_.AddItem();
    } else {
        host_.ShowProgress(image_->FrameCount() - 1);
        // Empty frames go to the end, so that list item i shows frame i; the looping block
        // stays on the first frame.
        for (int i = image_->FrameCount() - 1; i >= 0; --i)
            if (image_->Frame(i)->IsBlank() && i != image_->FrameCount() - 1)
                MoveFrameInImage(context_, i, image_->FrameCount() - 1);
        for (int i = 0; i < shown; ++i) {
            frames_.AddItem();
            host_.StepProgress();
        }
        host_.HideProgress();
    }
    frames_.Select(0);
    CreateDocument(path);
    DisplayFrame(0);
    return true;
}

void TWorkspace::OpenRecentFile(int index) {
    const QString path = recentFiles_.PathAt(index);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path)) {
        OpenGifDocument(path);
        return;
    }
    prompter_.Message(TMessageKind::Warning, Format(msg::RecentFileGone, path));
    recentFiles_.Remove(index);
}

void TWorkspace::OpenFileByType(const QString& path) {
    // A folder, whatever its name, is not a file of any kind.
    if (QFileInfo(path).isDir()) {
        prompter_.Message(TMessageKind::Warning, LoadFailureText(path, ReadFailure(path)));
        return;
    }
    const int kind = FileKind(path);
    if (kind == fkGif)
        OpenGifDocument(path);
    else if (IsPictureKind(kind))
        ImportImageFile(path, kind);
    else if (kind == fkAvi || IsVideoFile(path)) {
        // The import replaces the working image: not over edits kept in memory only.
        if (CanLeaveActive()) ImportAviDocument(*this, path);
    }
    else
        prompter_.Message(TMessageKind::Warning,
                          Format(msg::LoadError, QFileInfo(path).fileName()));
}

void TWorkspace::ImportImageFile(const QString& path, int kind) {
    host_.HideStartupAnimation();
    gif::TBitmap bitmap;
    const int loaded = LoadPictureFile(*this, path, bitmap, kind);
    if (loaded != 0) return;
    if (!DropOnMainWindow) {
        const int selected = frames_.Selected();
        AddFrameFromBitmap(*this, bitmap, selected < 0 ? 0 : selected, "Add Frame");
        return;
    }
    // A new animation: the active one goes to its backing file first.
    if (!CanLeaveActive()) return;
    if (active_ && active_->Modified()) {
        active_->Loaded = true;
        DocumentDeactivated(*active_);
    }
    ClearWorkingImage();
    frames_.Clear();
    if (InsertBitmapFrame(*this, bitmap, 0) < 0) {
        RestoreActiveDocument();
        return;
    }
    frames_.AddItem();
    TDocument* document = active_;
    if (!document) return;
    document->PushCommand(ckFrame, 1, -1, -1, 0, "Drag and Drop Image");
    document->SetModified(true);
    if (!Contains(document)) return;
    frames_.Select(0);
    DisplayFrame(0);
}

} // namespace editor
