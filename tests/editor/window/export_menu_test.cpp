// File > Export: its items are enabled exactly while the working image has a frame; Single
// Images waits for the Export Images dialog; HTML Page writes its page.
#include "editor/document/export_commands.h"
#include "main_window_fixture.h"

#include <QFile>
#include <QMenu>

using namespace editor;
using namespace editortest;

namespace {

struct RecordingExporter : IImageExporter {
    void ShowExportImages(gif::TGIFImage& image, int frameCount) override {
        Shown.push_back({image.FrameCount(), frameCount});
    }
    std::vector<std::pair<int, int>> Shown; // frames of the image, lines of the list
};

class ExportMenuTest : public MainWindowTest {
  protected:
    QMenu* Menu() { return window->findChild<QMenu*>("mnuExport"); }
    QAction* Item(const char* name) { return window->findChild<QAction*>(name); }
    QAction* Avi() { return Menu()->actions().at(1); }
    void Refresh() { emit Menu()->aboutToShow(); }
};

TEST_F(ExportMenuTest, ItemsInOrderEnabledWhileTheWorkingImageHasAFrame) {
    ASSERT_NE(Menu(), nullptr);
    ASSERT_EQ(Menu()->actions().size(), 3);
    EXPECT_EQ(Menu()->actions().at(0), Item("mniFileExportImage"));
    EXPECT_EQ(Avi()->text(), "As &AVI Animation...");
    EXPECT_EQ(Menu()->actions().at(2), Item("mniFileExportHTML"));
    EXPECT_EQ(Item("mniFileExportImage")->text(), "&Single Images...");
    EXPECT_EQ(Item("mniFileExportHTML")->text(), "As &HTML Page...");

    RecordingExporter exporter;
    window->SetImageExporter(&exporter);
    Refresh();
    EXPECT_FALSE(Item("mniFileExportImage")->isEnabled());
    EXPECT_FALSE(Item("mniFileExportHTML")->isEnabled());

    Workspace().OpenGifDocument(WriteGif("a.gif", 3));
    WaitUntil([&] { return !Workspace().WorkingImage().Empty(); });
    Refresh();
    EXPECT_TRUE(Item("mniFileExportImage")->isEnabled());
    EXPECT_TRUE(Item("mniFileExportHTML")->isEnabled());
    // The AVI item stays unavailable, saying why, until AVI export comes.
    EXPECT_FALSE(Avi()->isEnabled());
    EXPECT_FALSE(Avi()->toolTip().isEmpty());

    Item("mniFileExportImage")->trigger();
    ASSERT_EQ(exporter.Shown.size(), 1u);
    EXPECT_EQ(exporter.Shown[0], (std::pair<int, int>{3, 3}));

    window->FileCloseAllExecute();
    WaitUntil([&] { return Workspace().WorkingImage().Empty(); });
    Refresh();
    EXPECT_FALSE(Item("mniFileExportImage")->isEnabled());
    EXPECT_FALSE(Item("mniFileExportHTML")->isEnabled());
    window->SetImageExporter(nullptr);
}

TEST_F(ExportMenuTest, SingleImagesWaitsForTheDialog) {
    Workspace().OpenGifDocument(WriteGif("a.gif", 2));
    WaitUntil([&] { return !Workspace().WorkingImage().Empty(); });
    Refresh();
    QAction* images = Item("mniFileExportImage");
    EXPECT_FALSE(images->isEnabled());
    EXPECT_TRUE(images->toolTip().contains("Export Images dialog")) << qPrintable(images->toolTip());
    RecordingExporter exporter;
    window->SetImageExporter(&exporter);
    Refresh();
    EXPECT_TRUE(images->isEnabled());
    window->SetImageExporter(nullptr);
    Refresh();
    EXPECT_FALSE(images->isEnabled());
}

TEST_F(ExportMenuTest, HtmlPageWritesThePage) {
    const QString gif = WriteGif("logo.gif", 2, 120, 40);
    Workspace().OpenGifDocument(gif);
    WaitUntil([&] { return !Workspace().WorkingImage().Empty(); });
    const QString page = dir.filePath("logo.htm");
    prompter.ThenFiles({page});
    Refresh();
    Item("mniFileExportHTML")->trigger();
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<IMG SRC=\"" + gif.toUtf8() +
                                        "\" ALT=\"Animated Image\" HEIGHT=\"40\" WIDTH=\"120\">\r\n"));
}

} // namespace
