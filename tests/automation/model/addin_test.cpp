// The add-in loader with add-ins built for the tests, and the plug-in information window.
#include "automation/addins/addin_host.h"
#include "automation/menus/menu_item.h"
#include "automation/ui/plugin_explorer.h"
#include "automation_fixture.h"
#include "editor/core/progress_window.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

namespace automationtest {
namespace {

struct TProgressLog {
    QStringList FileLabels;
    bool CancelVisible = true;
    bool Shown = false;
    bool Freed = false;
    bool MainWindowDisabled = false;
};

class TFakeProgress final : public editor::IProgressWindow {
  public:
    TFakeProgress(TProgressLog& log, QWidget& window) : log_(log), window_(window) {}
    ~TFakeProgress() override { log_.Freed = true; }
    void SetFileLabel(const QString& text) override { log_.FileLabels << text; }
    void SetProgressLabel(const QString&) override {}
    void SetRange(int, int) override {}
    void SetPosition(int) override {}
    void StepIt() override { log_.MainWindowDisabled |= !window_.isEnabled(); }
    void SetCancelVisible(bool visible) override { log_.CancelVisible = visible; }
    void Show() override { log_.Shown = true; }
    void ProcessEvents() override {}
    bool Cancelled() const override { return false; }

  private:
    TProgressLog& log_;
    QWidget& window_;
};

class AddInTest : public AutomationTest {
  protected:
    void SetUp() override {
        AutomationTest::SetUp();
        automation::TAddInCollection::Instance().Clear();
    }
    void TearDown() override {
        automation::TAddInCollection::Instance().Clear();
        AutomationTest::TearDown();
    }
    // Copies a built library into the add-in folder under `name`.
    void Install(const char* built, const QString& name) {
        QDir().mkpath(folder());
        ASSERT_TRUE(QFile::copy(built, folder() + "/" + name)) << name.toStdString();
    }
    QString folder() const { return dir.filePath("addins"); }
    QString Load() {
        return automation::LoadAddIns(*window, app, {folder(), dir.filePath("missing")}, [this] {
            return std::make_unique<TFakeProgress>(log, *window);
        });
    }
    QMenu* PlugIns() { return window->TopMenu("mnuPlugins"); }
    QAction* PlugInInfo() { return automation::FindMenuItem(*window->menuBar(), "Help|Plugin Info..."); }
    const std::vector<automation::TAddInCollectionItem>& Items() {
        return automation::TAddInCollection::Instance().Items();
    }

    TProgressLog log;
};

TEST_F(AddInTest, NoneInstalledShowsTheScanTextAndKeepsTheMenusHidden) {
    EXPECT_EQ(Load(), "");
    EXPECT_TRUE(log.Shown);
    EXPECT_TRUE(log.Freed);
    EXPECT_FALSE(log.CancelVisible);
    EXPECT_TRUE(log.MainWindowDisabled);
    EXPECT_EQ(log.FileLabels, QStringList{"Scanning for Loopwright Plug-ins..."});
    EXPECT_FALSE(PlugIns()->menuAction()->isVisible());
    EXPECT_FALSE(PlugInInfo()->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(Items().empty());
}

TEST_F(AddInTest, OneAddInIsListedAndAddsItsDisabledItem) {
    Install(TEST_ADDIN_GOOD, "good.so");
    EXPECT_EQ(Load(), "");
    ASSERT_EQ(Items().size(), 1u);
    EXPECT_EQ(Items()[0].Title, "Test Add-in");
    EXPECT_EQ(Items()[0].Version, "1.2.3");
    EXPECT_EQ(Items()[0].Description, "Describes Test Add-in");
    EXPECT_TRUE(log.FileLabels.contains("Loading Test Add-in..."));
    EXPECT_TRUE(PlugIns()->menuAction()->isVisible());
    EXPECT_TRUE(PlugInInfo()->isVisible());
    // Refreshed after loading: no document, so the new item is disabled.
    QAction* item = automation::FindMenuItem(*window->menuBar(), "Plug-ins|Test Add-in Item");
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->isEnabled());

    // The explorer shows the three fields at once.
    automation::TfrmPlugInExplorer explorer(window.get());
    explorer.show();
    EXPECT_EQ(explorer.windowTitle(), "Plugin Information");
    EXPECT_EQ(explorer.lbPlugIns->count(), 1);
    EXPECT_EQ(explorer.txtTitle->text(), "Test Add-in");
    EXPECT_EQ(explorer.txtVersion->text(), "1.2.3");
    EXPECT_EQ(explorer.mmoInfo->toPlainText(), "Describes Test Add-in");
    EXPECT_TRUE(explorer.txtTitle->isReadOnly());
    EXPECT_TRUE(explorer.mmoInfo->isReadOnly());
}

TEST_F(AddInTest, AnAddInWhoseTitleFailsIsNeitherListedNorGivenMenus) {
    Install(TEST_ADDIN_NOTITLE, "a_notitle.so");
    Install(TEST_ADDIN_GOOD, "b_good.so");
    EXPECT_EQ(Load(), "");
    ASSERT_EQ(Items().size(), 1u);
    EXPECT_EQ(Items()[0].Title, "Test Add-in");
    EXPECT_FALSE(app->MenuExists("Plug-ins|No Title Item").Value);
    EXPECT_TRUE(app->MenuExists("Plug-ins|Test Add-in Item").Value);
}

TEST_F(AddInTest, OfFiftyOneAddInsFiftyLoad) {
    for (int i = 0; i < 51; ++i) Install(TEST_ADDIN_GOOD, QString("addin%1.so").arg(i, 2, 10, QChar('0')));
    EXPECT_EQ(automation::FindAddIns({folder()}).size(), 50);
    EXPECT_EQ(Load(), "");
    EXPECT_EQ(Items().size(), 50u);
    EXPECT_EQ(PlugIns()->actions().size(), 50);
}

TEST_F(AddInTest, ALibraryWithoutIAddInEndsTheLoadingAfterTheEarlierOnes) {
    Install(TEST_ADDIN_GOOD, "a_good.so");
    Install(TEST_NOT_AN_ADDIN, "b_plain.so");
    Install(TEST_ADDIN_GOOD, "c_good.so");
    const QString error = Load();
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Items().size(), 1u);
    // The error box, the window enabled again, the menus of the loaded one shown.
    EXPECT_TRUE(prompter.Texts().contains(error));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(log.Freed);
    EXPECT_TRUE(PlugInInfo()->isVisible());
    // Files that are no libraries at all are not add-ins.
    QFile text(folder() + "/readme.txt");
    text.open(QIODevice::WriteOnly);
    EXPECT_EQ(automation::FindAddIns({folder()}).size(), 3);
}

TEST_F(AddInTest, WithoutTheApplicationObjectTheStartUpSaysSoAndLoadsNothing) {
    Install(TEST_ADDIN_GOOD, "good.so");
    automation::TAddInHost host(*window, nullptr, {folder()}, nullptr);
    host.Load();
    EXPECT_EQ(prompter.Texts(), QStringList{automation::NoApplicationObject});
    EXPECT_TRUE(Items().empty());
}

} // namespace
} // namespace automationtest
