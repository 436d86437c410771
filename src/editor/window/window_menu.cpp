// The Window menu, the tab strip with its pop-up, the frame panel's size and side, and
// the toolbar toggles.
#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QLabel>
#include <QToolButton>

#include "editor/core/settings.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/window/action_icons.h"
#include "editor/window/frame_list_widget.h"
#include "editor/window/main_window.h"
#include "editor/window/mdi_child.h"

namespace editor {

namespace {

TDocument* DocumentOfTab(const QTabBar& tabs, int index) {
    return reinterpret_cast<TDocument*>(tabs.tabData(index).value<quintptr>());
}

// Lays the windows out in one row (side by side) or one column (one above the other).
void Tile(QMdiArea& area, bool sideBySide) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList())
        if (!window->isMinimized() && window->isVisible()) windows << window;
    if (windows.isEmpty()) return;
    const QRect space = area.viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (sideBySide)
            windows[i]->setGeometry(space.width() * i / n, 0, space.width() / n, space.height());
        else
            windows[i]->setGeometry(0, space.height() * i / n, space.width(), space.height() / n);
    }
}

} // namespace

void TfrmMain::WindowNextDocExecute() { mdiArea_->activateNextSubWindow(); }
void TfrmMain::WindowPrevDocExecute() { mdiArea_->activatePreviousSubWindow(); }

void TfrmMain::ConnectCommands() {
    using A = TActionId;
    const std::pair<A, void (TfrmMain::*)()> commands[] = {
        {A::FileNew, &TfrmMain::FileNewExecute},
        {A::FileOpen, &TfrmMain::FileOpenExecute},
        {A::FileClose, &TfrmMain::FileCloseExecute},
        {A::FileCloseAll, &TfrmMain::FileCloseAllExecute},
        {A::FileSave, &TfrmMain::FileSaveExecute},
        {A::FileSaveAs, &TfrmMain::FileSaveAsExecute},
        {A::FileSaveAll, &TfrmMain::FileSaveAllExecute},
        {A::FileExit, &TfrmMain::FileExitExecute},
        {A::EditUndo, &TfrmMain::EditUndoExecute},
        {A::FrameAdd, &TfrmMain::FrameAddExecute},
        {A::AnimationPlay, &TfrmMain::AnimationPlayExecute},
        {A::AnimationPause, &TfrmMain::AnimationPauseExecute},
        {A::HelpContents, &TfrmMain::HelpContentsExecute},
        {A::WindowNextDoc, &TfrmMain::WindowNextDocExecute},
        {A::WindowPrevDoc, &TfrmMain::WindowPrevDocExecute},
    };
    for (const auto& [id, handler] : commands) connect(Action(id), &QAction::triggered, this, handler);

    connect(Action(A::WindowCascade), &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
    connect(Action(A::WindowTileHorizontal), &QAction::triggered, this,
            [this] { Tile(*mdiArea_, false); });
    connect(Action(A::WindowTileVertical), &QAction::triggered, this,
            [this] { Tile(*mdiArea_, true); });
    connect(Action(A::WindowMinimizeAll), &QAction::triggered, this, [this] {
        for (QMdiSubWindow* window : mdiArea_->subWindowList()) window->showMinimized();
    });
    // Minimised windows line up along the bottom of the area by themselves.
    connect(Action(A::WindowArrangeAll), &QAction::triggered, this, [this] {
        for (QMdiSubWindow* window : mdiArea_->subWindowList())
            if (window->isMinimized()) window->showMinimized();
    });

    connect(popPlayAni_, &QMenu::aboutToShow, this, &TfrmMain::BuildPlayMenu);
    connect(popPlayAni_, &QMenu::triggered, this, [this](QAction* item) {
        const int tab = workspace_->TabIndexOf(item->text());
        if (tab < 0) return;
        StopPlayback(true);
        workspace_->BringDocumentForward(*workspace_->Documents()[size_t(tab)]);
        StartPlayback();
    });
    connect(popRecentFiles_, &QMenu::aboutToShow, this, &TfrmMain::BuildRecentFilesMenu);
    connect(mnuExport_, &QMenu::aboutToShow, this, &TfrmMain::UpdateExportMenu);
    connect(btnPosFrames_, &QToolButton::clicked, this,
            [this] { AlignFramePanel(!frameAlignRight_); });
    connect(mniAutosize_, &QAction::toggled, this, [this](bool on) {
        if (on) SetFrameSize(lbFrames_->FrameSize());
    });
    QAction* close = popTab_->addAction(tr("&Close"));
    connect(popTab_, &QMenu::aboutToShow, this,
            [this, close] { close->setEnabled(Action(TActionId::FileClose)->isEnabled()); });
    connect(close, &QAction::triggered, this, [this] {
        TDocument* document = DocumentOfTab(*tabMDI_, tabUnderPointer_);
        if (!document || !workspace_->Contains(document)) return;
        workspace_->BringDocumentForward(*document);
        CloseDocumentWindow(*document);
    });
    for (const char* name : {"mniHomePage", "mniSupport", "mniDownload"})
        if (QAction* link = findChild<QAction*>(name))
            connect(link, &QAction::triggered, this, [this, name] { OpenWebLink(name); });
}

void TfrmMain::TabClicked(int index) {
    TDocument* document = DocumentOfTab(*tabMDI_, index);
    if (document && workspace_->Contains(document)) workspace_->BringDocumentForward(*document);
}

void TfrmMain::ShowTabMenu(const QPoint& position) {
    tabUnderPointer_ = tabMDI_->tabAt(position);
    if (tabUnderPointer_ >= 0) popTab_->popup(tabMDI_->mapToGlobal(position));
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tabMDI_ && event->type() == QEvent::MouseMove) {
        // The tab under the pointer and its document's full path.
        const auto* move = static_cast<QMouseEvent*>(event);
        tabUnderPointer_ = tabMDI_->tabAt(move->position().toPoint());
        TDocument* document = DocumentOfTab(*tabMDI_, tabUnderPointer_);
        if (document && workspace_->Contains(document)) statusPanel2_->setText(document->FileName());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::BuildPlayMenu() {
    // The active document's item moves to the top and becomes the default.
    TDocument* active = workspace_->ActiveDocument();
    if (!active) return;
    for (QAction* item : popPlayAni_->actions()) {
        const bool isActive = item->data().value<quintptr>() == reinterpret_cast<quintptr>(active);
        QFont font = item->font();
        font.setBold(isActive);
        item->setFont(font);
        if (isActive && popPlayAni_->actions().first() != item) {
            popPlayAni_->removeAction(item);
            popPlayAni_->insertAction(popPlayAni_->actions().value(0), item);
        }
    }
    popPlayAni_->setDefaultAction(popPlayAni_->actions().value(0));
}

void TfrmMain::RefreshPlayMenuItem(TDocument& document) {
    for (QAction* item : popPlayAni_->actions())
        if (item->data().value<quintptr>() == reinterpret_cast<quintptr>(&document))
            item->setText(document.FileName());
}

void TfrmMain::SetFrameSize(int size) {
    HideStartupAnimation();
    storedFrameSize_ = size;
    lbFrames_->SetFrameSize(size);
    const int panel = size + 46;
    bool checked = false;
    for (QAction* item : frameSizes_->actions())
        if (item->data().toInt() == size) {
            item->setChecked(true);
            checked = true;
        }
    // Other stored sizes keep their value but check the largest item.
    if (!checked) frameSizes_->actions().last()->setChecked(true);
    SetFramePanelWidth(panel);
    PlaceStartupPanel();
}

void TfrmMain::SetFramePanelWidth(int width) {
    frameWindowWidth_ = width;
    if (!shown_) return;
    QList<int> sizes = splitter_->sizes();
    const int total = sizes[0] + sizes[1];
    if (total <= 0) return;
    const int frames = std::min(width, total / 2);
    sizes[splitter_->indexOf(pnlAniFrames_)] = frames;
    sizes[splitter_->indexOf(pnlWorkArea_)] = total - frames;
    splitter_->setSizes(sizes);
}

void TfrmMain::AlignFramePanel(bool right) {
    frameAlignRight_ = right;
    const int width = shown_ ? pnlAniFrames_->width() : frameWindowWidth_;
    splitter_->insertWidget(right ? 1 : 0, pnlAniFrames_);
    splitter_->setStretchFactor(splitter_->indexOf(pnlWorkArea_), 1);
    splitter_->setStretchFactor(splitter_->indexOf(pnlAniFrames_), 0);
    SetFramePanelWidth(width);
    mniAlignLeft_->setChecked(!right);
    mniAlignRight_->setChecked(right);
    btnPosFrames_->setIcon(ArrowIcon(!right));
    btnPosFrames_->setToolTip(right ? tr("Dock the frames on the left") : tr("Dock the frames on the right"));
    PlaceStartupPanel();
}

} // namespace editor
