#include "editor/document/avi_files.h"

#include "editor/core/format.h"
#include "editor/core/prompter.h"
#include "editor/core/progress_window.h"
#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/core/text_routines.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "gif/model/image.h"
#include "io/avi/avi_export.h"
#include "io/avi/avi_messages.h"
#include "io/video/video_import.h"

#include <QFileInfo>
#include <algorithm>

namespace editor {

const char* const VideoOpenFilter =
    "AVI Animations (*.avi)|*.avi|Video files|*.mp4;*.m4v;*.mov;*.mkv;*.webm;*.ogv;*.mpg;"
    "*.mpeg;*.wmv;*.flv;*.apng";

bool IsVideoFile(const QString& path) {
    return io::IsVideoFileName(NativePath(path));
}

bool ImportAviDocument(TWorkspace& workspace, const QString& path) {
    IWorkspaceHost& host = workspace.Host();
    IPrompter& prompter = workspace.Prompter();
    host.HideStartupAnimation();

    gif::TGIFImage imported;
    io::TVideoImportOptions options;
    if (workspace.Config().Value(keys::PaletteType) == ptQuality) {
        options.SharedPalette = true;
        options.Dither = gif::BestDitherMode(gif::crQuality);
        // The fewest bits that hold the chosen number of colours (8 to 256 colours).
        const int colors = workspace.Config().Value(keys::MaxColorCount);
        options.Depth = 3;
        while (options.Depth < 8 && (1 << options.Depth) < colors) ++options.Depth;
    }
    int shown = 0;
    host.ShowProgress(100);
    options.Progress = [&host, &shown](int percent) {
        for (; shown < percent; ++shown) host.StepProgress();
    };
    try {
        TBusyCursor busy(prompter);
        io::ImportAvi(imported, NativePath(path), options);
    } catch (const std::exception& e) {
        host.HideProgress();
        prompter.Message(TMessageKind::Error, QString::fromUtf8(e.what()));
        return false;
    }
    host.HideProgress();
    if (imported.Empty()) {
        prompter.Message(TMessageKind::Error, Format(msg::ImportError, path));
        return false;
    }
    if (TDocument* active = workspace.ActiveDocument()) workspace.DocumentDeactivated(*active);
    TDocument& document = workspace.CreateUntitledDocument();
    // The new document's backing file holds the import; its posted load event reads it.
    if (!document.AdoptAnimation(imported)) {
        workspace.CloseDocumentNow(document);
        return false;
    }
    return true;
}

bool ExportAviExecute(TWorkspace& workspace,
                      const std::function<std::unique_ptr<IProgressWindow>()>& createProgress) {
    TDocument* document = workspace.ActiveDocument();
    if (!document) return false;
    IPrompter& prompter = workspace.Prompter();
    workspace.Host().StopPlayback(true);

    TFileQuestion question;
    question.Filter = msg::AviFilter;
    question.DefaultSuffix = "avi";
    question.InitialDir = workspace.SaveDialogFolder;
    question.FileName = StripExtension(document->ShortName());
    const QString target = prompter.AskSaveFileName(question);
    if (target.isEmpty()) return false;

    std::unique_ptr<IProgressWindow> progress = createProgress();
    gif::TGIFImage copy;
    copy.Assign(&workspace.WorkingImage());
    progress->SetRange(0, std::max(0, copy.FrameCount() - 1));
    progress->SetPosition(0);
    progress->SetFileLabel(Format(io::avimsg::Preparing, QFileInfo(target).fileName()));
    progress->Show();
    progress->ProcessEvents();

    if (copy.Empty()) {
        prompter.Message(TMessageKind::Error, io::avimsg::ExportEmpty);
        return false;
    }
    bool stopped = !io::FlattenForAvi(copy, [&progress](int frame) {
        if (frame > 0) progress->StepIt();
        progress->ProcessEvents();
        return !progress->Cancelled();
    });
    stopped = stopped || progress->Cancelled();
    if (stopped) return false;

    progress->SetFileLabel(io::avimsg::Exporting);
    progress->ProcessEvents();
    try {
        TBusyCursor busy(prompter);
        io::WriteAvi(NativePath(target), copy,
                     {[&progress](int frame) {
                          progress->SetPosition(frame);
                          progress->ProcessEvents();
                      },
                      {}});
    } catch (const std::exception& e) {
        prompter.Message(TMessageKind::Error, QString::fromUtf8(e.what()));
        return false;
    }
    workspace.SaveDialogFolder = QFileInfo(target).absolutePath();
    return true;
}

} // namespace editor
