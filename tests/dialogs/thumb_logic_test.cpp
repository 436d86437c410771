// The thumbnail browser's arithmetic, folder listing and favourites, without widgets.
#include "dialogs/thumbnails/thumb_files.h"
#include "dialogs/thumbnails/thumb_geometry.h"
#include "dialogs/thumbnails/thumb_maker.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dialogs;

TEST(ThumbGrid, RowsColumnsAndCells) {
    // 7 images, 3 columns: round(7 / 3) = 2 rows hold only 6, so a third row is added.
    EXPECT_EQ(ThumbRows(7, 3), 3);
    EXPECT_EQ(ThumbRows(6, 3), 2);
    // Halves round to even: 5 / 2 = 2.5 -> 2 rows, plus one for the fifth picture.
    EXPECT_EQ(ThumbRows(5, 2), 3);
    EXPECT_EQ(ThumbRows(9, 2), 5);   // 4.5 -> 4, plus one
    EXPECT_EQ(ThumbRows(0, 3), 0);
    EXPECT_EQ(ThumbRows(4, 0), 4);   // a nonsense column count counts as one column
    // Cell: twice the text height, the picture and 14 pixels.
    EXPECT_EQ(ThumbCellSize(16, 75), 121);
    EXPECT_EQ(ThumbColumns(363, 121), 3);
    EXPECT_EQ(ThumbColumns(362, 121), 2);
    // A grid too narrow for one cell, or with no width at all, still has a column.
    EXPECT_EQ(ThumbColumns(50, 121), 1);
    EXPECT_EQ(ThumbColumns(-20, 121), 1);
    EXPECT_EQ(ThumbColumns(500, 0), 1);
}

TEST(ThumbGrid, FittingAndCentring) {
    EXPECT_EQ(ThumbFitSize(300, 100, 75), QSize(75, 25));
    EXPECT_EQ(ThumbOffset(QSize(75, 25), 75), QPoint(0, 25));
    EXPECT_EQ(ThumbFitSize(100, 300, 75), QSize(25, 75));
    EXPECT_EQ(ThumbOffset(QSize(25, 75), 75), QPoint(25, 0));
    // Only sides above T + 1 are resampled: 76 x 76 stays, 77 x 10 does not.
    EXPECT_FALSE(ThumbNeedsResample(76, 76, 75));
    EXPECT_EQ(ThumbFitSize(76, 76, 75), QSize(76, 76));
    EXPECT_EQ(ThumbOffset(QSize(76, 76), 75), QPoint(0, 0)); // -1 / 2 truncates to 0
    EXPECT_TRUE(ThumbNeedsResample(77, 10, 75));
    EXPECT_EQ(ThumbFitSize(77, 10, 75), QSize(75, 9));
    // Truncation, not rounding: 75 / 200 * 130 = 48.75.
    EXPECT_EQ(ThumbFitSize(200, 130, 75), QSize(75, 48));
    // A sliver keeps at least one pixel; nonsense sizes give nothing.
    EXPECT_EQ(ThumbFitSize(30000, 1, 50), QSize(50, 1));
    EXPECT_EQ(ThumbFitSize(0, 10, 50), QSize(0, 0));
    EXPECT_EQ(ThumbFitSize(-5, 10, 50), QSize(0, 0));
}

TEST(ThumbGrid, SquarePicture) {
    QImage wide(300, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    const QImage square = ThumbSquare(wide, 300, 100, 75, Qt::white);
    ASSERT_EQ(square.size(), QSize(75, 75));
    EXPECT_EQ(square.pixelColor(37, 10), QColor(Qt::white)); // above the picture
    EXPECT_EQ(square.pixelColor(37, 37), QColor(Qt::red));
    EXPECT_EQ(square.pixelColor(37, 24), QColor(Qt::white));
    EXPECT_EQ(square.pixelColor(37, 25), QColor(Qt::red));
    EXPECT_EQ(square.pixelColor(37, 49), QColor(Qt::red));
    EXPECT_EQ(square.pixelColor(37, 50), QColor(Qt::white));
    // 76 x 76 is drawn at its own size, from the top-left corner.
    QImage exact(76, 76, QImage::Format_RGB32);
    exact.fill(Qt::blue);
    exact.setPixelColor(0, 0, Qt::green);
    const QImage kept = ThumbSquare(exact, 76, 76, 75, Qt::white);
    EXPECT_EQ(kept.pixelColor(0, 0), QColor(Qt::green));
    EXPECT_EQ(kept.pixelColor(74, 74), QColor(Qt::blue));
}

TEST(ThumbGrid, Texts) {
    EXPECT_EQ(ThumbFileKB(0), 1);
    EXPECT_EQ(ThumbFileKB(1024), 1);
    EXPECT_EQ(ThumbFileKB(1025), 1);
    EXPECT_EQ(ThumbFileKB(4096), 4);
    EXPECT_EQ(ThumbStatusText("a.png", 300, 100, 12), "a.png - (300 x 100) 12KB");
    EXPECT_EQ(ThumbProgressText(1, 3), "Scanning folder for images... 33% Complete");
    EXPECT_EQ(ThumbProgressText(1, 8), "Scanning folder for images... 12% Complete"); // 12.5
    EXPECT_EQ(ValidThumbSize(125), 125);
    EXPECT_EQ(ValidThumbSize(0), 75);
    EXPECT_EQ(ValidThumbSize(-100), 75);
    EXPECT_EQ(ValidThumbSize(99999), 75);
}

TEST(ThumbFolder, FilesOfTheFilterSortedByName) {
    QTemporaryDir dir;
    for (const char* name : {"b.png", "A.JPG", "c.gif", "notes.txt", "d.jpeg", "e.png.bak"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2000, 'x'));
    }
    QDir(dir.path()).mkdir("folder.png"); // a folder is no picture
    const auto names = [](const std::vector<TThumbFile>& files) {
        QStringList list;
        for (const TThumbFile& f : files) list << f.Name;
        return list;
    };
    const std::vector<TThumbFile> all = ThumbFolderFiles(dir.path(), AllThumbKinds);
    EXPECT_EQ(names(all), (QStringList{"A.JPG", "b.png", "c.gif"}));
    EXPECT_EQ(all[0].Bytes, 2000);
    EXPECT_EQ(names(ThumbFolderFiles(dir.path(), 11)), QStringList{"b.png"}); // ".png"
    EXPECT_EQ(names(ThumbFolderFiles(dir.path(), 1)), QStringList{"A.JPG"});  // ".jpg"
    EXPECT_TRUE(ThumbFolderFiles(dir.path(), 18).empty());  // 18 selects nothing
    EXPECT_TRUE(ThumbFolderFiles(dir.path(), -1).empty());
    EXPECT_TRUE(ThumbFolderFiles(dir.filePath("missing"), AllThumbKinds).empty());
}

TEST(ThumbFavorites, ListEditing) {
    TFavoritesList list({"/a/", "/b/"});
    EXPECT_FALSE(list.CanRemove());
    EXPECT_FALSE(list.CanMoveUp());
    EXPECT_FALSE(list.CanMoveDown());
    // A folder already in the list changes nothing, with or without its separator.
    EXPECT_FALSE(list.Add("/a/"));
    EXPECT_FALSE(list.Add("/b"));
    EXPECT_FALSE(list.Add(""));
    EXPECT_FALSE(list.Changed());
    EXPECT_EQ(list.Items(), (QStringList{"/a/", "/b/"}));
    // Appended without a selection; inserted after the selected entry otherwise.
    EXPECT_TRUE(list.Add("/c/"));
    EXPECT_EQ(list.Selected(), 2);
    list.Select(0);
    EXPECT_TRUE(list.Add("/a/x/")); // contains "/a/" but is another folder
    EXPECT_EQ(list.Items(), (QStringList{"/a/", "/a/x/", "/b/", "/c/"}));
    EXPECT_EQ(list.Selected(), 1);
    EXPECT_TRUE(list.CanMoveUp());
    EXPECT_TRUE(list.MoveUp());
    EXPECT_EQ(list.Items().first(), "/a/x/");
    EXPECT_EQ(list.Selected(), 0);
    EXPECT_FALSE(list.CanMoveUp());
    EXPECT_FALSE(list.MoveUp());
    list.Select(3);
    EXPECT_FALSE(list.CanMoveDown());
    EXPECT_FALSE(list.MoveDown());
    EXPECT_TRUE(list.Remove());
    EXPECT_EQ(list.Selected(), 2);
    list.Select(0);
    EXPECT_TRUE(list.Remove());
    EXPECT_EQ(list.Selected(), 0); // nothing before the first: the new first
    list.Select(7);
    EXPECT_EQ(list.Selected(), -1);
    EXPECT_FALSE(list.Remove());
    EXPECT_TRUE(list.Changed());
}
