// TGIFApplication: the Application object. It reaches the main window, its documents and
// the thumbnail browser at call time; the documents collection is made on first use and
// kept. The editor makes one for itself, and the same object serves bus clients and add-ins.
#pragma once

#include "automation/model/context.h"
#include "automation/model/interfaces.h"

namespace automation {

class TDocuments;

class TGIFApplication final : public IGIFLoopwrightApplication {
  public:
    explicit TGIFApplication(TContextRef context) : context_(std::move(context)) {}

    TAutomationContext& Context() { return *context_; }
    // Set while Quit closes the main window: a client's own request is not questioned.
    bool Quitting() const { return quitting_; }

    TResult<std::shared_ptr<IActiveDocument>> ActiveDocument() override;
    TResult<QString> AppPath() override;
    TResult<QString> CurrentFolder() override;
    TResult<TNone> SetCurrentFolder(const QString& folder) override;
    TResult<int> CurrentView() override;
    TResult<TNone> SetCurrentView(int view) override;
    TResult<std::shared_ptr<IDocuments>> DocumentCache() override;
    TResult<QString> ExeName() override;
    TResult<int> Height() override;
    TResult<TNone> SetHeight(int value) override;
    TResult<qint64> HInstance() override;
    TResult<qint64> hWnd() override;
    TResult<int> Left() override;
    TResult<TNone> SetLeft(int value) override;
    TResult<bool> ThumbnailsShowing() override;
    TResult<TNone> SetThumbnailsShowing(bool wbShowing) override;
    TResult<int> Top() override;
    TResult<TNone> SetTop(int value) override;
    TResult<QString> VersionText() override;
    TResult<int> WindowState() override;
    TResult<TNone> SetWindowState(int value) override;
    TResult<int> Width() override;
    TResult<TNone> SetWidth(int value) override;
    TResult<TNone> BringToFront() override;
    TResult<bool> CloseAll(bool wbPromptToSave) override;
    TResult<QString> ExtractFileName(const QString& wsFile) override;
    TResult<QString> ExtractFilePath(const QString& wsFile) override;
    TResult<bool> GetImageSize(const QString& wsImageFile, int& nHeight, int& nWidth) override;
    TResult<TNone> HideProgress() override;
    TResult<QString> InputBox(const QString& wsCaption, const QString& wsPrompt,
                              const QString& wsDefault) override;
    TResult<bool> IsFileOpen(const QString& sFile) override;
    TResult<bool> IsImageAnimation(const QString& wsFile) override;
    TResult<int> MessageBox(const QString& wsText, const QString& wsCaption, int nType) override;
    TResult<TNone> NewDocument(bool wbOpenMaximized) override;
    TResult<bool> OpenFile(const QString& wsFile) override;
    TResult<TNone> NextDoc() override;
    TResult<TNone> PreviousDoc() override;
    TResult<TNone> Quit() override;
    TResult<bool> SaveAll() override;
    TResult<TNone> SendToBack() override;
    TResult<TNone> SetProgress(int nProgress) override;
    TResult<TNone> SetStatusText(const QString& sMessage) override;
    TResult<TNone> StatusWarning(const QString& wsMsg) override;
    TResult<TNone> StatusError(const QString& wsMsg) override;
    TResult<TNone> LoadThumbnails(const QString& sFolder) override;
    TResult<TNone> ShowProgress() override;
    TResult<bool> ShellToApp(const QString& wsAppFileName) override;
    TResult<TNone> ShellToAppAndWait(const QString& wsAppFileName) override;
    TResult<TNone> Wait(int nMilliseconds) override;
    TResult<int> DocumentIndex() override;
    TResult<TNone> SetDocumentIndex(int value) override;
    TResult<bool> ExplorerShowing() override;
    TResult<TNone> SetExplorerShowing(bool value) override;
    TResult<int> ThumbnailImageFilter() override;
    TResult<TNone> SetThumbnailImageFilter(int value) override;
    TResult<TNone> Cascade() override;
    TResult<TNone> TileHorizontal() override;
    TResult<TNone> TileVertical() override;
    TResult<int> TabIndexForFile(const QString& wsFileName) override;
    TResult<bool> MenuExists(const QString& wsMenuPath) override;
    TResult<TObjectRef> Menu(const QString& wsMenuPath) override;
    TResult<QString> ThumbNailFileName() override;

  private:
    IThumbnailBrowser& Thumbnails() const;

    TContextRef context_;
    std::shared_ptr<TDocuments> documents_;
    bool quitting_ = false;
};

// The folder part of a path, ending in the separator; empty without one.
QString ExtractFilePath(const QString& path);
// The file-name part of a path.
QString ExtractFileName(const QString& path);

} // namespace automation
