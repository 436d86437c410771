// The thumbnail browser: loading a folder, its messages and status texts, the pop-up menu's
// enabling, the favourites and the stored values.
#include "dialogs/thumbnails/thumbs_panel.h"
#include "editor/core/settings.h"
#include "editor/document/workspace.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/fake_workspace_host.h"
#include "editor/support/scripted_prompter.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace dialogs;

namespace {

class ThumbsPanelTest : public ::testing::Test {
  protected:
    ThumbsPanelTest() {
        host.Workspace = &workspace;
        panel.ShowStatus = [this](const QString& text) { statuses << text; };
        panel.resize(700, 300);
        panel.show();
    }
    QString Picture(const QString& name, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    void Junk(const QString& name) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("no picture here");
    }
    bool WaitForScan() {
        QElapsedTimer timer;
        timer.start();
        while (panel.Scanning() && timer.elapsed() < 20000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return !panel.Scanning();
    }
    void Press(int index, Qt::MouseButton button = Qt::LeftButton) {
        TThumbGrid* grid = panel.grdThumbs;
        const QPoint at = index >= 0 ? grid->CellRect(index).center()
                                     : QPoint(grid->viewport()->width() - 2, grid->viewport()->height() - 2);
        QTest::mousePress(grid->viewport(), button, Qt::NoModifier, at);
        QTest::mouseRelease(grid->viewport(), button, Qt::NoModifier, at);
    }

    QTemporaryDir dir;
    editor::Settings settings{dir.filePath("settings.ini")};
    editortest::TScriptedPrompter prompter;
    editortest::TFakeFrameList frames;
    editortest::TFakeWorkspaceHost host;
    editor::TWorkspace workspace{prompter, settings, frames, host};
    TThumbsPanel panel{workspace, settings, prompter};
    QStringList statuses;
};

} // namespace

TEST_F(ThumbsPanelTest, LoadsTheFolderInNameOrder) {
    Picture("c.png", 300, 100);
    Picture("a.png", 100, 300);
    Picture("B.bmp", 76, 76);
    Junk("broken.png");
    Junk("readme.txt");
    panel.LoadThumbnails(dir.path());
    ASSERT_TRUE(WaitForScan());
    TThumbGrid* grid = panel.grdThumbs;
    ASSERT_EQ(grid->Count(), 3); // the damaged file is skipped silently
    EXPECT_EQ(grid->Record(0).Name, "a.png");
    EXPECT_EQ(grid->Record(1).Name, "B.bmp");
    EXPECT_EQ(grid->Record(2).Name, "c.png");
    EXPECT_EQ(grid->Record(2).Width, 300);
    EXPECT_EQ(grid->Record(2).Height, 100);
    EXPECT_EQ(grid->Picture(0).size(), QSize(75, 75));
    EXPECT_TRUE(prompter.Asked.empty());
    EXPECT_EQ(panel.lblFolder->text(), "Current Folder: " + dir.path() + "/");
    EXPECT_EQ(statuses.first(), "Scanning Folder for images...");
    EXPECT_TRUE(statuses.contains("Scanning folder for images... 25% Complete"));
    EXPECT_TRUE(statuses.contains("Scanning folder for images... 100% Complete"));
    EXPECT_EQ(statuses.last(), "");
    // Choosing a thumbnail tells its file in the status bar, by mouse and by keyboard.
    Press(2);
    EXPECT_EQ(statuses.last(), QString("c.png - (300 x 100) 1KB"));
    QTest::keyClick(grid->viewport(), Qt::Key_Left);
    EXPECT_EQ(grid->Selected(), 1);
    EXPECT_TRUE(statuses.last().startsWith("B.bmp - (76 x 76)"));
    EXPECT_EQ(panel.SelectedPath(), dir.path() + "/B.bmp");
}

TEST_F(ThumbsPanelTest, MessagesForBadFoldersAndEmptyOnes) {
    prompter.Then(editor::mrOk);
    panel.LoadThumbnails(dir.filePath("nowhere"));
    ASSERT_EQ(prompter.Texts().size(), 1);
    EXPECT_EQ(prompter.Texts()[0], dir.filePath("nowhere") + "/ does not appear to be a valid path.");
    Junk("notes.txt");
    panel.LoadThumbnails(dir.path());
    EXPECT_FALSE(panel.Scanning());
    EXPECT_EQ(statuses.last(), "Sorry no images found in " + dir.path() + "/");
    EXPECT_EQ(panel.grdThumbs->Count(), 0);
    // Only one kind: the others are not listed.
    Picture("a.png", 10, 10);
    panel.SetFilterType(0); // ".gif"
    panel.LoadThumbnails(dir.path());
    EXPECT_EQ(statuses.last(), "Sorry no images found in " + dir.path() + "/");
}

TEST_F(ThumbsPanelTest, PopupMenuEnabling) {
    QStringList captions;
    for (QAction* a : panel.popThumbs->actions())
        if (!a->isSeparator()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"&Insert Thumbnail", "&Open in Loopwright", "&Copy to Clipboard",
                                     "&Edit in default program...", "&Browse...", "&Favorites",
                                     "&Refresh", "C&lear Window", "&Hide Explorer", "Hide &Window",
                                     "&Properties..."}));
    const auto onThumb = [&] {
        QList<bool> states;
        for (QAction* a : {panel.mniInsert, panel.mniOpen, panel.mniCopy, panel.mniEdit,
                           panel.mniProperties})
            states << a->isEnabled();
        return states;
    };
    const QList<bool> allOn{true, true, true, true, true}, allOff{false, false, false, false, false};
    panel.UpdatePopupMenu();
    EXPECT_EQ(onThumb(), allOff);
    EXPECT_FALSE(panel.mniClear->isEnabled());
    EXPECT_TRUE(panel.mniBrowse->isEnabled());
    EXPECT_TRUE(panel.mniRefresh->isEnabled());
    EXPECT_TRUE(panel.mniHideExplorer->isVisible());
    Picture("a.png", 20, 20);
    panel.LoadThumbnails(dir.path());
    ASSERT_TRUE(WaitForScan());
    panel.UpdatePopupMenu();
    EXPECT_TRUE(panel.mniClear->isEnabled());
    EXPECT_EQ(onThumb(), allOff); // no press on a thumbnail yet
    Press(0, Qt::RightButton);
    panel.UpdatePopupMenu();
    EXPECT_EQ(onThumb(), allOn);
    Press(-1); // the empty cells after the last thumbnail
    panel.UpdatePopupMenu();
    EXPECT_EQ(onThumb(), allOff);
    panel.SetExplorerVisible(false);
    panel.UpdatePopupMenu();
    EXPECT_FALSE(panel.mniHideExplorer->isVisible());
    panel.ClearThumbnails();
    panel.UpdatePopupMenu();
    EXPECT_FALSE(panel.mniClear->isEnabled());
    EXPECT_EQ(onThumb(), allOff);
    // Commands with nothing chosen do nothing.
    panel.InsertThumbnail();
    panel.CopyToClipboard();
    panel.ShowProperties();
    EXPECT_TRUE(prompter.Asked.empty());
}

TEST_F(ThumbsPanelTest, ClearStopsTheScan) {
    for (int i = 0; i < 60; ++i) Picture(QString("p%1.png").arg(i, 2, 10, QChar('0')), 900, 700);
    panel.LoadThumbnails(dir.path());
    EXPECT_TRUE(panel.Scanning());
    panel.ClearThumbnails();
    EXPECT_FALSE(panel.Scanning());
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(panel.grdThumbs->Count(), 0);
}

TEST_F(ThumbsPanelTest, Favorites) {
    const QString kept = dir.filePath("kept");
    const QString gone = dir.filePath("gone");
    QDir().mkpath(kept);
    QDir().mkpath(gone);
    panel.SetFavorites({gone, kept, ""});
    EXPECT_EQ(panel.Favorites(), (QStringList{gone, kept}));
    EXPECT_EQ(panel.mnuFavorites->actions().size(), 5); // add, organize, separator, two folders
    EXPECT_EQ(panel.mnuFavorites->actions()[3]->statusTip(), "Scan this folder for images");
    panel.SetFolder(kept);
    panel.AddCurrentFolder(); // already there (with its separator)
    EXPECT_EQ(panel.Favorites().size(), 2);
    panel.SetFolder(dir.path());
    panel.AddCurrentFolder();
    EXPECT_EQ(panel.Favorites().size(), 3);
    // A folder that has gone: the message, and the item leaves the menu.
    QDir(gone).removeRecursively();
    prompter.Then(editor::mrOk);
    panel.mnuFavorites->actions()[3]->trigger();
    ASSERT_EQ(prompter.Texts().size(), 1);
    EXPECT_EQ(prompter.Texts()[0],
              "Could not find " + gone + ". Folder may have moved or does not exist.");
    EXPECT_EQ(panel.Favorites(), (QStringList{kept, dir.path() + "/"}));
    EXPECT_EQ(panel.mnuFavorites->actions().size(), 5);
    // An existing one moves the tree there.
    panel.mnuFavorites->actions()[3]->trigger();
    EXPECT_EQ(panel.Folder(), kept + "/");
    // Kept as "MRU%d" under "ThumbNails/Favorites".
    panel.SaveSettings();
    EXPECT_EQ(settings.ReadString("ThumbNails/Favorites", "MRU0", ""), kept);
    EXPECT_EQ(settings.ReadString("ThumbNails/Favorites", "MRU1", ""), dir.path() + "/");
}

TEST_F(ThumbsPanelTest, SettingsRoundTrip) {
    settings.SetValue(editor::keys::ThumbailSize, 33); // nonsense: the default size
    settings.SetValue(editor::keys::ThumbFilterType, 55);
    settings.SetValue(editor::keys::ThumbDirectory, dir.filePath("missing"));
    settings.SetValue(editor::keys::ExplorerVisible, 0);
    panel.LoadSettings();
    EXPECT_EQ(panel.ThumbSize(), 75);
    EXPECT_EQ(panel.FilterType(), 19);
    EXPECT_FALSE(panel.ExplorerVisible());
    EXPECT_FALSE(panel.Folder().isEmpty());
    panel.SetThumbSize(125);
    panel.SetFilterType(11);
    panel.SetExplorerVisible(true);
    panel.SetFolder(dir.path());
    panel.SaveSettings();
    EXPECT_EQ(settings.Value(editor::keys::ThumbailSize), 125);
    EXPECT_EQ(settings.Value(editor::keys::ThumbFilterType), 11);
    EXPECT_EQ(settings.Value(editor::keys::ExplorerVisible), 1);
    EXPECT_EQ(settings.Value(editor::keys::ThumbDirectory), dir.path() + "/");
}

TEST_F(ThumbsPanelTest, PropertiesOfAThumbnail) {
    const QString good = Picture("a.png", 30, 20);
    TPictureProperties p = ReadPictureProperties(good, {"a.png", 30, 20, 1});
    EXPECT_EQ(p.FileName, "a.png");
    EXPECT_EQ(p.FileSize, "1 KB");
    EXPECT_EQ(p.Dimensions, "30 x 20");
    EXPECT_EQ(p.Picture.size(), QSize(30, 20));
    Junk("b.png");
    p = ReadPictureProperties(dir.filePath("b.png"), {"b.png", 30, 20, 1});
    EXPECT_EQ(p.FileSize, "KB");
    EXPECT_EQ(p.Dimensions, "Unable to load image");
    EXPECT_TRUE(p.Picture.isNull());
}

// The tree reads folders in the background; a deep folder below many siblings, set while
// the browser is still hidden (as at start-up), ends selected and inside the tree's view.
TEST_F(ThumbsPanelTest, TheTreeShowsItsFolderOnceTheFoldersAreRead) {
    panel.hide();
    for (int i = 0; i < 60; ++i) QDir(dir.path()).mkpath(QString("sibling-%1").arg(i, 2, 10, QChar('0')));
    const QString deep = dir.filePath("sibling-57/inner/deepest");
    QDir().mkpath(deep);
    panel.SetFolder(deep);
    panel.show();
    QTreeView* tree = panel.tvShell;
    const auto shown = [&] {
        const QModelIndex current = tree->currentIndex();
        return current.isValid() &&
               current.data(QFileSystemModel::FilePathRole).toString() == QDir::cleanPath(deep) &&
               tree->viewport()->rect().contains(tree->visualRect(current));
    };
    QElapsedTimer timer;
    timer.start();
    while (!shown() && timer.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(shown());
}
