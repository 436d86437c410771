// File > Export: "&Single Images..." through the Export Images dialog and "As &HTML Page...".
// The submenu enables its items while the working image has a frame (UpdateExportMenu).
#include "editor/document/export_commands.h"
#include "editor/document/workspace.h"
#include "editor/window/frame_list_widget.h"
#include "editor/window/main_window.h"
#include "gif/model/image.h"

#include <QAction>

namespace editor {

namespace {
constexpr size_t ExportImageItem = 0;
constexpr size_t ExportHtmlItem = 2;
} // namespace

void TfrmMain::ConnectExportCommands() {
    QAction* image = exportItems_[ExportImageItem];
    QAction* html = exportItems_[ExportHtmlItem];
    image->setObjectName("mniFileExportImage");
    html->setObjectName("mniFileExportHTML");
    connect(image, &QAction::triggered, this, &TfrmMain::mniFileExportImageClick);
    connect(html, &QAction::triggered, this, &TfrmMain::mniFileExportHTMLClick);
    image->setStatusTip("Exports frames as separate GIF, JPEG or bitmap files");
    html->setStatusTip("Writes a web page that shows the animation");
    MarkUnavailable(image, "Comes with the Export Images dialog");
    MarkAvailable(html);
    UpdateExportMenu();
}

void TfrmMain::SetImageExporter(IImageExporter* exporter) {
    imageExporter_ = exporter;
    QAction* image = exportItems_[ExportImageItem];
    if (exporter)
        MarkAvailable(image);
    else
        MarkUnavailable(image, "Comes with the Export Images dialog");
    UpdateExportMenu();
}

void TfrmMain::mniFileExportImageClick() {
    if (!imageExporter_ || workspace_->WorkingImage().Empty()) return;
    HideStartupAnimation();
    StopPlayback(true);
    imageExporter_->ShowExportImages(workspace_->WorkingImage(), lbFrames_->Count());
}

void TfrmMain::mniFileExportHTMLClick() {
    HideStartupAnimation();
    StopPlayback(true);
    FileExportHtmlExecute(*workspace_);
}

} // namespace editor
