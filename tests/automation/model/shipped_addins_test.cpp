// The add-ins that ship with the editor, loaded from the build and used through their menu
// items on a test animation.
#include "automation/addins/addin_manager.h"
#include "automation/menus/menu_item.h"
#include "automation_fixture.h"
#include "editor/core/frame_list.h"

#include <QMenuBar>

namespace automationtest {
namespace {

class ShippedAddInTest : public AutomationTest {
  protected:
    void SetUp() override {
        AutomationTest::SetUp();
        automation::TAddInCollection::Instance().Clear();
        ASSERT_EQ(automation::LoadAddIns(*window, app, {SHIPPED_ADDINS}, nullptr), "");
    }
    void TearDown() override {
        automation::TAddInCollection::Instance().Clear();
        AutomationTest::TearDown();
    }
    void Pick(const QString& path) {
        QAction* item = automation::FindMenuItem(*window->menuBar(), path);
        ASSERT_TRUE(item) << path.toStdString();
        ASSERT_TRUE(item->isEnabled()) << path.toStdString();
        item->trigger();
    }
    std::vector<int> Delays() {
        std::vector<int> delays;
        auto frames = Frames();
        for (int i = 0; i < frames->Count().Value; ++i) delays.push_back(frames->Frame(i).Value->Delay().Value);
        return delays;
    }
    void UndoOnce() {
        ASSERT_TRUE(Doc()->CanUndo().Value);
        Doc()->Undo();
    }
};

TEST_F(ShippedAddInTest, BothAreListedAndTheirItemsWaitForADocument) {
    const auto& items = automation::TAddInCollection::Instance().Items();
    ASSERT_EQ(items.size(), 2u);
    QStringList titles;
    for (const auto& item : items) titles << item.Title;
    titles.sort();
    EXPECT_EQ(titles, (QStringList{"Timing", "Yo-yo"}));
    QAction* speed = automation::FindMenuItem(*window->menuBar(), "Plug-ins|Timing|Speed x2");
    ASSERT_TRUE(speed);
    EXPECT_FALSE(speed->isEnabled());
    EXPECT_TRUE(automation::FindMenuItem(*window->menuBar(), "Plug-ins|Timing")->isEnabled());
    Open("a.gif", 3);
    app->RefreshDocumentItems();
    EXPECT_TRUE(speed->isEnabled());
}

TEST_F(ShippedAddInTest, SpeedTwiceHalvesEveryDelayToAtLeastOneAndUndoesInOneStep) {
    Open("a.gif", 5);
    EditDelay(0, 1);
    EditDelay(1, 2);
    EditDelay(2, 3);
    app->RefreshDocumentItems();
    const auto before = Bytes();
    const int undoable = Active().History().Count();
    Pick("Plug-ins|Timing|Speed x2");
    EXPECT_EQ(Delays(), (std::vector<int>{1, 1, 2, 20, 25}));
    EXPECT_EQ(Active().History().Count(), undoable + 1);
    UndoOnce();
    EXPECT_EQ(Bytes(), before);

    Pick("Plug-ins|Timing|Speed x1/2");
    EXPECT_EQ(Delays(), (std::vector<int>{2, 4, 6, 80, 100}));
    UndoOnce();
    EXPECT_EQ(Bytes(), before);
}

TEST_F(ShippedAddInTest, SetAllDelaysTakesANumberAndIgnoresNonsense) {
    Open("a.gif", 3);
    app->RefreshDocumentItems();
    const auto before = Bytes();
    dialogs.Texts = {"7"};
    Pick("Plug-ins|Timing|Set all delays...");
    EXPECT_EQ(Delays(), (std::vector<int>{7, 7, 7}));
    UndoOnce();
    EXPECT_EQ(Bytes(), before);
    for (const QString nonsense : {"-3", "seven", "70000"}) {
        dialogs.Texts = {nonsense};
        Pick("Plug-ins|Timing|Set all delays...");
        EXPECT_EQ(Delays(), (std::vector<int>{10, 20, 30})) << nonsense.toStdString();
    }
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(dialogs.Asked.size(), 7);
}

TEST_F(ShippedAddInTest, YoYoAppendsTheMiddleFramesInReverseAndUndoesInOneStep) {
    Open("a.gif", 5);
    app->RefreshDocumentItems();
    const auto before = Bytes();
    Pick("Plug-ins|Yo-yo");
    EXPECT_EQ(Delays(), (std::vector<int>{10, 20, 30, 40, 50, 40, 30, 20}));
    EXPECT_EQ(editortest::FrameColours(Workspace().WorkingImage()), (std::vector<int>{0, 1, 2, 3, 0, 3, 2, 1}));
    EXPECT_EQ(Workspace().Frames().Count(), 8);
    UndoOnce();
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(Workspace().Frames().Count(), 5);
    // Two frames have no middle: nothing changes, nothing to undo.
    Open("b.gif", 2);
    app->RefreshDocumentItems();
    Pick("Plug-ins|Yo-yo");
    EXPECT_EQ(Frames()->Count().Value, 2);
    EXPECT_FALSE(Doc()->CanUndo().Value);
}

TEST_F(ShippedAddInTest, UndoGroupsRefuseNestingAndAnUnopenedEnd) {
    Open("a.gif", 2);
    EXPECT_FALSE(Doc()->EndUndoGroup().Succeeded());
    ASSERT_TRUE(Doc()->BeginUndoGroup("Outer").Succeeded());
    EXPECT_FALSE(Doc()->BeginUndoGroup("Inner").Succeeded());
    EXPECT_TRUE(Doc()->EndUndoGroup().Succeeded());
    EXPECT_FALSE(Doc()->CopyFrame(2, 0).Succeeded());
    EXPECT_FALSE(Doc()->CopyFrame(-1, 0).Succeeded());
    // A target past the end appends.
    EXPECT_TRUE(Doc()->CopyFrame(0, 99).Succeeded());
    EXPECT_EQ(Frames()->Count().Value, 3);
}

} // namespace
} // namespace automationtest
