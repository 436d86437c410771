#include "editor/document/document.h"

#include "editor/core/ask.h"
#include "editor/core/format.h"
#include "editor/core/gif_files.h"
#include "editor/core/messages.h"
#include "editor/core/prompter.h"
#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/document/document_messages.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "gif/model/image.h"

#include <QFileInfo>

namespace editor {

TDocument::TDocument(TWorkspace& workspace, const QString& fileName, bool untitled)
    : workspace_(workspace), fileName_(fileName), untitled_(untitled) {
    history_.SetLimit(maxUndo_);
}

TDocument::~TDocument() {
    DeleteFileIfNamed(tempFileName_);
    history_.Clear();
}

void TDocument::Retire() {
    DeleteFileIfNamed(tempFileName_);
    tempFileName_.clear();
    history_.Clear();
    Shown = {};
    retired_ = true;
}

QString TDocument::ShortName() const {
    return QFileInfo(fileName_).fileName();
}

void TDocument::SetMaxUndo(int n) {
    if (n == maxUndo_) return;
    history_.SetLimit(n);
    maxUndo_ = n;
}

void TDocument::SetModified(bool value) {
    if (retired_) return;
    if (value) {
        if (tempFileName_.isEmpty()) tempFileName_ = MakeTempFile(GetTempFolder());
        // Without a backing file this document's edits would be lost at the next switch:
        // it is closed like one whose backing file cannot be written.
        const QString backing = tempFileName_.isEmpty() ? GetTempFolder() : tempFileName_;
        if (tempFileName_.isEmpty() ||
            (!workspace_.WorkingImage().Empty() &&
             !SaveGifFile(workspace_.Prompter(), workspace_.WorkingImage(), backing, false, false,
                          workspace_.Defaults()))) {
            if (tempFileName_.isEmpty())
                workspace_.Prompter().Message(TMessageKind::Warning,
                                              Format(msg::SaveError, backing));
            workspace_.CloseDocumentNow(*this); // frees this document
            return;
        }
        SyncedCount = history_.Count();
    }
    modified_ = value;
    TActionStates& actions = workspace_.Actions();
    actions.SetEnabled(TActionId::FileSave, value);
    actions.SetEnabled(TActionId::FileSaveAll, workspace_.AnyDocumentModified());
    workspace_.Host().DocumentChanged(*this);
}

bool TDocument::AdoptAnimation(gif::TGIFImage& animation) {
    if (retired_) return false;
    if (tempFileName_.isEmpty()) tempFileName_ = MakeTempFile(GetTempFolder());
    if (tempFileName_.isEmpty()) {
        workspace_.Prompter().Message(TMessageKind::Warning, Format(msg::SaveError, GetTempFolder()));
        return false;
    }
    if (!SaveGifFile(workspace_.Prompter(), animation, tempFileName_, false, false,
                     workspace_.Defaults()))
        return false;
    SyncedCount = history_.Count();
    modified_ = true;
    TActionStates& actions = workspace_.Actions();
    actions.SetEnabled(TActionId::FileSave, true);
    actions.SetEnabled(TActionId::FileSaveAll, true);
    workspace_.Host().DocumentChanged(*this);
    return true;
}

bool TDocument::SaveQuery(bool saveAs, bool force) {
    if (retired_) return false;
    IPrompter& prompter = workspace_.Prompter();
    if (!force && modified_) {
        prompter.Beep();
        const int answer =
            prompter.Message(TMessageKind::Confirmation, Format(msg::SaveChanges, ShortName()),
                             TButtons::YesNoCancel);
        if (answer == mrCancel) return false;
        if (answer != mrYes) return true;
        force = true;
    }
    if (!force) return true;
    if (!saveAs && !untitled_) return WriteDocument();

    TFileQuestion question;
    question.Filter = msg::SaveFilter;
    question.InitialDir = workspace_.SaveDialogFolder;
    question.FileName = fileName_;
    question.DefaultSuffix = "gif";
    const QString chosen = prompter.AskSaveFileName(question);
    if (chosen.isEmpty()) return false;
    workspace_.SaveDialogFolder = QFileInfo(chosen).absolutePath();

    const QString oldName = fileName_;
    const bool oldUntitled = untitled_;
    SetFileName(chosen);
    if (WriteDocument()) return true;
    // The new name could not be written: the document keeps its old name and stays
    // modified, with a backing file holding the unsaved animation again.
    fileName_ = oldName;
    untitled_ = oldUntitled;
    SetModified(true);
    return false;
}

bool TDocument::WriteDocument() {
    if (retired_) return false;
    // Only the working image can be written: bring this document's animation into it.
    if (!Loaded || workspace_.ActiveDocument() != this) workspace_.BringDocumentForward(*this);
    const int answer = AskWithRemember(
        workspace_.Prompter(), workspace_.Config(), msg::CheckCompatibility, msg::DoNotAskAgain,
        keys::Compatibility.Name, TButtons::YesNo, TMessageKind::Information);
    fileName_ = QFileInfo(fileName_).absoluteFilePath();
    const bool saved = SaveGifFile(workspace_.Prompter(), workspace_.WorkingImage(), fileName_,
                                   answer == mrYes, true, workspace_.Defaults());
    if (saved) {
        untitled_ = false;
        history_.Clear(); // undo never crosses a save
        DeleteTempFile();
        SetModified(false);
    }
    UpdateUndoState();
    return saved;
}

void TDocument::SetFileName(const QString& path) {
    fileName_ = QFileInfo(path).absoluteFilePath();
    untitled_ = false;
    modified_ = false;
    DeleteTempFile();
    workspace_.Host().DocumentChanged(*this);
    UpdateUndoState();
}

void TDocument::PushCommand(int kind, int subKind, int arg1, int arg2, int frameIndex,
                            const QString& caption) {
    history_.Push(workspace_.Context(), kind, subKind, arg1, arg2, frameIndex, caption);
    UpdateUndoState();
    SyncedCount = history_.Count() + 1;
}

void TDocument::UpdateUndoState() {
    if (retired_) return;
    TActionStates& actions = workspace_.Actions();
    actions.SetEnabled(TActionId::EditUndo, history_.Count() > 0);
    actions.SetCaption(TActionId::EditUndo, Format("&Undo %s", history_.TopCaption()));
    actions.SetEnabled(TActionId::FileSave, modified_);
    actions.SetEnabled(TActionId::FileSaveAll, workspace_.AnyDocumentModified());
    workspace_.Host().DocumentChanged(*this);
}

void TDocument::UndoLast() {
    if (retired_) return;
    workspace_.Host().StopPlayback(true);
    editor::UndoLast(workspace_.Context(), history_, *this);
}

void TDocument::DeleteTempFile() {
    DeleteFileIfNamed(tempFileName_);
    tempFileName_.clear();
    SyncedCount = 0;
}

void TDocument::ReloadWorkingImage(const QString& path) {
    if (!retired_) workspace_.ReloadWorkingImage(path);
}

bool TDocument::WriteBackingFile() {
    if (retired_) return false;
    if (tempFileName_.isEmpty()) tempFileName_ = MakeTempFile(GetTempFolder());
    if (tempFileName_.isEmpty()) return false;
    const bool saved = SaveGifFile(workspace_.Prompter(), workspace_.WorkingImage(), tempFileName_,
                                   false, false, workspace_.Defaults());
    if (saved) SyncedCount = history_.Count();
    return saved;
}

int TDocument::InspectorRow() const {
    return retired_ ? -1 : workspace_.Host().InspectorRow();
}

void TDocument::SelectInspectorRow(int row) {
    if (!retired_) workspace_.Host().SelectInspectorRow(row);
}

void TDocument::RepaintFrameList() {
    if (!retired_) workspace_.Host().RepaintFrameList();
}

void TDocument::CloseNow() {
    if (!retired_) workspace_.CloseDocumentNow(*this);
}

} // namespace editor
