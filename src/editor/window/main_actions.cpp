// The main window's actions, menus, toolbars and status bar, and the enabling that the
// menus apply when they open.
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/window/action_icons.h"
#include "editor/window/main_window.h"
#include "gif/model/image.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace editor {

namespace {

using A = TActionId;

// What each action does, shown in the status bar while the pointer is on it.
const char* Hint(A id) {
    switch (id) {
    case A::FileNew:
        return "Creates a new animation";
    case A::FileOpen:
        return "Opens an existing animation";
    case A::FileClose:
        return "Closes the current animation";
    case A::FileCloseAll:
        return "Closes every open animation";
    case A::FileSave:
        return "Saves the current animation";
    case A::FileSaveAs:
        return "Saves the current animation under a new name";
    case A::FileSaveAll:
        return "Saves every modified animation";
    case A::FileExit:
        return "Quits GIF Loopwright";
    case A::EditUndo:
        return "Undoes the last change";
    case A::EditCut:
        return "Moves the selected frame to the clipboard";
    case A::EditCopy:
        return "Copies the selected frame to the clipboard";
    case A::EditPaste:
        return "Inserts the picture on the clipboard as a frame";
    case A::FrameAdd:
        return "Adds pictures as frames";
    case A::FrameDelete:
        return "Deletes the selected frame";
    case A::FrameMoveBegin:
        return "Moves the selected frame to the beginning";
    case A::FrameMoveEnd:
        return "Moves the selected frame to the end";
    case A::FrameMoveUp:
        return "Moves the selected frame up";
    case A::FrameMoveDown:
        return "Moves the selected frame down";
    case A::FrameGlobalChange:
        return "Changes properties of every frame";
    case A::AnimationPlay:
        return "Plays the animation";
    case A::AnimationPause:
        return "Stops playing the animation";
    case A::AnimationInfo:
        return "Shows and sets how often the animation plays";
    case A::AnimationPalette:
        return "Edits the global palette";
    case A::AnimationOptimize:
        return "Makes the animation smaller";
    case A::AnimationResize:
        return "Changes the size of the animation";
    case A::HelpContents:
        return "Shows the help contents";
    case A::WindowNextDoc:
        return "Activates the next animation";
    case A::WindowPrevDoc:
        return "Activates the previous animation";
    case A::WindowCascade:
        return "Arranges the windows overlapping";
    case A::WindowTileHorizontal:
        return "Arranges the windows one above the other";
    case A::WindowTileVertical:
        return "Arranges the windows side by side";
    case A::WindowMinimizeAll:
        return "Minimizes every window";
    case A::WindowArrangeAll:
        return "Arranges the minimized windows";
    case A::ThumbsBrowse:
        return "Chooses the folder of the thumbnail window";
    case A::ThumbsRefresh:
        return "Reads the thumbnails again";
    case A::ThumbsClear:
        return "Empties the thumbnail window";
    }
    return "";
}

} // namespace

void TfrmMain::CreateActions() {
    const QStyle& style = *this->style();
    for (int i = 0; i < ActionCount; ++i) {
        const TActionInfo& info = ActionInfo(TActionId(i));
        auto* action = new QAction(QString::fromUtf8(info.Caption), this);
        action->setObjectName(info.Name);
        if (*info.Shortcut) action->setShortcut(QKeySequence(QString::fromUtf8(info.Shortcut)));
        action->setStatusTip(Hint(info.Id));
        action->setIcon(ActionIcon(info.Id, style));
        action->setProperty("documentGroup", info.Document);
        actions_[size_t(i)] = action;
    }
    MarkUnavailable(Action(A::FileNew), "Comes with the animation wizard; Add Frame starts a "
                                        "new animation meanwhile");
    for (A id : {A::ThumbsBrowse, A::ThumbsRefresh, A::ThumbsClear})
        MarkUnavailable(Action(id), "Comes with the thumbnail browser");
}

void TfrmMain::MarkUnavailable(QAction* action, const QString& why) {
    action->setProperty("unavailable", why);
    action->setToolTip(action->text().remove('&').remove("...") + " - " + why);
    action->setEnabled(false);
}

void TfrmMain::MarkAvailable(QAction* action) {
    action->setProperty("unavailable", QVariant());
    action->setToolTip(action->text().remove('&').remove("..."));
}

QAction* TfrmMain::ProvideMenuItem(const QString& objectName) {
    for (QAction* item : findChildren<QAction*>(objectName)) {
        MarkAvailable(item);
        item->setEnabled(true);
        return item;
    }
    return nullptr;
}

void TfrmMain::ProvideAction(TActionId id) {
    MarkAvailable(Action(id));
    ActionChanged(id);
}

void TfrmMain::SetStatusText(const QString& text) {
    statusPanel2_->setText(text);
}

void TfrmMain::SetToolbarsFlat(bool flat, int rowHeight) {
    normalStyle_ = !flat;
    for (QToolBar* bar : {tbStandard_, tbAnimation_, tbFrame_}) {
        for (QToolButton* button : bar->findChildren<QToolButton*>())
            button->setAutoRaise(flat);
        bar->setMinimumHeight(rowHeight);
    }
}

void TfrmMain::ActionChanged(TActionId id) {
    QAction* action = Action(id);
    if (!action) return;
    const TActionStates& states = workspace_->Actions();
    action->setText(states.Caption(id));
    action->setEnabled(states.Enabled(id) && !action->property("unavailable").isValid());
}

void TfrmMain::CreateMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [bar](const char* name, const QString& caption) {
        QMenu* created = bar->addMenu(caption);
        created->setObjectName(name);
        return created;
    };
    auto unavailable = [this](QMenu* owner, const QString& caption, const QString& why) {
        QAction* item = owner->addAction(caption);
        MarkUnavailable(item, why);
        return item;
    };

    QMenu* file = menu("mnuFile", tr("&File"));
    file->addAction(Action(A::FileNew));
    file->addAction(Action(A::FileOpen));
    mnuRecentFiles_ = file->addMenu(tr("&Recent Files"));
    mnuRecentFiles_->setObjectName("mnuRecentFiles");
    file->addAction(Action(A::FileClose));
    file->addAction(Action(A::FileCloseAll));
    file->addSeparator();
    file->addAction(Action(A::FileSave));
    file->addAction(Action(A::FileSaveAs));
    file->addAction(Action(A::FileSaveAll));
    file->addSeparator();
    QMenu* import = file->addMenu(tr("&Import"));
    import->setObjectName("mnuImport");
    mniFileImportAvi_ = import->addAction(tr("&AVI Animation"));
    mnuExport_ = file->addMenu(tr("&Export"));
    mnuExport_->setObjectName("mnuExport");
    exportItems_[0] = unavailable(mnuExport_, tr("&Single Images..."), "Comes with the exporter");
    exportItems_[1] = unavailable(mnuExport_, tr("As &AVI Animation..."), "Comes with AVI export");
    exportItems_[2] = unavailable(mnuExport_, tr("As &HTML Page..."), "Comes with the exporter");
    file->addSeparator();
    file->addAction(Action(A::FileExit));

    QMenu* edit = menu("mnuEdit", tr("&Edit"));
    edit->addAction(Action(A::EditUndo));
    edit->addSeparator();
    edit->addAction(Action(A::EditCut));
    edit->addAction(Action(A::EditCopy));
    edit->addAction(Action(A::EditPaste));
    mniPasteComments_ = edit->addAction(tr("Paste Comme&nts"));
    mniPasteComments_->setObjectName("mniPasteComments");
    mniPasteComments_->setStatusTip("Adds the text on the clipboard as a comment");
    edit->addSeparator();
    edit->addAction(Action(A::FrameAdd));
    edit->addAction(Action(A::FrameDelete));
    edit->addSeparator();
    edit->addAction(Action(A::FrameMoveBegin));
    edit->addAction(Action(A::FrameMoveUp));
    edit->addAction(Action(A::FrameMoveDown));
    edit->addAction(Action(A::FrameMoveEnd));
    edit->addSeparator();
    edit->addAction(Action(A::FrameGlobalChange));
    connect(edit, &QMenu::aboutToShow, this, &TfrmMain::UpdateEditMenu);

    QMenu* view = menu("mnuView", tr("&View"));
    QMenu* sizes = view->addMenu(tr("Frame &Size"));
    sizes->setObjectName("mnuFrameSize");
    frameSizes_ = new QActionGroup(this);
    for (int size : {80, 96, 112, 128, 144, 160}) {
        QAction* item = sizes->addAction(QString::number(size));
        item->setCheckable(true);
        item->setData(size);
        frameSizes_->addAction(item);
        connect(item, &QAction::triggered, this, [this, size] { SetFrameSize(size); });
    }
    mniAutosize_ = view->addAction(tr("&Autosize Splitter Bar"));
    mniAutosize_->setCheckable(true);
    QMenu* frameWindow = view->addMenu(tr("Frame &Window"));
    mniAlignLeft_ = frameWindow->addAction(tr("Align &Left"));
    mniAlignRight_ = frameWindow->addAction(tr("Align &Right"));
    for (QAction* item : {mniAlignLeft_, mniAlignRight_})
        item->setCheckable(true);
    connect(mniAlignLeft_, &QAction::triggered, this, [this] { AlignFramePanel(false); });
    connect(mniAlignRight_, &QAction::triggered, this, [this] { AlignFramePanel(true); });
    unavailable(view, tr("Thu&mbnail Window"), "Comes with the thumbnail browser")
        ->setObjectName("mniThumbnailWindow");
    mniInspector_ = view->addAction(InspectorIcon(), tr("Frame &Inspector"));
    mniInspector_->setCheckable(true);
    mniInspector_->setStatusTip("Show or Hide the frame inspector");
    MarkUnavailable(mniInspector_, "Comes with the Frame Inspector");
    QMenu* toolbars = view->addMenu(tr("&Toolbars"));
    const QString names[3] = {tr("&Standard"), tr("&Animation"), tr("&Frame")};
    for (int i = 0; i < 3; ++i) {
        toolbarToggles_[size_t(i)] = toolbars->addAction(names[i]);
        toolbarToggles_[size_t(i)]->setCheckable(true);
        toolbarToggles_[size_t(i)]->setChecked(true);
    }

    QMenu* tools = menu("mnuTools", tr("&Tools"));
    tools->addAction(Action(A::AnimationPlay));
    tools->addAction(Action(A::AnimationPause));
    tools->addSeparator();
    tools->addAction(Action(A::AnimationInfo));
    tools->addAction(Action(A::AnimationPalette));
    tools->addAction(Action(A::AnimationOptimize));
    tools->addAction(Action(A::AnimationResize));
    mniReverse_ = tools->addAction(tr("&Reverse Frame Order"));
    mniReverse_->setObjectName("mniReverse");
    mniReverse_->setStatusTip("Reverses the order of the frames");
    tools->addSeparator();
    mniHtmlCode_ = tools->addAction(tr("HTML &Code..."));
    mniHtmlCode_->setObjectName("mniHtmlCode");
    mniHtmlCode_->setStatusTip("Shows the HTML code that puts the animation on a web page");
    unavailable(tools, tr("Program &Options..."), "Comes with the options dialog")
        ->setObjectName("mniToolsOptions");
    connect(tools, &QMenu::aboutToShow, this, &TfrmMain::UpdateToolsMenu);

    // Plug-ins show their menu only when some are loaded.
    QMenu* plugins = menu("mnuPlugins", tr("&Plug-ins"));
    plugins->menuAction()->setVisible(false);

    QMenu* window = menu("mnuWindow", tr("&Window"));
    window->addAction(Action(A::WindowNextDoc));
    window->addAction(Action(A::WindowPrevDoc));
    window->addSeparator();
    for (A id : {A::WindowCascade, A::WindowTileHorizontal, A::WindowTileVertical,
                 A::WindowMinimizeAll, A::WindowArrangeAll})
        window->addAction(Action(id));
    connect(window, &QMenu::aboutToShow, this, &TfrmMain::UpdateWindowMenu);

    QMenu* help = menu("mnuHelp", tr("&Help"));
    help->addAction(Action(A::HelpContents));
    QAction* pluginInfo = help->addAction(tr("&Plugin Info..."));
    pluginInfo->setVisible(false);
    unavailable(help, tr("&Tip of the Day..."), "Comes with the wizards window")
        ->setObjectName("mniTipOfDay");
    unavailable(help, tr("&Welcome Dialog..."), "Comes with the wizards window")
        ->setObjectName("mniWelcome");
    help->addSeparator();
    QAction* home = help->addAction(tr("GIF Loopwright &Home Page"));
    home->setObjectName("mniHomePage");
    QAction* support = help->addAction(tr("&Support Online"));
    support->setObjectName("mniSupport");
    QAction* download = help->addAction(tr("&Download Updates"));
    download->setObjectName("mniDownload");
    help->addSeparator();
    unavailable(help, tr("&About GIF Loopwright..."), "Comes with the options dialog")
        ->setObjectName("mniHelpAbout");

    popPlayAni_ = new QMenu(this);
    popPlayAni_->setObjectName("popPlayAni");
    popRecentFiles_ = new QMenu(this);
    popRecentFiles_->setObjectName("popRecentFiles");
    popTab_ = new QMenu(this);
    popTab_->setObjectName("popTab");
    popFrames_ = new QMenu(this);
    popFrames_->setObjectName("popFrames");
    for (A id : {A::FrameAdd, A::EditCut, A::EditCopy, A::EditPaste, A::FrameDelete, A::FrameMoveUp,
                 A::FrameMoveDown})
        popFrames_->addAction(Action(id));
    BuildRecentFilesMenu();
}

void TfrmMain::CreateToolbars() {
    auto toolbar = [this](const char* name, const QString& title) {
        QToolBar* bar = addToolBar(title);
        bar->setObjectName(name);
        bar->setIconSize(QSize(20, 20));
        return bar;
    };
    tbStandard_ = toolbar("tbStandard", tr("Standard"));
    tbStandard_->addAction(Action(A::FileNew));
    tbStandard_->addAction(Action(A::FileOpen));
    if (auto* open =
            qobject_cast<QToolButton*>(tbStandard_->widgetForAction(Action(A::FileOpen)))) {
        open->setMenu(popRecentFiles_);
        open->setPopupMode(QToolButton::MenuButtonPopup);
    }
    tbStandard_->addAction(Action(A::FileSave));
    tbStandard_->addAction(Action(A::FileSaveAll));
    tbStandard_->addSeparator();
    tbStandard_->addAction(Action(A::EditUndo));
    tbStandard_->addAction(Action(A::EditCut));
    tbStandard_->addAction(Action(A::EditCopy));
    tbStandard_->addAction(Action(A::EditPaste));
    tbStandard_->addSeparator();
    tbStandard_->addAction(Action(A::HelpContents));

    tbFrame_ = toolbar("tbFrame", tr("Frame"));
    for (A id : {A::FrameAdd, A::FrameDelete, A::FrameMoveBegin, A::FrameMoveUp, A::FrameMoveDown,
                 A::FrameMoveEnd, A::FrameGlobalChange})
        tbFrame_->addAction(Action(id));
    tbFrame_->addAction(mniInspector_);

    tbAnimation_ = toolbar("tbAnimation", tr("Animation"));
    tbAnimation_->addAction(Action(A::AnimationPlay));
    if (auto* play =
            qobject_cast<QToolButton*>(tbAnimation_->widgetForAction(Action(A::AnimationPlay)))) {
        play->setMenu(popPlayAni_);
        play->setPopupMode(QToolButton::MenuButtonPopup);
    }
    for (A id : {A::AnimationPause, A::AnimationInfo, A::AnimationPalette, A::AnimationOptimize,
                 A::AnimationResize})
        tbAnimation_->addAction(Action(id));

    QToolBar* bars[3] = {tbStandard_, tbAnimation_, tbFrame_};
    for (int i = 0; i < 3; ++i) {
        QAction* toggle = toolbarToggles_[size_t(i)];
        QToolBar* bar = bars[i];
        connect(toggle, &QAction::toggled, bar, &QToolBar::setVisible);
        connect(bar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
    }
}

void TfrmMain::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    bar->setSizeGripEnabled(true);
    statusPanel0_ = new QLabel(bar);
    statusPanel0_->setMinimumWidth(60);
    prgBar_ = new QProgressBar(bar);
    prgBar_->setObjectName("prgBar");
    prgBar_->setMaximumWidth(180);
    prgBar_->setMaximumHeight(16);
    prgBar_->setTextVisible(false);
    prgBar_->hide();
    statusPanel2_ = new QLabel(bar);
    statusPanel2_->setObjectName("StatusPanel2");
    bar->addWidget(statusPanel0_);
    bar->addWidget(prgBar_);
    bar->addWidget(statusPanel2_, 1);
}

void TfrmMain::BuildRecentFilesMenu() {
    const TRecentFiles& recent = workspace_->RecentFiles();
    for (QMenu* menu : {mnuRecentFiles_, popRecentFiles_}) {
        if (!menu) continue;
        menu->clear();
        for (int i = 0; i < recent.Count(); ++i) {
            QAction* item = menu->addAction(recent.Captions()[i]);
            item->setStatusTip(TRecentFiles::ItemHint);
            connect(item, &QAction::triggered, this, [this, i] { workspace_->OpenRecentFile(i); });
        }
    }
    if (mnuRecentFiles_) mnuRecentFiles_->menuAction()->setVisible(recent.Count() > 0);
}

// Enabling applied when menus open.

void TfrmMain::UpdateEditMenu() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const bool enabled = data && data->hasText() && workspace_->ActiveDocument();
    if (!mniPasteComments_->property("unavailable").isValid())
        mniPasteComments_->setEnabled(enabled);
}

void TfrmMain::UpdateToolsMenu() {
    const bool enabled = workspace_->ActiveDocument() && !workspace_->Actions().Playing();
    for (QAction* item : {mniReverse_, mniHtmlCode_})
        if (!item->property("unavailable").isValid()) item->setEnabled(enabled);
}

void TfrmMain::UpdateWindowMenu() {
    const bool enabled = Action(A::WindowCascade)->isEnabled();
    Action(A::WindowNextDoc)->setEnabled(enabled);
    Action(A::WindowPrevDoc)->setEnabled(enabled);
}

void TfrmMain::UpdateExportMenu() {
    const bool enabled = !workspace_->WorkingImage().Empty();
    for (QAction* item : exportItems_)
        if (!item->property("unavailable").isValid()) item->setEnabled(enabled);
}

void TfrmMain::SetMenusEnabled(bool enabled) {
    for (const char* name :
         {"mnuFile", "mnuEdit", "mnuTools", "mnuPlugins", "mnuWindow", "mnuHelp"})
        if (QMenu* menu = TopMenu(name)) menu->menuAction()->setEnabled(enabled);
}

} // namespace editor
