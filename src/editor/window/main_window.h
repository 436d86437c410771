// TfrmMain: the editor's main window. It owns the workspace (documents and the working
// image), shows documents as MDI windows with a tab strip, the frame list beside them,
// menus, three toolbars and the status bar, and wires every action to its command. The
// commands live in files by area: file_menu.cpp, window_menu.cpp, help_menu.cpp,
// playback.cpp; start-up and settings in startup.cpp and main_settings.cpp.
#pragma once

#include "editor/document/actions.h"
#include "editor/document/workspace_host.h"
#include "editor/ui/qt_prompter.h"

#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <vector>
#include <memory>

class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QSplitter;
class QTabBar;
class QTimer;
class QToolBar;
class QToolButton;

namespace gif {
class TObject;
}

namespace editor {

class IAnimationPrompts;
class IProgressWindow;
class IImageExporter;
class IInspectorPanel;
class IWizards;
class TFrameClipboard;
enum class TFrameMove;
class Settings;
class TDocument;
class TFrameListWidget;
class TMDIChild;
class TPlayer;
class TQtDispatcher;
class TWorkspace;

// The deferred start-up event the main window posts itself when first shown.
inline constexpr QEvent::Type StartupEventType = QEvent::Type(QEvent::User + 77);

class TfrmMain : public QMainWindow, public IWorkspaceHost {
    Q_OBJECT
  public:
    // FormCreate: builds the window and loads the settings. Questions go to `prompter`
    // (tests answer from a script), to the window's own message boxes when none.
    explicit TfrmMain(Settings& settings, IPrompter* prompter = nullptr, QWidget* parent = nullptr);
    // FormDestroy: drops the player's picture and saves the settings.
    ~TfrmMain() override;

    TWorkspace& Workspace() { return *workspace_; }
    IPrompter& Prompter() { return *prompter_; }
    // The window's own message boxes and file dialogs.
    TQtPrompter& QtPrompter() { return qtPrompter_; }
    QAction* Action(TActionId id) const { return actions_[size_t(id)]; }
    TMDIChild* ChildOf(const TDocument& document) const;
    QTabBar* Tabs() const { return tabMDI_; }
    QMenu* PlayMenu() const { return popPlayAni_; }
    TPlayer* Player() const { return imgAni_; }
    QMenu* TopMenu(const QString& objectName) const;
    // The frame panel on the screen when it is docked right (where it would be, before
    // the window shows); empty when it is docked left.
    QRect FrameListArea() const;
    // Whether the start-up animation is showing.
    bool StartupAnimationShown() const { return startupShown_; }
    // The stored window state asks for a maximised window.
    bool StartMaximized() const { return startMaximized_; }
    // Runs `work` from the event loop once the deferred start-up event has been handled,
    // by the window and by those watching for it (add-ins, thumbnails), so that a question
    // asked there never shows behind their windows. Queued at once when it already was.
    void AfterStartup(std::function<void()> work);

    // Playback (playback.cpp).
    void StartPlayback();
    void StopPlayback(bool release) override;
    void PausePlayback() override;

    // IWorkspaceHost: documents and their windows.
    void CreateDocumentWindow(TDocument& document) override;
    void DestroyDocumentWindow(TDocument& document) override;
    bool CloseDocumentWindow(TDocument& document) override;
    void BringToFront(TDocument& document) override;
    void PostLoadEvent(TDocument& document) override;
    void DispatchPendingLoad(TDocument& document) override;
    void DocumentChanged(TDocument& document) override;
    void FrameShown(TDocument& document) override;
    void DocumentDeactivated(TDocument& document) override;
    void ResetWindow() override;
    void StartResetTimer() override;
    void ShowProgress(int maximum) override;
    void StepProgress() override;
    void HideProgress() override;
    gif::TProgressEvent ProgressHandler() override;
    void HideStartupAnimation() override;
    bool CanPaste() override;
    void RepaintFrameList() override;
    void InspectorShowFrame(int index) override;
    void InspectorClear() override;
    void SetInspectorVisible(bool visible) override;
    int InspectorRow() override;
    void SelectInspectorRow(int row) override;
    // The Frame Inspector window; its toolbar button and menu item work once it is given.
    void SetInspector(IInspectorPanel* inspector);
    // The dialogs that the animation commands ask with; those commands stay unavailable
    // (with the reason as tooltip) until they are given.
    void SetAnimationPrompts(IAnimationPrompts* prompts);
    TFrameClipboard& FrameClipboard() { return *clipboard_; }
    // The progress window of the AVI export; "As AVI Animation..." stays unavailable until
    // it is given (avi_menu.cpp).
    void SetProgressWindowFactory(std::function<std::unique_ptr<IProgressWindow>()> factory);
    // The wizards window (wizards_menu.cpp): New, Optimize and the welcome window use it
    // once it is given.
    void SetWizards(IWizards* wizards);
    QMenu* RecentFilesMenu() const { return mnuRecentFiles_; }
    // For the parts that plug into the window (options, thumbnail browser): the item or
    // action marked unavailable until its part came, now made available and returned.
    QAction* ProvideMenuItem(const QString& objectName);
    void ProvideAction(TActionId id);
    // The status bar's text panel.
    void SetStatusText(const QString& text);
    // Toolbar buttons flat or raised, with the row height of the toolbar band.
    void SetToolbarsFlat(bool flat, int rowHeight);
    bool ToolbarsFlat() const { return !normalStyle_; }
    QToolBar* StandardToolbar() const { return tbStandard_; }
    // The Export Images dialog; "&Single Images..." stays unavailable until it is given.
    void SetImageExporter(IImageExporter* exporter);

  public slots:
    // File menu (file_menu.cpp).
    void FileNewExecute();
    void FileOpenExecute();
    void FileCloseExecute();
    void FileCloseAllExecute();
    void FileSaveExecute();
    void FileSaveAsExecute();
    void FileSaveAllExecute();
    void FileExitExecute();
    void FrameAddExecute();
    void EditUndoExecute();
    // Playback (playback.cpp).
    void AnimationPlayExecute();
    void AnimationPauseExecute();
    // Window menu and tabs (window_menu.cpp).
    void WindowNextDocExecute();
    void WindowPrevDocExecute();
    void SetFrameSize(int size);
    void AlignFramePanel(bool right);
    // Help menu (help_menu.cpp).
    void HelpContentsExecute();
    void OpenWebLink(const char* name);
    // Frame and animation editing (frame_menu.cpp).
    void EditCutExecute();
    void EditCopyExecute();
    void EditPasteExecute();
    void EditPasteCommentsExecute();
    void FrameDeleteExecute();
    void FrameMoveBeginExecute();
    void FrameMoveEndExecute();
    void FrameMoveUpExecute();
    void FrameMoveDownExecute();
    void AnimationOptimizeExecute();
    void ReverseFrameOrderExecute();
    // These ask with the dialogs first (SetAnimationPrompts).
    void FrameGlobalChangeExecute();
    void AnimationInfoExecute();
    void AnimationPaletteExecute();
    void AnimationResizeExecute();
    void HtmlCodeExecute();
    // Import and export of videos (avi_menu.cpp).
    void mniFileImportAviClick();
    void mniFileExportAVIClick();
    // File > Export (export_menu.cpp).
    void mniFileExportImageClick();
    void mniFileExportHTMLClick();

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Construction (main_window.cpp, main_actions.cpp).
    void CreateLayout();
    void CreateActions();
    void CreateMenus();
    void CreateToolbars();
    void CreateStatusBar();
    void ActionChanged(TActionId id);
    void MarkUnavailable(QAction* action, const QString& why);
    // The part the action waited for has come; the caller sets its enabled state.
    void MarkAvailable(QAction* action);
    void ConnectCommands();
    void UpdateWindowMenu();
    void UpdateToolsMenu();
    void UpdateEditMenu();
    void UpdateExportMenu();
    void SetMenusEnabled(bool enabled);

    // Documents and tabs (main_window.cpp, window_menu.cpp).
    void SubWindowActivated(QMdiSubWindow* window);
    void ChildClosing(TMDIChild* child, TDocument* document);
    int TabOf(const TDocument& document) const;
    void RefreshTab(int index);
    void TabClicked(int index);
    void ShowTabMenu(const QPoint& position);
    void BuildRecentFilesMenu();
    void BuildPlayMenu();
    void RefreshPlayMenuItem(TDocument& document);

    // Start-up and settings (startup.cpp, main_settings.cpp).
    void LoadSettings();
    void SaveSettings();
    void StartupEvent();
    void ShowStartupAnimation();
    void PlaceStartupPanel();
    // The open dialogs' folder; the save dialog follows it (file_menu.cpp).
    void SetOpenDir(const QString& folder);
    // The frame panel's width, applied once the window has its size.
    void SetFramePanelWidth(int width);

    // Playback (playback.cpp).
    void PlaybackProgress(gif::TObject* sender);

    // Runs a wizard when the window has them (wizards_menu.cpp); false otherwise.
    bool ShowWizard(void (IWizards::*which)());
    void ShowWelcomeAtStartup();

    // Frame commands (frame_menu.cpp): playback stops and the start-up animation goes first.
    void ConnectFrameCommands();
    void BeginFrameCommand();
    void MoveSelected(TFrameMove move);
    void ShowFramesMenu(const QPoint& globalPos);

    // Video import and AVI export menu items (avi_menu.cpp).
    void ConnectAviMenus();
    // File > Export's picture and page items (export_menu.cpp).
    void ConnectExportCommands();

    Settings& settings_;
    TQtPrompter qtPrompter_;
    IPrompter* prompter_;
    std::shared_ptr<TQtDispatcher> dispatcher_;
    std::unique_ptr<TWorkspace> workspace_;
    std::array<QAction*, ActionCount> actions_{};

    // Layout.
    QSplitter* splitter_ = nullptr;
    QWidget* pnlAniFrames_ = nullptr;
    TFrameListWidget* lbFrames_ = nullptr;
    QWidget* pnlWorkArea_ = nullptr;
    QWidget* pnlMDITab_ = nullptr;
    QTabBar* tabMDI_ = nullptr;
    QMdiArea* mdiArea_ = nullptr;
    QWidget* pnlSplash_ = nullptr;
    TPlayer* imgAni_ = nullptr;
    QToolBar* tbStandard_ = nullptr;
    QToolBar* tbAnimation_ = nullptr;
    QToolBar* tbFrame_ = nullptr;
    QLabel* statusPanel0_ = nullptr;
    QLabel* statusPanel2_ = nullptr;
    QProgressBar* prgBar_ = nullptr;
    QTimer* Timer_ = nullptr;

    // Menus and menu items without an action of the table.
    QMenu* mnuRecentFiles_ = nullptr;
    QMenu* popRecentFiles_ = nullptr;
    QMenu* popPlayAni_ = nullptr;
    QMenu* popTab_ = nullptr;
    QMenu* popFrames_ = nullptr;
    QMenu* mnuExport_ = nullptr;
    QAction* mniFileImportAvi_ = nullptr;
    QAction* mniPasteComments_ = nullptr;
    QAction* mniReverse_ = nullptr;
    QAction* mniHtmlCode_ = nullptr;
    QAction* mniAutosize_ = nullptr;
    QAction* mniAlignLeft_ = nullptr;
    QAction* mniAlignRight_ = nullptr;
    QAction* mniInspector_ = nullptr;
    QActionGroup* frameSizes_ = nullptr;
    QToolButton* btnPosFrames_ = nullptr;
    std::array<QAction*, 3> toolbarToggles_{};
    std::array<QAction*, 3> exportItems_{};

    // State.
    QString openDir_; // the open dialogs' folder ("InitialDir")
    int tabUnderPointer_ = -1;
    int frameWindowWidth_ = 200;
    bool frameAlignRight_ = true;
    bool inspectorVisible_ = true;
    bool startupShown_ = false;
    bool startMaximized_ = false;
    bool normalStyle_ = false; // toolbar buttons raised ("NormalStyle")
    int storedFrameSize_ = 160;
    bool startupEventPosted_ = false;
    bool startupHandled_ = false;
    std::vector<std::function<void()>> afterStartup_;
    bool shown_ = false;
    QPointer<TMDIChild> playingIn_;
    IInspectorPanel* inspector_ = nullptr;
    IAnimationPrompts* animationPrompts_ = nullptr;
    IWizards* wizards_ = nullptr;
    IImageExporter* imageExporter_ = nullptr;
    std::unique_ptr<TFrameClipboard> clipboard_;
    TDocument* inspected_ = nullptr; // the document the inspector was last given
    std::function<std::unique_ptr<IProgressWindow>()> createProgress_;
};

} // namespace editor
