#include "inspector_link.h"

#include "dialogs/inspector/frame_inspector.h"
#include "editor/core/frame_list.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/window/main_window.h"

TInspectorLink::TInspectorLink(editor::TfrmMain& window, editor::Settings& settings)
    : window_(window),
      inspector_(std::make_unique<dialogs::TfrmFloat>(window.Workspace().WorkingImage(),
                                                      window.Prompter(), settings, &window)) {
    inspector_->LoadPlacement(window.frameGeometry(), window.FrameListArea());
    // Its frame selector mirrors the frame list.
    inspector_->OnFrameSelected = [this](int index) {
        editor::IFrameList& frames = window_.Workspace().Frames();
        frames.Select(index);
        frames.ShowFrame(index);
    };
    inspector_->OnActivated = [this] { window_.PausePlayback(); };
    // Its own close box hides it and releases the toolbar button.
    QObject::connect(inspector_.get(), &dialogs::TfrmFloat::Hidden, &window,
                     [this] { window_.SetInspectorVisible(false); });
    window.SetInspector(this);
}

TInspectorLink::~TInspectorLink() {
    window_.SetInspector(nullptr);
    inspector_->SavePlacement(visible_);
}

void TInspectorLink::ShowFrame(int index) {
    inspector_->ShowFrame(index);
}

void TInspectorLink::Clear() {
    inspector_->ClearInspector();
}

void TInspectorLink::SetPanelVisible(bool visible) {
    visible_ = visible;
    inspector_->setVisible(visible);
}

void TInspectorLink::SetActiveDocument(editor::TDocument* document) {
    document_ = document;
    inspector_->SetDocument(document ? this : nullptr);
}

int TInspectorLink::SelectedRow() const {
    return inspector_->SelectedRow();
}

void TInspectorLink::SelectRow(int row) {
    inspector_->SelectRow(row);
}

QString TInspectorLink::ShortName() const {
    return document_ ? document_->ShortName() : QString();
}

void TInspectorLink::PushCommand(int kind, int subKind, int arg1, int arg2, int frameIndex,
                                 const QString& caption) {
    if (document_) document_->PushCommand(kind, subKind, arg1, arg2, frameIndex, caption);
}

void TInspectorLink::SetModified(bool value) {
    if (!document_) return;
    document_->SetModified(value);
    // Transparency, offsets and colours show in the thumbnails too.
    window_.RepaintFrameList();
}

void TInspectorLink::DisplayFrame(int index) {
    if (document_) window_.Workspace().DisplayFrame(index);
}

void TInspectorLink::SetSelectedFrame(int index) {
    if (document_) document_->SelectedFrame = index;
}

void TInspectorLink::ReloadFromBackingFile() {
    if (document_) document_->ReloadWorkingImage(document_->TempFileName());
}
