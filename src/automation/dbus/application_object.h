// /Application: IGIFLoopwrightApplication on the bus.
#pragma once

#include "automation/dbus/bus_object.h"
#include "automation/model/interfaces.h"

namespace automation::bus {

class TApplicationObject final : public TBusObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quillmark.Loopwright3.IGIFLoopwrightApplication")
    Q_PROPERTY(QDBusObjectPath ActiveDocument READ GetActiveDocument)
    Q_PROPERTY(QString AppPath READ GetAppPath)
    Q_PROPERTY(QString CurrentFolder READ GetCurrentFolder WRITE PutCurrentFolder)
    Q_PROPERTY(int CurrentView READ GetCurrentView WRITE PutCurrentView)
    Q_PROPERTY(QDBusObjectPath DocumentCache READ GetDocumentCache)
    Q_PROPERTY(QString ExeName READ GetExeName)
    Q_PROPERTY(int Height READ GetHeight WRITE PutHeight)
    Q_PROPERTY(qlonglong HInstance READ GetHInstance)
    Q_PROPERTY(qlonglong hWnd READ GethWnd)
    Q_PROPERTY(int Left READ GetLeft WRITE PutLeft)
    Q_PROPERTY(bool ThumbnailsShowing READ GetThumbnailsShowing WRITE PutThumbnailsShowing)
    Q_PROPERTY(int Top READ GetTop WRITE PutTop)
    Q_PROPERTY(QString VersionText READ GetVersionText)
    Q_PROPERTY(int WindowState READ GetWindowState WRITE PutWindowState)
    Q_PROPERTY(int Width READ GetWidth WRITE PutWidth)
    Q_PROPERTY(int DocumentIndex READ GetDocumentIndex WRITE PutDocumentIndex)
    Q_PROPERTY(bool ExplorerShowing READ GetExplorerShowing WRITE PutExplorerShowing)
    Q_PROPERTY(int ThumbnailImageFilter READ GetThumbnailImageFilter WRITE PutThumbnailImageFilter)
    Q_PROPERTY(QString ThumbNailFileName READ GetThumbNailFileName)
  public:
    TApplicationObject(TAutomationServer& server, IGIFLoopwrightApplication& model)
        : TBusObject(server), model_(model) {}

    QDBusObjectPath GetActiveDocument();
    QString GetAppPath() { return Answer(model_.AppPath()); }
    QString GetCurrentFolder() { return Answer(model_.CurrentFolder()); }
    void PutCurrentFolder(const QString& value) { Answer(model_.SetCurrentFolder(value)); }
    int GetCurrentView() { return Answer(model_.CurrentView()); }
    void PutCurrentView(int value) { Answer(model_.SetCurrentView(value)); }
    QDBusObjectPath GetDocumentCache();
    QString GetExeName() { return Answer(model_.ExeName()); }
    int GetHeight() { return Answer(model_.Height()); }
    void PutHeight(int value) { Answer(model_.SetHeight(value)); }
    qlonglong GetHInstance() { return Answer(model_.HInstance()); }
    qlonglong GethWnd() { return Answer(model_.hWnd()); }
    int GetLeft() { return Answer(model_.Left()); }
    void PutLeft(int value) { Answer(model_.SetLeft(value)); }
    bool GetThumbnailsShowing() { return Answer(model_.ThumbnailsShowing()); }
    void PutThumbnailsShowing(bool value) { Answer(model_.SetThumbnailsShowing(value)); }
    int GetTop() { return Answer(model_.Top()); }
    void PutTop(int value) { Answer(model_.SetTop(value)); }
    QString GetVersionText() { return Answer(model_.VersionText()); }
    int GetWindowState() { return Answer(model_.WindowState()); }
    void PutWindowState(int value) { Answer(model_.SetWindowState(value)); }
    int GetWidth() { return Answer(model_.Width()); }
    void PutWidth(int value) { Answer(model_.SetWidth(value)); }
    int GetDocumentIndex() { return Answer(model_.DocumentIndex()); }
    void PutDocumentIndex(int value) { Answer(model_.SetDocumentIndex(value)); }
    bool GetExplorerShowing() { return Answer(model_.ExplorerShowing()); }
    void PutExplorerShowing(bool value) { Answer(model_.SetExplorerShowing(value)); }
    int GetThumbnailImageFilter() { return Answer(model_.ThumbnailImageFilter()); }
    void PutThumbnailImageFilter(int value) { Answer(model_.SetThumbnailImageFilter(value)); }
    QString GetThumbNailFileName() { return Answer(model_.ThumbNailFileName()); }

  public slots:
    void BringToFront() { Answer(model_.BringToFront()); }
    bool CloseAll(bool wbPromptToSave) { return Answer(model_.CloseAll(wbPromptToSave)); }
    QString ExtractFileName(const QString& wsFile) { return Answer(model_.ExtractFileName(wsFile)); }
    QString ExtractFilePath(const QString& wsFile) { return Answer(model_.ExtractFilePath(wsFile)); }
    bool GetImageSize(const QString& wsImageFile, int nHeight, int nWidth, int& nHeightOut,
                      int& nWidthOut);
    void HideProgress() { Answer(model_.HideProgress()); }
    QString InputBox(const QString& wsCaption, const QString& wsPrompt, const QString& wsDefault) {
        return Answer(model_.InputBox(wsCaption, wsPrompt, wsDefault));
    }
    bool IsFileOpen(const QString& sFile) { return Answer(model_.IsFileOpen(sFile)); }
    bool IsImageAnimation(const QString& wsFile) { return Answer(model_.IsImageAnimation(wsFile)); }
    int MessageBox(const QString& wsText, const QString& wsCaption, int nType) {
        return Answer(model_.MessageBox(wsText, wsCaption, nType));
    }
    void NewDocument(bool wbOpenMaximized) { Answer(model_.NewDocument(wbOpenMaximized)); }
    bool OpenFile(const QString& wsFile) { return Answer(model_.OpenFile(wsFile)); }
    void NextDoc() { Answer(model_.NextDoc()); }
    void PreviousDoc() { Answer(model_.PreviousDoc()); }
    void Quit();
    bool SaveAll() { return Answer(model_.SaveAll()); }
    void SendToBack() { Answer(model_.SendToBack()); }
    void SetProgress(int nProgress) { Answer(model_.SetProgress(nProgress)); }
    void SetStatusText(const QString& sMessage) { Answer(model_.SetStatusText(sMessage)); }
    void StatusWarning(const QString& wsMsg) { Answer(model_.StatusWarning(wsMsg)); }
    void StatusError(const QString& wsMsg) { Answer(model_.StatusError(wsMsg)); }
    void LoadThumbnails(const QString& sFolder) { Answer(model_.LoadThumbnails(sFolder)); }
    void ShowProgress() { Answer(model_.ShowProgress()); }
    bool ShellToApp(const QString& wsAppFileName) { return Answer(model_.ShellToApp(wsAppFileName)); }
    void ShellToAppAndWait(const QString& wsAppFileName) { Answer(model_.ShellToAppAndWait(wsAppFileName)); }
    void Wait(int nMilliseconds) { Answer(model_.Wait(nMilliseconds)); }
    void Cascade() { Answer(model_.Cascade()); }
    void TileHorizontal() { Answer(model_.TileHorizontal()); }
    void TileVertical() { Answer(model_.TileVertical()); }
    int TabIndexForFile(const QString& wsFileName) { return Answer(model_.TabIndexForFile(wsFileName)); }
    bool MenuExists(const QString& wsMenuPath) { return Answer(model_.MenuExists(wsMenuPath)); }
    QDBusObjectPath Menu(const QString& wsMenuPath);

  private:
    IGIFLoopwrightApplication& model_;
};

} // namespace automation::bus
