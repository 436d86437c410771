#include "dialogs/thumbnails/thumbs_panel.h"

#include "dialogs/options/options_dialog.h"
#include "dialogs/thumbnails/thumb_geometry.h"
#include "dialogs/thumbnails/thumb_scanner.h"
#include "editor/core/bitmap_image.h"
#include "editor/core/edit_context.h"
#include "editor/core/file_kinds.h"
#include "editor/core/picture_routines.h"
#include "editor/core/prompter.h"
#include "editor/core/settings.h"
#include "editor/core/shell.h"
#include "editor/document/actions.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "gif/graphics/bitmap.h"
#include "io/xpress/xpress.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <new>

namespace dialogs {

using editor::TButtons;
using editor::TMessageKind;

TPictureProperties ReadPictureProperties(const QString& path, const TThumbRecord& record) {
    TPictureProperties properties;
    properties.FileName = record.Name;
    io::TXpress xpress;
    xpress.SetFileName(QFile::encodeName(path).toStdString());
    if (xpress.Error() != io::xeNone) {
        properties.FileSize = "KB";
        properties.Dimensions = "Unable to load image";
        return properties;
    }
    properties.FileSize = QString("%1 KB").arg(record.KB);
    properties.Dimensions = QString("%1 x %2").arg(record.Width).arg(record.Height);
    const std::vector<uint8_t> dib = xpress.CopyPicture();
    xpress.Release();
    try {
        gif::TBitmap bitmap;
        bitmap.LoadFromDIB(dib);
        properties.Picture = editor::BitmapImage(bitmap).copy();
    } catch (const std::exception&) {
    }
    return properties;
}

TThumbsPanel::TThumbsPanel(editor::TWorkspace& workspace, editor::Settings& settings,
                           editor::IPrompter& prompter, QWidget* parent)
    : QWidget(parent), workspace_(workspace), settings_(settings), prompter_(prompter),
      scanner_(std::make_unique<TThumbScanner>(&cache_)) {
    setObjectName("pnlThumbs");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* bar = new QWidget(this);
    bar->setObjectName("pnlThumbsBar");
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(2, 1, 2, 1);
    btnHideExplorer = new QToolButton(bar);
    btnHideExplorer->setObjectName("btnHideExplorer");
    btnHideExplorer->setAutoRaise(true);
    btnHideExplorer->setToolTip("Show/Hide Explorer");
    btnHideExplorer->setStatusTip("Show or Hide Explorer Window");
    lblFolder = new QLabel("Current Folder:", bar);
    lblFolder->setObjectName("lblFolder");
    lblFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btnHide = new QToolButton(bar);
    btnHide->setObjectName("btnHide");
    btnHide->setAutoRaise(true);
    btnHide->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    btnHide->setToolTip("Hide");
    btnHide->setStatusTip("Hide Thumbnails Window");
    barLayout->addWidget(btnHideExplorer);
    barLayout->addWidget(lblFolder, 1);
    barLayout->addWidget(btnHide);
    layout->addWidget(bar);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName("splThumbs");
    splitter_->setChildrenCollapsible(false);
    fsModel_ = new QFileSystemModel(this);
    fsModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives | QDir::Hidden);
    fsModel_->setRootPath("/");
    tvShell = new QTreeView(splitter_);
    tvShell->setObjectName("tvShell");
    tvShell->setModel(fsModel_);
    tvShell->setHeaderHidden(true);
    for (int column = 1; column < fsModel_->columnCount(); ++column)
        tvShell->hideColumn(column);
    grdThumbs = new TThumbGrid(splitter_);
    // The folder whose pictures are shown, which need not be the tree's (a favourite or a
    // script may load another).
    grdThumbs->PathOf = [this](int index) { return scanFolder_ + grdThumbs->Record(index).Name; };
    splitter_->setStretchFactor(1, 1);
    layout->addWidget(splitter_, 1);

    BrowseFolder = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, "Browse for Folder", start);
    };
    PropertiesPage = [this](const TPictureProperties& p) {
        Q_UNUSED(p);
    };

    BuildMenus();
    SetExplorerVisible(true);

    connect(btnHideExplorer, &QToolButton::clicked, this,
            [this] { SetExplorerVisible(!ExplorerVisible()); });
    connect(btnHide, &QToolButton::clicked, this, [this] {
        if (HideRequested) HideRequested();
    });
    connect(tvShell->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (settingFolder_) return;
                folder_ = fsModel_->filePath(current);
                TreeChanged();
            });
    // The file system model reads folders in the background: the tree can show its folder
    // only once the folders along the path are read, so it scrolls again as each arrives.
    connect(fsModel_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (folder_.isEmpty() || !WithSeparator(folder_).startsWith(WithSeparator(loaded)))
            return;
        const QModelIndex index = fsModel_->index(folder_);
        if (index.isValid()) tvShell->scrollTo(index, QAbstractItemView::PositionAtCenter);
    });
    connect(grdThumbs, &TThumbGrid::Chosen, this, [this](int index) {
        const TThumbRecord& r = grdThumbs->Record(index);
        Status(ThumbStatusText(r.Name, r.Width, r.Height, r.KB));
    });
    connect(grdThumbs, &TThumbGrid::DoubleClicked, this, &TThumbsPanel::OpenInLoopwright);
    connect(grdThumbs, &TThumbGrid::MenuRequested, this, [this](const QPoint& at) {
        UpdatePopupMenu();
        popThumbs->popup(at);
    });
    connect(scanner_.get(), &TThumbScanner::Made, this, &TThumbsPanel::Made);
    connect(scanner_.get(), &TThumbScanner::Finished, this, &TThumbsPanel::ScanFinished);
}

TThumbsPanel::~TThumbsPanel() = default;

void TThumbsPanel::BuildMenus() {
    popThumbs = new QMenu(this);
    popThumbs->setObjectName("popThumbs");
    auto item = [this](const QString& caption, const char* name, auto slot) {
        QAction* action = popThumbs->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    mniInsert = item("&Insert Thumbnail", "mniInsert", &TThumbsPanel::InsertThumbnail);
    mniOpen = item("&Open in Loopwright", "mniOpen", &TThumbsPanel::OpenInLoopwright);
    mniCopy = item("&Copy to Clipboard", "mniCopy", &TThumbsPanel::CopyToClipboard);
    mniEdit = item("&Edit in default program...", "mniEdit", &TThumbsPanel::EditInDefaultProgram);
    popThumbs->addSeparator();
    mniBrowse = item("&Browse...", "mniBrowse", &TThumbsPanel::Browse);
    mnuFavorites = popThumbs->addMenu("&Favorites");
    mnuFavorites->setObjectName("mnuFavorites");
    mniAddFavorite = mnuFavorites->addAction("&Add Current Folder");
    connect(mniAddFavorite, &QAction::triggered, this, &TThumbsPanel::AddCurrentFolder);
    mniOrganize = mnuFavorites->addAction("&Organize Favorites...");
    connect(mniOrganize, &QAction::triggered, this, &TThumbsPanel::OrganizeFavorites);
    mnuFavorites->addSeparator();
    mniRefresh = item("&Refresh", "mniRefresh", &TThumbsPanel::Refresh);
    mniClear = item("C&lear Window", "mniClear", &TThumbsPanel::ClearThumbnails);
    popThumbs->addSeparator();
    mniHideExplorer = item("&Hide Explorer", "mniHideExplorer", [this] { SetExplorerVisible(false); });
    mniHideWindow = item("Hide &Window", "mniHideWindow", [this] {
        if (HideRequested) HideRequested();
    });
    popThumbs->addSeparator();
    mniProperties = item("&Properties...", "mniProperties", &TThumbsPanel::ShowProperties);
    connect(popThumbs, &QMenu::aboutToShow, this, &TThumbsPanel::UpdatePopupMenu);
}

void TThumbsPanel::UpdatePopupMenu() {
    const bool onThumb = grdThumbs->PressedOnThumbnail() && grdThumbs->Selected() >= 0;
    for (QAction* action : {mniInsert, mniCopy, mniEdit, mniOpen, mniProperties})
        action->setEnabled(onThumb);
    mniClear->setEnabled(grdThumbs->Count() > 0);
    mniHideExplorer->setVisible(ExplorerVisible());
}

void TThumbsPanel::Status(const QString& text) {
    if (ShowStatus) ShowStatus(text);
}

bool TThumbsPanel::ExplorerVisible() const {
    return !tvShell->isHidden();
}

void TThumbsPanel::SetExplorerVisible(bool visible) {
    tvShell->setVisible(visible);
    btnHideExplorer->setIcon(style()->standardIcon(visible ? QStyle::SP_ArrowLeft
                                                           : QStyle::SP_ArrowRight));
    emit ExplorerToggled(visible);
}

void TThumbsPanel::SetThumbSize(int size) {
    thumbSize_ = ValidThumbSize(size);
    grdThumbs->SetThumbSize(thumbSize_);
}

QString TThumbsPanel::Folder() const {
    return folder_.isEmpty() ? QString() : WithSeparator(folder_);
}

bool TThumbsPanel::Scanning() const {
    return scanner_->Running();
}

void TThumbsPanel::SetFolder(const QString& folder) {
    folder_ = QDir::cleanPath(folder);
    const QModelIndex index = fsModel_->index(folder_);
    if (index.isValid()) {
        settingFolder_ = true;
        tvShell->setCurrentIndex(index);
        tvShell->scrollTo(index, QAbstractItemView::PositionAtCenter);
        settingFolder_ = false;
    }
    TreeChanged();
}

void TThumbsPanel::TreeChanged() {
    if (folder_.isEmpty() || !QFileInfo(folder_).isDir()) {
        // No drive letters here: the user's home folder stands in.
        SetFolder(QDir::homePath());
        return;
    }
    if (!isHidden() && Folder() != lastLoaded_) {
        LoadThumbnails(Folder());
        lastLoaded_ = Folder();
    }
}

void TThumbsPanel::LoadThumbnails(const QString& folder) {
    const QString path = WithSeparator(folder);
    if (folder.isEmpty() || !QFileInfo(path).isDir()) {
        prompter_.Message(TMessageKind::Information,
                          QString("%1 does not appear to be a valid path.").arg(path));
        return;
    }
    Status("Scanning Folder for images...");
    lblFolder->setText(QString("Current Folder: %1").arg(path));
    std::vector<TThumbFile> files = ThumbFolderFiles(path, filterType_);
    ClearThumbnails();
    scanFolder_ = path;
    if (files.empty()) {
        Status("Sorry no images found in " + path);
        return;
    }
    grdThumbs->SetThumbSize(thumbSize_);
    workspace_.Host().ShowProgress(int(files.size()) - 1);
    try {
        scanFiles_ = files;
    } catch (const std::bad_alloc&) {
        workspace_.Host().HideProgress();
        prompter_.Message(TMessageKind::Warning, "Out of Memory: Cannot load thumbsnails. Please "
                                                 "free up some memory and try again.");
        return;
    }
    TThumbJob job;
    job.Folder = path;
    job.Files = std::move(files);
    job.ThumbSize = thumbSize_;
    job.Background = grdThumbs->palette().color(QPalette::Base);
    scanner_->Start(std::move(job));
}

void TThumbsPanel::Made(int index, bool ok, int width, int height, const QImage& square) {
    const int count = int(scanFiles_.size());
    if (index < 0 || index >= count) return;
    Status(ThumbProgressText(index + 1, count));
    workspace_.Host().StepProgress();
    if (!ok) return; // unreadable files get no thumbnail
    const TThumbFile& file = scanFiles_[size_t(index)];
    grdThumbs->Append({file.Name, width, height, ThumbFileKB(file.Bytes)}, square);
}

void TThumbsPanel::ScanFinished() {
    workspace_.Host().HideProgress();
    Status(QString());
}

void TThumbsPanel::ClearThumbnails() {
    if (scanner_->Running()) {
        scanner_->Cancel();
        workspace_.Host().HideProgress();
    }
    scanFiles_.clear();
    grdThumbs->Clear();
}

QString TThumbsPanel::SelectedPath() const {
    const int index = grdThumbs->Selected();
    if (index < 0) return {};
    return scanFolder_ + grdThumbs->Record(index).Name;
}

void TThumbsPanel::InsertThumbnail() {
    const QString path = SelectedPath();
    if (path.isEmpty()) return;
    editor::InsertFileAsFrame(workspace_, path);
}

void TThumbsPanel::OpenInLoopwright() {
    const QString path = SelectedPath();
    if (path.isEmpty() || !QFileInfo(path).isFile()) return;
    workspace_.Host().StopPlayback(true);
    if (editor::FileKind(path) == editor::fkGif) {
        workspace_.OpenGifDocument(path);
        return;
    }
    // A new untitled animation with the picture as its first frame; the active document is
    // put away first and comes back when that fails.
    workspace_.DropOnMainWindow = true;
    workspace_.ImportImageFile(path, editor::FileKind(path));
    workspace_.DropOnMainWindow = false;
}

void TThumbsPanel::CopyToClipboard() {
    const QString path = SelectedPath();
    if (path.isEmpty() || !QFileInfo(path).isFile()) return;
    gif::TBitmap bitmap;
    const int loaded = editor::LoadImageFile(workspace_.Context(), path, bitmap,
                                             editor::FileKind(path), true, {});
    if (loaded != editor::liPicture) {
        prompter_.Message(TMessageKind::Warning, "Image was not successfully copied to the clipboard.");
        return;
    }
    QApplication::clipboard()->setImage(editor::BitmapImage(bitmap).copy());
    if (workspace_.ActiveDocument())
        workspace_.Actions().SetEnabled(editor::TActionId::EditPaste, true);
    prompter_.Beep();
    prompter_.Message(TMessageKind::Information, "Image successfully copied to the clipboard.");
}

void TThumbsPanel::EditInDefaultProgram() {
    const QString path = SelectedPath();
    if (path.isEmpty()) return;
    editor::ShellOpen(prompter_, path);
}

void TThumbsPanel::ShowProperties() {
    const QString path = SelectedPath();
    if (path.isEmpty()) return;
    if (PropertiesPage) PropertiesPage(ReadPictureProperties(path, grdThumbs->Record(grdThumbs->Selected())));
}

void TThumbsPanel::Browse() {
    if (isHidden() && HideRequested) HideRequested(); // toggles the browser back on
    const QString chosen = BrowseFolder ? BrowseFolder(Folder()) : QString();
    if (!chosen.isEmpty()) SetFolder(chosen);
}

void TThumbsPanel::Refresh() {
    if (isHidden() && HideRequested) HideRequested();
    LoadThumbnails(Folder());
    lastLoaded_ = Folder();
}

void TThumbsPanel::SetFavorites(const QStringList& favorites) {
    favorites_.clear();
    for (const QString& folder : favorites)
        if (!folder.isEmpty()) favorites_ << folder;
    RebuildFavoritesMenu();
}

void TThumbsPanel::RebuildFavoritesMenu() {
    const QList<QAction*> items = mnuFavorites->actions();
    for (int i = 3; i < items.size(); ++i) {
        mnuFavorites->removeAction(items[i]);
        delete items[i];
    }
    for (int i = 0; i < favorites_.size(); ++i) {
        QAction* action = mnuFavorites->addAction(favorites_[i]);
        action->setStatusTip("Scan this folder for images");
        connect(action, &QAction::triggered, this, [this, action] {
            OpenFavorite(int(mnuFavorites->actions().indexOf(action)) - 3);
        });
    }
}

void TThumbsPanel::AddCurrentFolder() {
    const QString folder = Folder();
    if (folder.isEmpty() || IsFavorite(favorites_, folder)) return;
    favorites_ << folder;
    RebuildFavoritesMenu();
}

void TThumbsPanel::OpenFavorite(int index) {
    if (index < 0 || index >= favorites_.size()) return;
    const QString folder = favorites_[index];
    if (QFileInfo(folder).isDir()) {
        SetFolder(folder);
        return;
    }
    prompter_.Message(TMessageKind::Information,
                      QString("Could not find %1. Folder may have moved or does not exist.").arg(folder));
    favorites_.removeAt(index);
    RebuildFavoritesMenu();
}

void TThumbsPanel::OrganizeFavorites() {
    if (OrganizeRequested) {
        OrganizeRequested();
        return;
    }
    TfrmOptions options(TOptionsMode::Favorites, settings_, prompter_, {}, favorites_, Folder(),
                        window());
    if (options.exec() == QDialog::Accepted && options.FavoritesChanged())
        SetFavorites(options.Favorites());
}

void TThumbsPanel::LoadSettings() {
    using namespace editor;
    SetThumbSize(settings_.Value(keys::ThumbailSize));
    const int filter = settings_.Value(keys::ThumbFilterType);
    filterType_ = (filter >= 0 && filter <= 17) ? filter : AllThumbKinds;
    SetExplorerVisible(settings_.Value(keys::ExplorerVisible) != 0);
    const int width = std::max(60, settings_.Value(keys::ExplorerWidth));
    splitter_->setSizes({width, std::max(200, splitter_->width() - width)});
    SetFavorites(settings_.NumberedList(sections::Favorites));
    QString folder = settings_.Value(keys::ThumbDirectory);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = Settings::DefaultImagesFolder();
    if (!QFileInfo(folder).isDir()) folder = QDir::homePath();
    folder_ = QDir::cleanPath(folder);
    const QModelIndex index = fsModel_->index(folder_);
    if (index.isValid()) {
        settingFolder_ = true;
        tvShell->setCurrentIndex(index);
        settingFolder_ = false;
    }
}

void TThumbsPanel::SaveSettings() {
    using namespace editor;
    settings_.SetValue(keys::ThumbDirectory, Folder());
    settings_.SetValue(keys::ThumbFilterType, filterType_);
    settings_.SetValue(keys::ThumbailSize, thumbSize_);
    settings_.SetValue(keys::ExplorerVisible, ExplorerVisible() ? 1 : 0);
    if (ExplorerVisible() && !splitter_->sizes().isEmpty() && splitter_->sizes()[0] > 0)
        settings_.SetValue(keys::ExplorerWidth, splitter_->sizes()[0]);
    settings_.SetNumberedList(sections::Favorites, favorites_);
}

} // namespace dialogs
