// pnlThumbs: the thumbnail browser in the lower part of the main window. A folder tree
// (tvShell) beside the grid of the chosen folder's pictures (grdThumbs), the "Current
// Folder:" label and the buttons that hide the tree and the whole browser; the grid's pop-up
// menu (popThumbs) with the commands on the chosen thumbnail, and the favourite folders.
// Thumbnails are made on worker threads and kept in the desktop's thumbnail cache.
#pragma once

#include "dialogs/thumbnails/thumb_cache.h"
#include "dialogs/thumbnails/thumb_files.h"
#include "dialogs/thumbnails/thumbs_grid.h"

#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QFileSystemModel;
class QLabel;
class QMenu;
class QSplitter;
class QToolButton;
class QTreeView;

namespace editor {
class IPrompter;
class Settings;
class TWorkspace;
} // namespace editor

namespace dialogs {

class TThumbScanner;

// What the Properties command shows for a file: "%d KB" or "KB", "%d x %d" or "Unable to
// load image", and the picture (null when it could not be loaded).
struct TPictureProperties {
    QString FileName;
    QString FileSize;
    QString Dimensions;
    QImage Picture;
};
TPictureProperties ReadPictureProperties(const QString& path, const TThumbRecord& record);

class TThumbsPanel : public QWidget {
    Q_OBJECT
  public:
    TThumbsPanel(editor::TWorkspace& workspace, editor::Settings& settings,
                 editor::IPrompter& prompter, QWidget* parent = nullptr);
    ~TThumbsPanel() override;

    // The "ThumbNails" values and the favourites: read at start, written at exit.
    void LoadSettings();
    void SaveSettings();

    // Shows the pictures of `folder` (LoadThumbnails).
    void LoadThumbnails(const QString& folder);
    // Empties the grid and stops a running scan (C&lear Window).
    void ClearThumbnails();
    // Moves the tree to `folder`, which loads it when the browser is visible.
    void SetFolder(const QString& folder);
    QString Folder() const;          // the tree's folder, with "/" at its end
    QString LastLoaded() const { return lastLoaded_; }
    bool Scanning() const;

    int ThumbSize() const { return thumbSize_; }
    void SetThumbSize(int size);
    int FilterType() const { return filterType_; }
    void SetFilterType(int filterType) { filterType_ = filterType; }
    bool ExplorerVisible() const;
    void SetExplorerVisible(bool visible);

    // The commands of the pop-up menu.
    void InsertThumbnail();
    void OpenInLoopwright();
    void CopyToClipboard();
    void EditInDefaultProgram();
    void ShowProperties();
    void Browse();
    void Refresh();
    void AddCurrentFolder();
    void OpenFavorite(int index);
    void OrganizeFavorites();
    // The full path of the chosen thumbnail; empty when none is chosen.
    QString SelectedPath() const;

    QStringList Favorites() const { return favorites_; }
    void SetFavorites(const QStringList& favorites);
    // Enables the pop-up's items for the current state (as the menu opens).
    void UpdatePopupMenu();

    // The window's side: the status text, the browser hidden, the options' favourites
    // window, the folder browser and the Properties page (replaced by tests).
    std::function<void(const QString&)> ShowStatus;
    std::function<void()> HideRequested;
    std::function<QString(const QString& start)> BrowseFolder;
    std::function<void(const TPictureProperties&)> PropertiesPage;
    std::function<void()> OrganizeRequested;

    TThumbGrid* grdThumbs = nullptr;
    QTreeView* tvShell = nullptr;
    QLabel* lblFolder = nullptr;
    QToolButton *btnHideExplorer = nullptr, *btnHide = nullptr;
    QMenu* popThumbs = nullptr;
    QMenu* mnuFavorites = nullptr;
    QAction *mniInsert = nullptr, *mniOpen = nullptr, *mniCopy = nullptr, *mniEdit = nullptr,
            *mniBrowse = nullptr, *mniRefresh = nullptr, *mniClear = nullptr,
            *mniHideExplorer = nullptr, *mniHideWindow = nullptr, *mniProperties = nullptr,
            *mniAddFavorite = nullptr, *mniOrganize = nullptr;

  signals:
    void ExplorerToggled(bool visible);

  private:
    void BuildMenus();
    void TreeChanged();
    void Status(const QString& text);
    void Made(int index, bool ok, int width, int height, const QImage& square);
    void ScanFinished();
    void RebuildFavoritesMenu();

    editor::TWorkspace& workspace_;
    editor::Settings& settings_;
    editor::IPrompter& prompter_;
    QFileSystemModel* fsModel_ = nullptr;
    QSplitter* splitter_ = nullptr;
    TThumbnailCache cache_;
    std::unique_ptr<TThumbScanner> scanner_;
    std::vector<TThumbFile> scanFiles_; // the running scan's files
    QString scanFolder_; // the folder on show
    int thumbSize_ = 75;
    int filterType_ = AllThumbKinds;
    QString lastLoaded_;
    QString folder_;
    QStringList favorites_;
    bool settingFolder_ = false;
};

} // namespace dialogs
