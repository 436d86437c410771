#include "editor/document/export_commands.h"

#include "editor/core/prompter.h"
#include "editor/core/temp_files.h"
#include "editor/core/text_routines.h"
#include "editor/document/document.h"
#include "editor/document/file_commands.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "gif/model/image.h"
#include "io/export/html_page.h"

#include <QFileInfo>
#include <exception>

namespace editor {

bool ExportImagesOnOk(IPrompter& prompter, gif::TGIFImage& image, const std::vector<int>& frames,
                      const io::TExportOptions& options, const QString& folder,
                      const TExportProgress& progress) {
    if (frames.empty()) return true;
    TFileQuestion question;
    question.Filter = msg::ExportImageFilters[int(options.Format)];
    question.InitialDir = folder;
    const QString chosen = prompter.AskSaveFileName(question);
    if (chosen.isEmpty()) return false;

    io::TExportResult result;
    {
        TBusyCursor busy(prompter);
        if (progress.Start) progress.Start(int(frames.size()));
        result = io::ExportFrames(image, frames, NativePath(chosen), options, progress.Step);
    }
    if (result.PlaceholderWritten)
        prompter.Message(TMessageKind::Information, msg::ExportImagesError);
    return true;
}

bool FileExportHtmlExecute(TWorkspace& workspace) {
    TDocument* document = workspace.ActiveDocument();
    if (!document) return false;
    IPrompter& prompter = workspace.Prompter();
    // An untitled document's name is not a file, even when one of that name happens to lie
    // in the working folder.
    auto onDisk = [](const TDocument& d) {
        return !d.IsUntitled() && QFileInfo::exists(d.FileName());
    };
    if (!onDisk(*document)) {
        const int answer = prompter.Message(TMessageKind::Confirmation, msg::SaveBeforeHtml,
                                            TButtons::YesNoCancel);
        if (answer != mrYes) return false;
        FileSaveExecute(workspace);
        document = workspace.ActiveDocument();
        if (!document || !onDisk(*document)) return false;
    }
    const QString fileName = document->FileName();

    TFileQuestion question;
    question.Filter = msg::HtmlFilter;
    question.InitialDir = workspace.SaveDialogFolder;
    question.FileName = StripExtension(QFileInfo(fileName).fileName());
    question.DefaultSuffix = "htm";
    const QString page = prompter.AskSaveFileName(question);
    if (page.isEmpty()) return false;

    const gif::TGIFImage& image = workspace.WorkingImage();
    const std::string text =
        io::HtmlPageText(NativePath(fileName), image.Height(), image.Width());
    try {
        io::WriteHtmlPage(NativePath(page), text);
    } catch (const std::exception& e) {
        // The page was not written: say so rather than leave the user looking for it.
        prompter.Message(TMessageKind::Error, QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

} // namespace editor
