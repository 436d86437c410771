#include "editor/document/workspace.h"

#include "editor/core/format.h"
#include "editor/core/frame_list.h"
#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/workspace_host.h"
#include "gif/model/image.h"

#include <QFileInfo>
#include <algorithm>

namespace editor {

TWorkspace::TWorkspace(IPrompter& prompter, Settings& settings, IFrameList& frames,
                       IWorkspaceHost& host)
    : prompter_(prompter), settings_(settings), frames_(frames), host_(host),
      image_(std::make_unique<gif::TGIFImage>()), context_{*image_, frames, prompter, settings, {}},
      storedPrompts_(std::make_unique<TStoredFramePrompts>(settings)),
      framePrompts_(storedPrompts_.get()) {
    BackingFolders = TempFolderCandidates;
}

TWorkspace::~TWorkspace() {
    // Documents go first: their backing files and histories refer to the working image.
    active_ = nullptr;
    documents_.clear();
    retired_.clear();
}

void TWorkspace::SetFramePrompts(IFramePrompts* prompts) {
    framePrompts_ = prompts ? prompts : storedPrompts_.get();
}

TAnimationDefaults TWorkspace::Defaults() const {
    return {settings_.Value(keys::DefaultDelay), settings_.Value(keys::DefaultNSLoop)};
}

void TWorkspace::KeepUnsavedForRecovery() {
    for (const std::unique_ptr<TDocument>& document : documents_) document->KeepForRecovery();
}

bool TWorkspace::Contains(const TDocument* document) const {
    return std::any_of(documents_.begin(), documents_.end(),
                       [document](const auto& d) { return d.get() == document; });
}

int TWorkspace::TabIndexOf(const QString& path) const {
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (int i = 0; i < DocumentCount(); ++i)
        if (documents_[i]->FileName() == path || documents_[i]->FileName() == wanted) return i;
    return -1;
}

bool TWorkspace::AnyDocumentModified() const {
    return std::any_of(documents_.begin(), documents_.end(),
                       [](const auto& d) { return d->Modified(); });
}

TDocument& TWorkspace::CreateDocument(const QString& path) {
    FreeRetiredDocuments();
    // The working image is about to hold the new document's animation.
    if (active_) active_->Loaded = false;
    auto document = std::make_unique<TDocument>(*this, path, false);
    document->SetMaxUndo(settings_.Value(keys::MaxUndo));
    TDocument& created = *document;
    documents_.push_back(std::move(document));
    host_.CreateDocumentWindow(created);
    // A window system that activates later (a main window not shown yet) still gets the
    // new document as the active one now.
    if (active_ != &created) DocumentActivated(created);
    return created;
}

TDocument& TWorkspace::CreateUntitledDocument() {
    FreeRetiredDocuments();
    if (active_) active_->Loaded = false;
    auto document =
        std::make_unique<TDocument>(*this, Format(msg::UntitledName, untitledCounter_++), true);
    document->SetMaxUndo(settings_.Value(keys::MaxUndo));
    // Its animation arrives through its backing file, loaded after activation.
    document->Loaded = false;
    TDocument& created = *document;
    documents_.push_back(std::move(document));
    host_.CreateDocumentWindow(created);
    if (active_ != &created) DocumentActivated(created);
    return created;
}

bool TWorkspace::DocumentCloseQuery(TDocument& document) {
    if (!Contains(&document)) return true;
    // A save writes the working image: it must hold this document's animation.
    if (document.Modified() && (active_ != &document || !document.Loaded))
        BringDocumentForward(document);
    return document.SaveQuery(false, false);
}

bool TWorkspace::CloseQueryAll() {
    std::vector<TDocument*> documents;
    for (const auto& document : documents_)
        documents.push_back(document.get());
    for (TDocument* document : documents)
        if (Contains(document) && !DocumentCloseQuery(*document)) return false;
    return true;
}

void TWorkspace::DocumentClosed(TDocument& document) {
    if (!Contains(&document)) return;
    host_.StopPlayback(true);
    const bool last = DocumentCount() == 1;
    RemoveDocument(document);
    if (last) {
        ResetMainWindow();
        host_.StartResetTimer();
    }
}

void TWorkspace::CloseDocumentNow(TDocument& document) {
    if (!Contains(&document)) return;
    document.SetModified(false);
    const bool last = DocumentCount() == 1;
    RemoveDocument(document);
    host_.DestroyDocumentWindow(document);
    // Without documents the window goes back to its empty state, as after a close.
    if (last) {
        ResetMainWindow();
        host_.StartResetTimer();
    }
}

void TWorkspace::RemoveDocument(TDocument& document) {
    auto it = std::find_if(documents_.begin(), documents_.end(),
                           [&document](const auto& d) { return d.get() == &document; });
    document.Retire();
    retired_.push_back(std::move(*it));
    documents_.erase(it);
    if (active_ == &document) active_ = nullptr;
    if (documents_.empty()) {
        actions_.SetEnabled(TActionId::EditUndo, false);
        actions_.SetCaption(TActionId::EditUndo, Format("&Undo %s", QString()));
    }
}

void TWorkspace::FreeRetiredDocuments() {
    retired_.clear();
}

void TWorkspace::ResetMainWindow() {
    host_.ResetWindow();
    host_.InspectorClear();
    frames_.Clear();
    ClearWorkingImage();
    actions_.EnableDocumentActions(false);
    actions_.DisableFrameActions();
}

void TWorkspace::TimerElapsed() {
    actions_.SetEnabled(TActionId::FileSave, DocumentCount() > 0);
    actions_.SetEnabled(TActionId::FileSaveAll, DocumentCount() > 0);
}

void TWorkspace::ClearWorkingImage() {
    image_->ResetImage();
}

void TWorkspace::PlaybackStarted() {
    using A = TActionId;
    actions_.EnableDocumentActions(false);
    // Undo too: it would change the animation that plays.
    for (A id : {A::EditUndo, A::EditPaste, A::FrameAdd, A::FrameDelete, A::FrameMoveBegin,
                 A::FrameMoveEnd, A::FrameMoveUp, A::FrameMoveDown, A::FileNew, A::FileOpen})
        actions_.SetEnabled(id, false);
    actions_.SetEnabled(A::AnimationPause, true);
}

void TWorkspace::PlaybackStopped() {
    using A = TActionId;
    actions_.EnableDocumentActions(true);
    actions_.SetEnabled(A::EditPaste, host_.CanPaste());
    actions_.SetEnabled(A::FrameAdd, true);
    actions_.EnableFrameActions(frames_.Selected(), frames_.Count());
    actions_.SetEnabled(A::FileNew, true);
    actions_.SetEnabled(A::FileOpen, true);
    actions_.SetEnabled(A::AnimationPause, false);
    actions_.SetEnabled(A::EditUndo, active_ && active_->History().Count() > 0);
}

} // namespace editor
