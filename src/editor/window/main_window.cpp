#include "editor/window/main_window.h"

#include "editor/core/settings.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/thumbnail_drop.h"
#include "editor/document/workspace.h"
#include "editor/frames/frame_clipboard.h"
#include "editor/window/frame_list_widget.h"
#include "editor/window/inspector_panel.h"
#include "editor/window/mdi_child.h"
#include "editor/window/player.h"
#include "editor/window/qt_colors.h"
#include "editor/window/qt_dispatcher.h"
#include "gif/model/image.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace editor {

namespace {

constexpr int MaxDroppedNameLength = 255;

quintptr Key(const TDocument& document) {
    return reinterpret_cast<quintptr>(&document);
}

} // namespace

TfrmMain::TfrmMain(Settings& settings, IPrompter* prompter, QWidget* parent)
    : QMainWindow(parent), settings_(settings), qtPrompter_(this),
      prompter_(prompter ? prompter : &qtPrompter_), dispatcher_(TQtDispatcher::Create()) {
    setObjectName("frmMain");
    setWindowTitle(msg::ApplicationTitle);
    setAcceptDrops(true);

    CreateLayout();
    workspace_ = std::make_unique<TWorkspace>(*prompter_, settings_, *lbFrames_, *this);
    workspace_->Context().Progress = ProgressHandler();
    lbFrames_->SetImage(&workspace_->WorkingImage());
    lbFrames_->OnShowFrame = [this](int index) {
        if (TDocument* document = workspace_->ActiveDocument()) document->SelectedFrame = index;
        workspace_->DisplayFrame(index);
    };
    CreateActions();
    CreateMenus();
    CreateToolbars();
    CreateStatusBar();
    ConnectCommands();
    ConnectFrameCommands();
    ConnectAviMenus();
    ConnectExportCommands();
    for (int i = 0; i < ActionCount; ++i)
        ActionChanged(TActionId(i));
    workspace_->Actions().OnChange = [this](TActionId id) { ActionChanged(id); };
    workspace_->RecentFiles().OnChange = [this] { BuildRecentFilesMenu(); };

    Timer_ = new QTimer(this);
    Timer_->setObjectName("Timer");
    Timer_->setSingleShot(true);
    Timer_->setInterval(700);
    connect(Timer_, &QTimer::timeout, this, [this] { workspace_->TimerElapsed(); });

    LoadSettings();
}

TfrmMain::~TfrmMain() {
    imgAni_->DropPicture();
    SaveSettings();
    // Documents close with their windows; none may call back into a half-destroyed window.
    workspace_->Actions().OnChange = nullptr;
    workspace_->RecentFiles().OnChange = nullptr;
    for (QMdiSubWindow* window : mdiArea_->subWindowList())
        if (auto* child = qobject_cast<TMDIChild*>(window->widget())) child->Detach();
    delete mdiArea_;
    mdiArea_ = nullptr;
    clipboard_.reset();
    workspace_.reset();
}

void TfrmMain::CreateLayout() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName("Splitter");
    splitter_->setChildrenCollapsible(false);

    pnlWorkArea_ = new QWidget(splitter_);
    auto* work = new QVBoxLayout(pnlWorkArea_);
    work->setContentsMargins(0, 0, 0, 0);
    work->setSpacing(0);
    pnlMDITab_ = new QWidget(pnlWorkArea_);
    pnlMDITab_->setObjectName("pnlMDITab");
    auto* tabs = new QVBoxLayout(pnlMDITab_);
    tabs->setContentsMargins(2, 2, 2, 0);
    tabMDI_ = new QTabBar(pnlMDITab_);
    tabMDI_->setObjectName("tabMDI");
    tabMDI_->setDocumentMode(true);
    tabMDI_->setExpanding(false);
    tabMDI_->setMouseTracking(true);
    tabMDI_->setContextMenuPolicy(Qt::CustomContextMenu);
    tabMDI_->installEventFilter(this);
    tabs->addWidget(tabMDI_);
    pnlMDITab_->hide();
    work->addWidget(pnlMDITab_);
    mdiArea_ = new QMdiArea(pnlWorkArea_);
    mdiArea_->setObjectName("mdiArea");
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    work->addWidget(mdiArea_, 1);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TfrmMain::SubWindowActivated);
    connect(tabMDI_, &QTabBar::tabBarClicked, this, &TfrmMain::TabClicked);
    connect(tabMDI_, &QWidget::customContextMenuRequested, this, &TfrmMain::ShowTabMenu);

    // The start-up animation's panel lies over the empty work area.
    pnlSplash_ = new QWidget(pnlWorkArea_);
    pnlSplash_->setObjectName("pnlSplash");
    pnlSplash_->setAutoFillBackground(true);
    QPalette white = pnlSplash_->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlSplash_->setPalette(white);
    pnlSplash_->hide();
    imgAni_ = new TPlayer(dispatcher_, this);
    imgAni_->setObjectName("imgAni");
    imgAni_->hide();
    imgAni_->OnProgress = [this](gif::TObject* sender) { PlaybackProgress(sender); };

    pnlAniFrames_ = new QWidget(splitter_);
    pnlAniFrames_->setObjectName("pnlAniFrames");
    auto* frames = new QVBoxLayout(pnlAniFrames_);
    frames->setContentsMargins(2, 2, 2, 2);
    frames->setSpacing(2);
    auto* header = new QHBoxLayout;
    auto* title = new QLabel(tr("Frames"), pnlAniFrames_);
    title->setObjectName("lblFrames");
    btnPosFrames_ = new QToolButton(pnlAniFrames_);
    btnPosFrames_->setObjectName("btnPosFrames");
    btnPosFrames_->setAutoRaise(true);
    header->addWidget(title, 1);
    header->addWidget(btnPosFrames_);
    frames->addLayout(header);
    lbFrames_ = new TFrameListWidget(pnlAniFrames_);
    frames->addWidget(lbFrames_, 1);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] {
        frameWindowWidth_ = pnlAniFrames_->width();
        HideStartupAnimation();
    });
    setCentralWidget(splitter_);
}

TMDIChild* TfrmMain::ChildOf(const TDocument& document) const {
    if (!mdiArea_) return nullptr;
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        auto* child = qobject_cast<TMDIChild*>(window->widget());
        if (child && child->Document() == &document) return child;
    }
    return nullptr;
}

QRect TfrmMain::FrameListArea() const {
    if (!frameAlignRight_) return {};
    if (shown_) return QRect(pnlAniFrames_->mapToGlobal(QPoint(0, 0)), pnlAniFrames_->size());
    const QRect window = geometry();
    return QRect(window.right() - frameWindowWidth_ + 1, window.top(), frameWindowWidth_, window.height());
}

QMenu* TfrmMain::TopMenu(const QString& objectName) const {
    return findChild<QMenu*>(objectName);
}

// Documents and their windows.

void TfrmMain::CreateDocumentWindow(TDocument& document) {
    auto* child = new TMDIChild(*workspace_, document);
    child->PaintBox()->TransparentFill =
        ToQColor(gif::TColor(settings_.Value(keys::FrameTransparentColor)));
    connect(child, &TMDIChild::Closing, this,
            [this, child](TDocument* closing) { ChildClosing(child, closing); });
    TPaintBox* picture = child->PaintBox();
    picture->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(picture, &QWidget::customContextMenuRequested, this,
            [this, picture](const QPoint& at) { ShowFramesMenu(picture->mapToGlobal(at)); });
    QMdiSubWindow* window = mdiArea_->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    const int tab = tabMDI_->addTab(document.ShortName());
    tabMDI_->setTabData(tab, QVariant::fromValue(Key(document)));
    tabMDI_->setTabToolTip(tab, document.FileName());
    pnlMDITab_->show();
    QAction* item = popPlayAni_->addAction(document.FileName());
    item->setData(QVariant::fromValue(Key(document)));
    item->setStatusTip(Action(TActionId::AnimationPlay)->statusTip());
    // A new window fits its animation (within the work area); it is maximised when the
    // active one is.
    QMdiSubWindow* active = mdiArea_->activeSubWindow();
    const gif::TGIFImage& image = workspace_->WorkingImage();
    QSize size(std::max(360, image.Width() + 48), std::max(260, image.Height() + 96));
    const QSize area = mdiArea_->viewport()->size();
    if (area.width() > 200 && area.height() > 200)
        size = size.boundedTo(QSize(area.width() * 9 / 10, area.height() * 9 / 10));
    window->resize(size);
    if (active && active->isMaximized())
        window->showMaximized();
    else
        window->show();
    mdiArea_->setActiveSubWindow(window);
}

void TfrmMain::ChildClosing(TMDIChild* child, TDocument* document) {
    if (playingIn_ == child) StopPlayback(true);
    const int tab = TabOf(*document);
    if (tab >= 0) tabMDI_->removeTab(tab);
    for (QAction* item : popPlayAni_->actions())
        if (item->data().value<quintptr>() == Key(*document)) delete item;
    if (tabMDI_->count() == 0) pnlMDITab_->hide();
}

void TfrmMain::DestroyDocumentWindow(TDocument& document) {
    TMDIChild* child = ChildOf(document);
    if (!child) return;
    ChildClosing(child, &document);
    child->Detach();
    if (auto* window = qobject_cast<QMdiSubWindow*>(child->parentWidget())) window->close();
}

bool TfrmMain::CloseDocumentWindow(TDocument& document) {
    TMDIChild* child = ChildOf(document);
    if (!child) return true;
    auto* window = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    return window ? window->close() : child->close();
}

void TfrmMain::BringToFront(TDocument& document) {
    TMDIChild* child = ChildOf(document);
    if (!child) return;
    auto* window = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    if (!window) return;
    if (window->isMinimized()) window->showNormal();
    mdiArea_->setActiveSubWindow(window);
}

void TfrmMain::PostLoadEvent(TDocument& document) {
    if (TMDIChild* child = ChildOf(document))
        QCoreApplication::postEvent(child, new QEvent(LoadEventType));
}

void TfrmMain::DispatchPendingLoad(TDocument& document) {
    if (TMDIChild* child = ChildOf(document))
        QCoreApplication::sendPostedEvents(child, LoadEventType);
}

void TfrmMain::SubWindowActivated(QMdiSubWindow* window) {
    // No window (the main window lost the focus) is not a switch of documents.
    if (!window) return;
    auto* child = qobject_cast<TMDIChild*>(window->widget());
    if (!child || !child->Document()) return;
    workspace_->DocumentActivated(*child->Document());
    // The active document could not give up the working image (its edits are kept in
    // memory only): its window comes back to the front once this activation has ended.
    TDocument* active = workspace_->ActiveDocument();
    if (active && active != child->Document())
        QTimer::singleShot(0, this, [this, active] {
            if (workspace_->Contains(active)) BringToFront(*active);
        });
}

int TfrmMain::TabOf(const TDocument& document) const {
    for (int i = 0; i < tabMDI_->count(); ++i)
        if (tabMDI_->tabData(i).value<quintptr>() == Key(document)) return i;
    return -1;
}

void TfrmMain::RefreshTab(int index) {
    auto* document = reinterpret_cast<TDocument*>(tabMDI_->tabData(index).value<quintptr>());
    if (!document || !workspace_->Contains(document)) return;
    // A modified document is drawn in the highlight colour behind a bullet.
    const bool modified = document->Modified();
    tabMDI_->setTabText(index, (modified ? QString::fromUtf8("\u2022 ") : QString()) +
                                   document->ShortName());
    tabMDI_->setTabTextColor(
        index, palette().color(modified ? QPalette::Highlight : QPalette::WindowText));
    tabMDI_->setTabToolTip(index, document->FileName());
}

void TfrmMain::DocumentChanged(TDocument& document) {
    if (TMDIChild* child = ChildOf(document)) child->Refresh();
    if (inspector_ && &document == workspace_->ActiveDocument() && inspected_ != &document) {
        inspected_ = &document;
        inspector_->SetActiveDocument(&document);
    }
    const int tab = TabOf(document);
    if (tab >= 0) {
        RefreshTab(tab);
        if (&document == workspace_->ActiveDocument()) tabMDI_->setCurrentIndex(tab);
    }
    RefreshPlayMenuItem(document);
}

void TfrmMain::FrameShown(TDocument& document) {
    if (TMDIChild* child = ChildOf(document)) child->ShowFrame();
}

void TfrmMain::DocumentDeactivated(TDocument& document) {
    if (TMDIChild* child = ChildOf(document)) child->PaintBox()->show();
    statusPanel2_->clear();
}

void TfrmMain::ResetWindow() {
    pnlMDITab_->hide();
    while (tabMDI_->count() > 0)
        tabMDI_->removeTab(0);
    popPlayAni_->clear();
    statusPanel2_->clear();
}

void TfrmMain::StartResetTimer() {
    Timer_->start();
}

// Progress.

void TfrmMain::ShowProgress(int maximum) {
    prgBar_->setRange(0, std::max(1, maximum));
    prgBar_->setValue(0);
    prgBar_->show();
}

void TfrmMain::StepProgress() {
    prgBar_->setValue(prgBar_->value() + 1);
}

void TfrmMain::HideProgress() {
    prgBar_->setValue(0);
    prgBar_->hide();
}

gif::TProgressEvent TfrmMain::ProgressHandler() {
    QPointer<QProgressBar> bar(prgBar_);
    return [bar](gif::TObject*, gif::TProgressStage stage, uint8_t percent, bool, const gif::TRect&,
                 const std::string&) {
        if (!bar) return;
        switch (stage) {
        case gif::TProgressStage::psStarting:
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->show();
            break;
        case gif::TProgressStage::psRunning:
            bar->setValue(percent);
            break;
        case gif::TProgressStage::psEnding:
            bar->setValue(0);
            bar->hide();
            break;
        }
    };
}

bool TfrmMain::CanPaste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

void TfrmMain::RepaintFrameList() {
    lbFrames_->RefreshThumbnails();
}

// The Frame Inspector: without one given, its button keeps the visibility it would have.
void TfrmMain::InspectorShowFrame(int index) {
    if (inspector_) inspector_->ShowFrame(index);
}

void TfrmMain::InspectorClear() {
    inspected_ = nullptr;
    if (!inspector_) return;
    inspector_->SetActiveDocument(nullptr);
    inspector_->Clear();
}

void TfrmMain::SetInspectorVisible(bool visible) {
    inspectorVisible_ = visible;
    if (mniInspector_) mniInspector_->setChecked(visible);
    if (inspector_) inspector_->SetPanelVisible(visible);
}

int TfrmMain::InspectorRow() {
    return inspector_ ? inspector_->SelectedRow() : -1;
}

void TfrmMain::SelectInspectorRow(int row) {
    if (inspector_) inspector_->SelectRow(row);
}

void TfrmMain::SetInspector(IInspectorPanel* inspector) {
    inspector_ = inspector;
    if (!inspector_) return;
    MarkAvailable(mniInspector_);
    mniInspector_->setEnabled(true);
    connect(mniInspector_, &QAction::triggered, this, [this](bool on) { SetInspectorVisible(on); });
    inspected_ = workspace_->ActiveDocument();
    inspector_->SetActiveDocument(inspected_);
    inspector_->SetPanelVisible(inspectorVisible_);
}

// Window events.

bool TfrmMain::event(QEvent* event) {
    if (event->type() == StartupEventType) {
        StartupEvent();
        return true;
    }
    switch (event->type()) {
    case QEvent::StatusTip:
        // The hint of what is under the pointer goes to status panel 2.
        statusPanel2_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    default:
        return QMainWindow::event(event);
    }
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        SetFramePanelWidth(frameWindowWidth_);
    }
    if (startupEventPosted_) return;
    startupEventPosted_ = true;
    QCoreApplication::postEvent(this, new QEvent(StartupEventType));
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    StopPlayback(true);
    // Every close question first: a Cancel on any of them leaves every document open.
    if (!workspace_->CloseQueryAll()) {
        event->ignore();
        return;
    }
    // Then they all go without asking again (those answered No lose their changes).
    std::vector<TDocument*> documents;
    for (const auto& document : workspace_->Documents())
        documents.push_back(document.get());
    for (TDocument* document : documents)
        if (workspace_->Contains(document)) workspace_->CloseDocumentNow(*document);
    event->accept();
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(ThumbnailMimeType)) {
        workspace_->DropOnMainWindow = true;
        event->acceptProposedAction();
        return;
    }
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
    const QString thumbnail = ThumbnailPath(*event->mimeData());
    if (!thumbnail.isEmpty()) {
        event->acceptProposedAction();
        if (startupShown_) HideStartupAnimation();
        DropThumbnail(*workspace_, thumbnail, TThumbnailDropTarget::MainWindow);
        return;
    }
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        if (path.isEmpty() || path.size() > MaxDroppedNameLength) continue;
        workspace_->OpenFileByType(path);
    }
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (startupShown_) HideStartupAnimation();
}

} // namespace editor
