#include "automation/model/application.h"

#include "automation/model/active_document.h"
#include "automation/model/documents.h"
#include "editor/core/gif_files.h"
#include "editor/core/prompter.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/window/main_window.h"
#include "io/xpress/xpress.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabBar>
#include <QThread>
#include <algorithm>

namespace automation {

namespace {

QString AbsolutePath(const QString& path) {
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

QMdiArea& MdiArea(editor::TfrmMain& window) {
    auto* area = window.findChild<QMdiArea*>();
    if (!area) throw EAutomationError(NotAvailable);
    return *area;
}

QProgressBar& ProgressBar(editor::TfrmMain& window) {
    auto* bar = window.findChild<QProgressBar*>("prgBar");
    if (!bar) throw EAutomationError(NotAvailable);
    return *bar;
}

// The document windows that can be arranged: shown and not minimised.
QList<QMdiSubWindow*> ArrangeableWindows(QMdiArea& area) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList())
        if (window->isVisible() && !window->isMinimized()) windows << window;
    return windows;
}

// Lays the windows out in equal bands: one above the other, or side by side.
void Tile(QMdiArea& area, bool sideBySide) {
    const QList<QMdiSubWindow*> windows = ArrangeableWindows(area);
    if (windows.isEmpty()) return;
    const QSize size = area.viewport()->size();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (sideBySide) {
            const int x = size.width() * i / n;
            windows[i]->setGeometry(x, 0, size.width() * (i + 1) / n - x, size.height());
        } else {
            const int y = size.height() * i / n;
            windows[i]->setGeometry(0, y, size.width(), size.height() * (i + 1) / n - y);
        }
    }
}

} // namespace

QString ExtractFilePath(const QString& path) {
    return path.left(path.lastIndexOf('/') + 1);
}

QString ExtractFileName(const QString& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

IThumbnailBrowser& TGIFApplication::Thumbnails() const {
    if (!context_->Thumbnails) throw EAutomationError(NotAvailable);
    return *context_->Thumbnails;
}

TResult<std::shared_ptr<IActiveDocument>> TGIFApplication::ActiveDocument() {
    return Trap([&]() -> std::shared_ptr<IActiveDocument> {
        if (!context_->Active()) return nullptr;
        return std::make_shared<TActiveDocument>(context_);
    });
}

TResult<QString> TGIFApplication::AppPath() {
    return Trap([] { return QCoreApplication::applicationDirPath() + "/"; });
}

TResult<QString> TGIFApplication::CurrentFolder() {
    return Trap([&] { return context_->Thumbnails ? context_->Thumbnails->CurrentFolder() : QString(); });
}

TResult<TNone> TGIFApplication::SetCurrentFolder(const QString& folder) {
    return Trap([&] { Thumbnails().SetCurrentFolder(folder); });
}

TResult<int> TGIFApplication::CurrentView() { return {cvEditFrame}; }

TResult<TNone> TGIFApplication::SetCurrentView(int) { return {}; }

TResult<std::shared_ptr<IDocuments>> TGIFApplication::DocumentCache() {
    return Trap([&]() -> std::shared_ptr<IDocuments> {
        if (!documents_) documents_ = std::make_shared<TDocuments>(context_);
        return documents_;
    });
}

TResult<QString> TGIFApplication::ExeName() {
    return Trap([] { return QCoreApplication::applicationFilePath(); });
}

TResult<int> TGIFApplication::Height() {
    return Trap([&] { return context_->Window.height(); });
}

TResult<TNone> TGIFApplication::SetHeight(int value) {
    return Trap([&] { context_->Window.resize(context_->Window.width(), std::max(1, value)); });
}

TResult<qint64> TGIFApplication::HInstance() {
    return Trap([] { return qint64(QCoreApplication::applicationPid()); });
}

TResult<qint64> TGIFApplication::hWnd() {
    return Trap([&] { return qint64(context_->Window.winId()); });
}

TResult<int> TGIFApplication::Left() {
    return Trap([&] { return context_->Window.x(); });
}

TResult<TNone> TGIFApplication::SetLeft(int value) {
    return Trap([&] { context_->Window.move(value, context_->Window.y()); });
}

TResult<bool> TGIFApplication::ThumbnailsShowing() {
    return Trap([&] { return context_->Thumbnails && context_->Thumbnails->ThumbnailsShowing(); });
}

TResult<TNone> TGIFApplication::SetThumbnailsShowing(bool wbShowing) {
    return Trap([&] { Thumbnails().SetThumbnailsShowing(wbShowing); });
}

TResult<int> TGIFApplication::Top() {
    return Trap([&] { return context_->Window.y(); });
}

TResult<TNone> TGIFApplication::SetTop(int value) {
    return Trap([&] { context_->Window.move(context_->Window.x(), value); });
}

TResult<QString> TGIFApplication::VersionText() { return {"3.0"}; }

TResult<int> TGIFApplication::WindowState() {
    return Trap([&] {
        const Qt::WindowStates state = context_->Window.windowState();
        if (state & Qt::WindowMinimized) return 1;
        if (state & Qt::WindowMaximized) return 2;
        return 0;
    });
}

TResult<TNone> TGIFApplication::SetWindowState(int value) {
    return Trap([&] {
        // 1 minimised, 2 maximised; anything else (above 2, or negative) normal.
        Qt::WindowStates state = context_->Window.windowState() &
                                 ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
        if (value == 1) state |= Qt::WindowMinimized;
        if (value == 2) state |= Qt::WindowMaximized;
        context_->Window.setWindowState(state);
    });
}

TResult<int> TGIFApplication::Width() {
    return Trap([&] { return context_->Window.width(); });
}

TResult<TNone> TGIFApplication::SetWidth(int value) {
    return Trap([&] { context_->Window.resize(std::max(1, value), context_->Window.height()); });
}

TResult<TNone> TGIFApplication::BringToFront() {
    return Trap([&] {
        context_->Window.raise();
        context_->Window.activateWindow();
    });
}

TResult<bool> TGIFApplication::CloseAll(bool) {
    return Trap([&] {
        context_->Window.FileCloseAllExecute();
        // Whether every document closed (a refused save question keeps some open).
        return context_->Workspace().DocumentCount() == 0;
    });
}

TResult<QString> TGIFApplication::ExtractFileName(const QString& wsFile) {
    return Trap([&] { return automation::ExtractFileName(wsFile); });
}

TResult<QString> TGIFApplication::ExtractFilePath(const QString& wsFile) {
    return Trap([&] { return automation::ExtractFilePath(wsFile); });
}

TResult<bool> TGIFApplication::GetImageSize(const QString& wsImageFile, int& nHeight, int& nWidth) {
    nHeight = 0;
    nWidth = 0;
    return Trap([&] {
        io::TXpress control;
        control.SetFileName(wsImageFile.toStdString());
        const bool loaded = control.Error() == 0;
        if (loaded) {
            nHeight = control.Height32();
            nWidth = control.Width32();
        }
        control.SetFileName({});
        return loaded;
    });
}

TResult<TNone> TGIFApplication::HideProgress() {
    return Trap([&] { context_->Window.HideProgress(); });
}

TResult<QString> TGIFApplication::InputBox(const QString& wsCaption, const QString& wsPrompt,
                                           const QString& wsDefault) {
    return Trap([&] {
        if (!context_->Dialogs) throw EAutomationError(NotAvailable);
        return context_->Dialogs->InputBox(wsCaption, wsPrompt, wsDefault);
    });
}

TResult<bool> TGIFApplication::IsFileOpen(const QString& sFile) {
    return Trap([&] {
        editor::TWorkspace& workspace = context_->Workspace();
        const int tab = workspace.TabIndexOf(AbsolutePath(sFile));
        if (tab < 0) return false;
        workspace.Prompter().Beep();
        workspace.BringDocumentForward(*workspace.Documents()[size_t(tab)]);
        return true;
    });
}

TResult<bool> TGIFApplication::IsImageAnimation(const QString& wsFile) {
    return Trap([&] { return editor::IsAnimatedGifFile(context_->Workspace().Prompter(), wsFile); });
}

TResult<int> TGIFApplication::MessageBox(const QString& wsText, const QString& wsCaption, int nType) {
    return Trap([&] {
        if (!context_->Dialogs) throw EAutomationError(NotAvailable);
        return context_->Dialogs->MessageBox(wsText, wsCaption, nType);
    });
}

TResult<TNone> TGIFApplication::NewDocument(bool) {
    return Trap([&] {
        QAction* action = context_->Window.Action(editor::TActionId::FileNew);
        if (!action || action->property("unavailable").isValid()) throw EAutomationError(NotAvailable);
        context_->Window.FileNewExecute();
    });
}

TResult<bool> TGIFApplication::OpenFile(const QString& wsFile) {
    return Trap([&] {
        editor::TWorkspace& workspace = context_->Workspace();
        if (wsFile.isEmpty()) return false;
        // An open file beeps and comes to the front; otherwise it opens as the open
        // command opens it, into the recent-files list.
        return workspace.OpenGifDocument(wsFile);
    });
}

TResult<TNone> TGIFApplication::NextDoc() {
    return Trap([&] { context_->Window.WindowNextDocExecute(); });
}

TResult<TNone> TGIFApplication::PreviousDoc() {
    return Trap([&] { context_->Window.WindowPrevDocExecute(); });
}

TResult<TNone> TGIFApplication::Quit() {
    return Trap([&] {
        quitting_ = true;
        const bool closed = context_->Window.close();
        quitting_ = false;
        (void)closed;
    });
}

TResult<bool> TGIFApplication::SaveAll() {
    return Trap([&] {
        context_->Window.FileSaveAllExecute();
        // Whether everything is saved now (a cancelled or failed save leaves some modified).
        return !context_->Workspace().AnyDocumentModified();
    });
}

TResult<TNone> TGIFApplication::SendToBack() {
    return Trap([&] { context_->Window.lower(); });
}

TResult<TNone> TGIFApplication::SetProgress(int nProgress) {
    return Trap([&] {
        QProgressBar& bar = ProgressBar(context_->Window);
        bar.setValue(std::clamp(nProgress, bar.minimum(), bar.maximum()));
        context_->Window.statusBar()->repaint();
    });
}

TResult<TNone> TGIFApplication::SetStatusText(const QString& sMessage) {
    return Trap([&] {
        auto* panel = context_->Window.findChild<QLabel*>("StatusPanel2");
        if (!panel) throw EAutomationError(NotAvailable);
        panel->setText(sMessage);
        context_->Window.statusBar()->repaint();
    });
}

TResult<TNone> TGIFApplication::StatusWarning(const QString&) { return {}; }

TResult<TNone> TGIFApplication::StatusError(const QString&) { return {}; }

TResult<TNone> TGIFApplication::LoadThumbnails(const QString& sFolder) {
    return Trap([&] { Thumbnails().LoadThumbnails(sFolder); });
}

TResult<TNone> TGIFApplication::ShowProgress() {
    return Trap([&] {
        // Scripts count their progress in percent.
        context_->Window.ShowProgress(100);
    });
}

TResult<bool> TGIFApplication::ShellToApp(const QString& wsAppFileName) {
    return Trap([&] {
        editor::IPrompter& prompter = context_->Workspace().Prompter();
        if (!wsAppFileName.isEmpty() && prompter.OpenUrl(wsAppFileName)) return true;
        prompter.Message(editor::TMessageKind::Error, "Could not load the client.");
        return false;
    });
}

TResult<TNone> TGIFApplication::ShellToAppAndWait(const QString&) { return {}; }

TResult<TNone> TGIFApplication::Wait(int nMilliseconds) {
    return Trap([&] { QThread::msleep(ulong(std::max(0, nMilliseconds))); });
}

TResult<int> TGIFApplication::DocumentIndex() {
    return Trap([&] { return context_->Window.Tabs()->currentIndex(); });
}

TResult<TNone> TGIFApplication::SetDocumentIndex(int value) {
    return Trap([&] {
        QTabBar* tabs = context_->Window.Tabs();
        if (value < 0 || value >= tabs->count() || value == tabs->currentIndex()) return;
        auto* document = reinterpret_cast<editor::TDocument*>(tabs->tabData(value).value<quintptr>());
        editor::TWorkspace& workspace = context_->Workspace();
        if (document && workspace.Contains(document)) workspace.BringDocumentForward(*document);
    });
}

TResult<bool> TGIFApplication::ExplorerShowing() {
    return Trap([&] { return context_->Thumbnails && context_->Thumbnails->ExplorerShowing(); });
}

TResult<TNone> TGIFApplication::SetExplorerShowing(bool value) {
    return Trap([&] { Thumbnails().SetExplorerShowing(value); });
}

TResult<int> TGIFApplication::ThumbnailImageFilter() { return {iftAll}; }

TResult<TNone> TGIFApplication::SetThumbnailImageFilter(int) { return {}; }

TResult<TNone> TGIFApplication::Cascade() {
    return Trap([&] { MdiArea(context_->Window).cascadeSubWindows(); });
}

TResult<TNone> TGIFApplication::TileHorizontal() {
    return Trap([&] { Tile(MdiArea(context_->Window), false); });
}

TResult<TNone> TGIFApplication::TileVertical() {
    return Trap([&] { Tile(MdiArea(context_->Window), true); });
}

TResult<int> TGIFApplication::TabIndexForFile(const QString& wsFileName) {
    return Trap([&] { return context_->Workspace().TabIndexOf(AbsolutePath(wsFileName)); });
}

// Menus that clients add are built on this model by the automated menus.
TResult<bool> TGIFApplication::MenuExists(const QString&) {
    return Trap([]() -> bool { throw EAutomationError(NotAvailable); });
}

TResult<TObjectRef> TGIFApplication::Menu(const QString&) {
    return Trap([]() -> TObjectRef { throw EAutomationError(NotAvailable); });
}

TResult<QString> TGIFApplication::ThumbNailFileName() {
    return Trap([&] { return context_->Thumbnails ? context_->Thumbnails->SelectedFileName() : QString(); });
}

} // namespace automation
