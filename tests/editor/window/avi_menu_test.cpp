// File > Import > AVI Animation and File > Export > As AVI Animation... in the main window.
#include "editor/core/progress_window.h"
#include "editor/document/avi_files.h"
#include "editor/window/main_window_fixture.h"
#include "io/video_test_util.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QTabBar>

using namespace editor;
using namespace editortest;

namespace {

class TQuietProgress : public IProgressWindow {
  public:
    explicit TQuietProgress(bool* mainEnabled, QWidget* main) : main_(main), seen_(mainEnabled) {}
    void SetFileLabel(const QString&) override {}
    void SetProgressLabel(const QString&) override {}
    void SetRange(int, int) override {}
    void SetPosition(int) override {}
    void StepIt() override {}
    void SetCancelVisible(bool) override {}
    void Show() override { *seen_ = main_->isEnabled(); }
    void ProcessEvents() override {}
    bool Cancelled() const override { return false; }

  private:
    QWidget* main_;
    bool* seen_;
};

TEST_F(MainWindowTest, ImportMenuTakesVideosAsNewDocuments) {
    QAction* import = window->findChild<QAction*>("mniFileImportAvi");
    ASSERT_NE(import, nullptr);
    EXPECT_EQ(import->text(), "&AVI Animation");
    EXPECT_TRUE(import->isEnabled());
    const std::string clip = dir.filePath("clip.webm").toStdString();
    ASSERT_TRUE(iotest::MakeClip(clip, 4, "10", "32x24", "libvpx-vp9"));
    prompter.ThenFiles({QString::fromStdString(clip)});
    import->trigger();
    QApplication::processEvents();
    EXPECT_EQ(prompter.FileDialogs.back().Filter, VideoOpenFilter);
    EXPECT_TRUE(prompter.FileDialogs.back().Filter.startsWith("AVI Animations (*.avi)|*.avi|"));
    ASSERT_EQ(Workspace().DocumentCount(), 1);
    EXPECT_EQ(Workspace().WorkingImage().FrameCount(), 4);
    EXPECT_TRUE(window->Tabs()->tabText(0).endsWith("Untitled1.gif")); // marked modified
}

TEST_F(MainWindowTest, ExportItemWaitsForTheProgressWindowAndDisablesTheWindowMeanwhile) {
    QAction* exportAvi = window->findChild<QAction*>("mniFileExportAVI");
    ASSERT_NE(exportAvi, nullptr);
    EXPECT_EQ(exportAvi->text(), "As &AVI Animation...");
    EXPECT_FALSE(exportAvi->isEnabled());
    bool enabledWhileShown = true;
    window->SetProgressWindowFactory([this, &enabledWhileShown] {
        return std::make_unique<TQuietProgress>(&enabledWhileShown, window.get());
    });
    QMenu* exportMenu = window->findChild<QMenu*>("mnuExport");
    ASSERT_NE(exportMenu, nullptr);
    emit exportMenu->aboutToShow();
    EXPECT_FALSE(exportAvi->isEnabled()); // no frames yet
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("anim.gif", 3)));
    emit exportMenu->aboutToShow();
    EXPECT_TRUE(exportAvi->isEnabled());

    const QString target = dir.filePath("anim.avi");
    prompter.ThenFiles({target});
    exportAvi->trigger();
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_FALSE(enabledWhileShown);
    EXPECT_TRUE(window->isEnabled());
}

} // namespace
