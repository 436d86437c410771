// The File menu, Add Frame and Undo: the window's side of the document commands.
#include "editor/core/file_kinds.h"
#include "editor/core/prompter.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/file_commands.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/picture_files.h"
#include "editor/document/workspace.h"
#include "editor/window/main_window.h"
#include "editor/window/wizards_host.h"
#include "gif/graphics/bitmap.h"
#include "io/picture_filters.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace editor {

namespace {

// The open dialogs start in the stored folder while it exists, else in the home folder.
QString ExistingFolder(const QString& folder) {
    return QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

} // namespace

void TfrmMain::SetOpenDir(const QString& folder) {
    openDir_ = folder;
    // The save dialog of an untitled document starts where the open dialog last was.
    workspace_->SaveDialogFolder = ExistingFolder(folder);
}

void TfrmMain::FileNewExecute() {
    HideStartupAnimation();
    ShowWizard(&IWizards::AnimationWizard);
}

void TfrmMain::FileOpenExecute() {
    HideStartupAnimation();
    TFileQuestion question;
    question.Filter = OpenDialogFilter();
    question.InitialDir = ExistingFolder(openDir_);
    question.Multiple = true;
    const QStringList files = prompter_->AskOpenFileNames(question);
    for (const QString& file : files)
        OpenChosenFile(*workspace_, file);
    if (!files.isEmpty()) SetOpenDir(QFileInfo(files.last()).absolutePath());
}

void TfrmMain::FileCloseExecute() {
    editor::FileCloseExecute(*workspace_);
}
void TfrmMain::FileCloseAllExecute() {
    editor::FileCloseAllExecute(*workspace_);
}
void TfrmMain::FileSaveExecute() {
    editor::FileSaveExecute(*workspace_);
}
void TfrmMain::FileSaveAsExecute() {
    editor::FileSaveAsExecute(*workspace_);
}
void TfrmMain::FileSaveAllExecute() {
    editor::FileSaveAllExecute(*workspace_);
}
void TfrmMain::FileExitExecute() {
    close();
}

void TfrmMain::FrameAddExecute() {
    HideStartupAnimation();
    StopPlayback(true);
    TFileQuestion question;
    question.Filter = QString::fromStdString(io::PictureFilterString());
    question.InitialDir = ExistingFolder(openDir_);
    question.Multiple = true;
    const QStringList files = prompter_->AskOpenFileNames(question);
    if (files.isEmpty()) return;
    TBusyCursor busy(*prompter_);
    // The last file first, each at the place the user chooses; without a document the
    // first picture starts a new animation.
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        SetOpenDir(QFileInfo(*it).absolutePath());
        InsertFileAsFrame(*workspace_, *it);
    }
}

void TfrmMain::EditUndoExecute() {
    if (TDocument* document = workspace_->ActiveDocument()) document->UndoLast();
}

} // namespace editor
