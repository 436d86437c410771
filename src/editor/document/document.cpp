#include "editor/document/document.h"

#include "editor/core/ask.h"
#include "editor/core/format.h"
#include "editor/core/gif_files.h"
#include "editor/core/messages.h"
#include "editor/core/prompter.h"
#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/document/backing_file.h"
#include "editor/document/document_messages.h"
#include "editor/document/recovery_index.h"
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
    if (!keptForRecovery_) {
        RemoveRecoveryIndex(tempFileName_);
        DeleteFileIfNamed(tempFileName_);
    }
    history_.Clear();
}

bool TDocument::KeepForRecovery() {
    if (retired_ || !modified_) return false;
    QString reason;
    // Only the active document's edits can be newer than its backing file.
    const bool current = workspace_.ActiveDocument() != this || SyncedCount == history_.Count() ||
                         TryWriteBacking(reason);
    keptForRecovery_ = current && !tempFileName_.isEmpty();
    return keptForRecovery_;
}

void TDocument::Retire() {
    RemoveRecoveryIndex(tempFileName_);
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
        QString reason;
        if (!TryWriteBacking(reason)) ReportKeptInMemory(reason);
    }
    modified_ = value;
    TActionStates& actions = workspace_.Actions();
    actions.SetEnabled(TActionId::FileSave, value);
    actions.SetEnabled(TActionId::FileSaveAll, workspace_.AnyDocumentModified());
    workspace_.Host().DocumentChanged(*this);
}

bool TDocument::TryWriteBacking(QString& reason) {
    if (retired_) return false;
    gif::TGIFImage& image = workspace_.WorkingImage();
    const TAnimationDefaults defaults = workspace_.Defaults();
    const auto written = [this] {
        SyncedCount = history_.Count();
        keptInMemory_ = false;
        return true;
    };
    if (!tempFileName_.isEmpty()) {
        if (image.Empty() || WriteBackingGif(image, tempFileName_, defaults, reason))
            return written();
    }
    // A new file, in the first folder that takes it (the old folder may be gone or full).
    for (const QString& folder : workspace_.BackingFolders()) {
        QString why;
        const QString path = MakeTempFile(folder, TempPrefix, &why);
        if (!path.isEmpty()) {
            if (image.Empty() || WriteBackingGif(image, path, defaults, why)) {
                ReplaceBackingFile(path);
                return written();
            }
            DeleteFileIfNamed(path);
        }
        if (reason.isEmpty()) reason = why;
    }
    SyncedCount = -1;
    return false;
}

void TDocument::ReplaceBackingFile(const QString& path) {
    if (path != tempFileName_) {
        RemoveRecoveryIndex(tempFileName_);
        DeleteFileIfNamed(tempFileName_);
        tempFileName_ = path;
    }
    WriteRecoveryIndex(tempFileName_, fileName_, fileName_, untitled_);
}

void TDocument::AdoptBackingFile(const QString& path) {
    ReplaceBackingFile(path);
}

void TDocument::ReportKeptInMemory(const QString& reason) {
    // Once per spell: every further edit would only repeat it.
    if (!keptInMemory_)
        workspace_.Prompter().Message(TMessageKind::Warning,
                                      Format(msg::KeptInMemory, ShortName(), reason));
    keptInMemory_ = true;
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
    WriteRecoveryIndex(tempFileName_, fileName_, fileName_, untitled_);
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
    // It could not come forward (the active document's edits are kept in memory only):
    // the working image holds another animation.
    if (!Loaded || workspace_.ActiveDocument() != this) return false;
    // A file that was damaged when it was read holds more than the working image: say so
    // before the fragment replaces it.
    if (DamagedFrames >= 0 && QFileInfo(fileName_).absoluteFilePath() == DamagedPath &&
        workspace_.Prompter().Message(TMessageKind::Warning,
                                      Format(msg::ReplaceDamaged, fileName_, DamagedFrames),
                                      TButtons::YesNo) != mrYes)
        return false;
    const int answer = AskWithRemember(
        workspace_.Prompter(), workspace_.Config(), msg::CheckCompatibility, msg::DoNotAskAgain,
        keys::Compatibility.Name, TButtons::YesNo, TMessageKind::Information);
    fileName_ = QFileInfo(fileName_).absoluteFilePath();
    const bool saved = SaveGifFile(workspace_.Prompter(), workspace_.WorkingImage(), fileName_,
                                   answer == mrYes, true, workspace_.Defaults());
    if (saved) {
        untitled_ = false;
        DamagedFrames = -1;
        DamagedPath.clear();
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
    RemoveRecoveryIndex(tempFileName_);
    DeleteFileIfNamed(tempFileName_);
    tempFileName_.clear();
    keptInMemory_ = false;
    SyncedCount = 0;
}

void TDocument::ReloadWorkingImage(const QString& path) {
    if (!retired_) workspace_.ReloadWorkingImage(path);
}

bool TDocument::WriteBackingFile() {
    if (retired_) return false;
    QString reason;
    if (TryWriteBacking(reason)) return true;
    ReportKeptInMemory(reason);
    return false;
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
