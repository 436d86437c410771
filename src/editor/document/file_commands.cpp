#include "editor/document/file_commands.h"

#include "editor/core/file_kinds.h"
#include "editor/core/frame_list.h"
#include "editor/core/prompter.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "gif/model/image.h"

#include <QFileInfo>

namespace editor {

namespace {

// The working image reports its progress to the main window's bar for one scope.
class TProgressAttached {
  public:
    explicit TProgressAttached(TWorkspace& workspace) : image_(workspace.WorkingImage()) {
        image_.OnProgress = workspace.Host().ProgressHandler();
    }
    ~TProgressAttached() { image_.OnProgress = nullptr; }

  private:
    gif::TGIFImage& image_;
};

// Without an active document there is nothing to save.
bool RequireActive(TWorkspace& workspace) {
    if (workspace.ActiveDocument()) return true;
    TActionStates& actions = workspace.Actions();
    actions.SetEnabled(TActionId::FileSave, false);
    actions.SetEnabled(TActionId::FileSaveAs, false);
    actions.SetEnabled(TActionId::FileSaveAll, false);
    return false;
}

// Runs the document's save query; a saved file goes to the top of the recent files.
bool Save(TWorkspace& workspace, TDocument& document, bool saveAs, bool force) {
    const bool saved = document.SaveQuery(saveAs, force);
    if (!workspace.Contains(&document)) return false;
    if (saved && !document.Modified()) workspace.RecentFiles().Add(document.FileName());
    workspace.Host().DocumentChanged(document);
    return saved;
}

} // namespace

void FileSaveExecute(TWorkspace& workspace) {
    if (!RequireActive(workspace)) return;
    workspace.Host().StopPlayback(true);
    TProgressAttached progress(workspace);
    Save(workspace, *workspace.ActiveDocument(), false, true);
}

void FileSaveAsExecute(TWorkspace& workspace) {
    if (!RequireActive(workspace)) return;
    workspace.Host().StopPlayback(true);
    {
        TProgressAttached progress(workspace);
        Save(workspace, *workspace.ActiveDocument(), true, true);
    }
    workspace.DisplayFrame(workspace.Frames().Selected());
}

void FileSaveAllExecute(TWorkspace& workspace) {
    if (!RequireActive(workspace)) return;
    IWorkspaceHost& host = workspace.Host();
    host.StopPlayback(true);
    TDocument* remembered = workspace.ActiveDocument();
    TBusyCursor busy(workspace.Prompter());
    // An untitled document has no file: its save asks first, then shows the save dialog.
    auto saveOne = [&workspace](TDocument& document) {
        Save(workspace, document, false, QFileInfo::exists(document.FileName()));
    };
    if (remembered->Modified()) saveOne(*remembered);
    host.ShowProgress(100);
    {
        TProgressAttached progress(workspace);
        std::vector<TDocument*> others;
        for (const auto& document : workspace.Documents())
            if (document.get() != remembered) others.push_back(document.get());
        for (TDocument* document : others) {
            if (!workspace.Contains(document) || !document->Modified()) continue;
            workspace.BringDocumentForward(*document);
            saveOne(*document);
        }
    }
    if (workspace.Contains(remembered)) workspace.BringDocumentForward(*remembered);
    host.HideProgress();
}

void FileCloseExecute(TWorkspace& workspace) {
    if (TDocument* document = workspace.ActiveDocument())
        workspace.Host().CloseDocumentWindow(*document);
}

void FileCloseAllExecute(TWorkspace& workspace) {
    std::vector<TDocument*> documents;
    for (const auto& document : workspace.Documents())
        documents.push_back(document.get());
    for (auto it = documents.rbegin(); it != documents.rend(); ++it)
        if (workspace.Contains(*it)) workspace.Host().CloseDocumentWindow(**it);
    if (workspace.DocumentCount() == 0) workspace.ResetMainWindow();
}

QString OpenDialogFilter() {
    QStringList patterns;
    for (int kind = fkGif + 1; kind < fkAvi; ++kind)
        if (IsPictureKind(kind)) patterns << "*" + FileKindExtension(kind);
    return QString(msg::OpenGifFilter) + "|" + msg::StillPicturesCaption + " (" +
           patterns.join(", ") + ")|" + patterns.join(';');
}

void OpenChosenFile(TWorkspace& workspace, const QString& path) {
    const int kind = FileKind(path);
    if (!IsPictureKind(kind)) {
        workspace.OpenGifDocument(path);
        return;
    }
    const bool dropped = workspace.DropOnMainWindow;
    workspace.DropOnMainWindow = true;
    workspace.ImportImageFile(path, kind);
    workspace.DropOnMainWindow = dropped;
}

} // namespace editor
