// File > Import > AVI Animation and File > Export > As AVI Animation...: videos become new
// documents, the active animation an uncompressed AVI video.
#include "editor/core/progress_window.h"
#include "editor/core/prompter.h"
#include "editor/document/avi_files.h"
#include "editor/document/workspace.h"
#include "editor/window/main_window.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace editor {

void TfrmMain::ConnectAviMenus() {
    mniFileImportAvi_->setObjectName("mniFileImportAvi");
    mniFileImportAvi_->setStatusTip("Imports an AVI video or another video as a new animation");
    connect(mniFileImportAvi_, &QAction::triggered, this, &TfrmMain::mniFileImportAviClick);
    QAction* exportAvi = exportItems_[1];
    exportAvi->setObjectName("mniFileExportAVI");
    exportAvi->setStatusTip("Saves the animation as an uncompressed AVI video");
    MarkUnavailable(exportAvi, "Comes with the progress window");
    connect(exportAvi, &QAction::triggered, this, &TfrmMain::mniFileExportAVIClick);
}

void TfrmMain::SetProgressWindowFactory(
    std::function<std::unique_ptr<IProgressWindow>()> factory) {
    createProgress_ = std::move(factory);
    if (!createProgress_) return;
    MarkAvailable(exportItems_[1]);
    UpdateExportMenu();
}

void TfrmMain::mniFileImportAviClick() {
    HideStartupAnimation();
    TFileQuestion question;
    question.Filter = VideoOpenFilter;
    question.InitialDir = QFileInfo(openDir_).isDir() ? openDir_ : QDir::homePath();
    const QStringList files = prompter_->AskOpenFileNames(question);
    if (files.isEmpty()) return;
    openDir_ = QFileInfo(files.front()).absolutePath();
    ImportAviDocument(*workspace_, files.front());
}

void TfrmMain::mniFileExportAVIClick() {
    if (!createProgress_) return;
    // The main window takes no input while the progress window shows.
    bool disabled = false;
    ExportAviExecute(*workspace_, [this, &disabled] {
        setEnabled(false);
        disabled = true;
        return createProgress_();
    });
    if (disabled) setEnabled(true);
}

} // namespace editor
