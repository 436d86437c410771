// Menus by caption path and the items that clients add, in-process.
#include "automation/addins/addin.h"
#include "automation/menus/menu_item.h"
#include "automation_fixture.h"

#include <QMenu>
#include <QMenuBar>

namespace automationtest {
namespace {

using automation::AsMenuItem;
using automation::TMenuItemRef;

// A handler that counts its calls and answers with a fixed HRESULT.
class TRecordingHandler final : public automation::IIntfMenuHandler {
  public:
    explicit TRecordingHandler(int answer = 0, bool fail = false) : answer_(answer), fail_(fail) {}
    automation::TResult<int> Execute(int nTag) override {
        Tags.push_back(nTag);
        automation::TResult<int> result{answer_};
        if (fail_) {
            result.Status = automation::TStatus::Failed;
            result.Error = "the client went away";
        }
        return result;
    }
    std::vector<int> Tags;

  private:
    int answer_;
    bool fail_;
};

class MenuTest : public AutomationTest {
  protected:
    TMenuItemRef Menu(const QString& path) {
        auto result = app->Menu(path);
        EXPECT_TRUE(result.Succeeded()) << result.Error.toStdString();
        return AsMenuItem(result.Value);
    }
};

TEST_F(MenuTest, PathsIgnoreAmpersandsAndCaseAndAMissingPathNamesItself) {
    auto open = Menu("File|Open...");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->Caption().Value, window->Action(editor::TActionId::FileOpen)->text());
    EXPECT_TRUE(app->MenuExists("file|open...").Value);
    EXPECT_EQ(AsMenuItem(app->Menu("FILE|OPEN...").Value)->Caption().Value, open->Caption().Value);
    // The path's captions are taken as they stand: "&" in the path is no accelerator mark.
    EXPECT_FALSE(app->MenuExists("&File").Value);

    for (const QString path : {"File|Nothing", "", "File|Open...|More", "File|", "|File"}) {
        EXPECT_FALSE(app->MenuExists(path).Value) << path.toStdString();
        auto failed = app->Menu(path);
        EXPECT_FALSE(failed.Succeeded());
        EXPECT_EQ(failed.Error, "Menu" + path + "does not exist!");
    }
    // The shortcut in portable notation, the position among the siblings.
    EXPECT_EQ(open->ShortCut().Value, "Ctrl+O");
    EXPECT_EQ(open->MenuIndex().Value, 1);
    EXPECT_EQ(Menu("File")->MenuIndex().Value, 0);
}

TEST_F(MenuTest, OfTwoEqualSiblingsTheLaterIsFound) {
    auto tools = Menu("Tools");
    auto first = tools->AddSubItem().Value;
    auto second = tools->AddSubItem().Value;
    first->SetCaption("&Twin");
    second->SetCaption("T&win");
    second->SetTag(2);
    EXPECT_EQ(Menu("tools|twin")->Tag().Value, 2);
    EXPECT_EQ(Menu("tools|twin")->MenuIndex().Value, tools->SubItemCount().Value - 1);
}

TEST_F(MenuTest, SubItemBoundsAndInsertPositions) {
    auto file = Menu("File");
    const int count = file->SubItemCount().Value;
    ASSERT_GT(count, 3);
    EXPECT_EQ(file->SubItem(0).Value->Caption().Value, window->Action(editor::TActionId::FileNew)->text());
    for (int index : {count, -1, 1 << 30}) {
        auto failed = file->SubItem(index);
        EXPECT_FALSE(failed.Succeeded());
        EXPECT_EQ(failed.Error, "Menu index out of bounds");
    }
    EXPECT_EQ(file->InsertSubItem(count + 1).Error, "Menu index out of bounds");
    EXPECT_EQ(file->InsertSubItem(-1).Error, "Menu index out of bounds");
    EXPECT_EQ(file->SubItemCount().Value, count);

    auto inserted = file->InsertSubItem(1).Value;
    inserted->SetCaption("&Inserted");
    EXPECT_EQ(inserted->MenuIndex().Value, 1);
    EXPECT_EQ(file->SubItemCount().Value, count + 1);
    // Moving it to the end, and past the end, keeps it last.
    inserted->SetMenuIndex(1000);
    EXPECT_EQ(inserted->MenuIndex().Value, count);
    inserted->SetMenuIndex(0);
    EXPECT_EQ(file->SubItem(0).Value->Caption().Value, "&Inserted");

    // A sub-item of a plain item makes it a submenu reachable by path.
    auto child = inserted->AddSubItem().Value;
    child->SetCaption("Child");
    EXPECT_TRUE(app->MenuExists("File|Inserted|Child").Value);
    EXPECT_EQ(inserted->SubItemCount().Value, 1);
}

TEST_F(MenuTest, PropertiesRoundTripAndANonsenseShortcutGivesNone) {
    auto item = Menu("Tools")->AddSubItem().Value;
    item->SetCaption("&Speed");
    item->SetHint("Plays faster");
    item->SetChecked(true);
    item->SetVisible(false);
    item->SetTag(-7);
    item->SetShortCut("Ctrl+Shift+F9");
    EXPECT_EQ(item->Hint().Value, "Plays faster");
    EXPECT_TRUE(item->Checked().Value);
    EXPECT_FALSE(item->Visible().Value);
    EXPECT_EQ(item->Tag().Value, -7);
    EXPECT_EQ(item->ShortCut().Value, "Ctrl+Shift+F9");
    item->SetShortCut("Hyper+Banana");
    EXPECT_EQ(item->ShortCut().Value, "");
    EXPECT_TRUE(item->DocDependent().Value);
    item->SetDocDependent(false);
    EXPECT_FALSE(item->DocDependent().Value);
}

TEST_F(MenuTest, DocumentDependentItemsFollowTheActiveDocumentOnRefresh) {
    auto dependent = Menu("Tools")->AddSubItem().Value;
    auto independent = Menu("Tools")->AddSubItem().Value;
    independent->SetDocDependent(false);
    dependent->SetEnabled(true);
    app->RefreshDocumentItems();
    EXPECT_FALSE(dependent->Enabled().Value);
    EXPECT_TRUE(independent->Enabled().Value);
    // The main window's own items with context 1 too.
    QAction* reverse = automation::FindMenuItem(*window->menuBar(), "Tools|Reverse Frame Order");
    ASSERT_TRUE(reverse);
    reverse->setProperty(automation::HelpContextProperty, 1);
    reverse->setEnabled(true);
    app->RefreshDocumentItems();
    EXPECT_FALSE(reverse->isEnabled());

    Open("a.gif", 2);
    app->RefreshDocumentItems();
    EXPECT_TRUE(dependent->Enabled().Value);
    EXPECT_TRUE(reverse->isEnabled());
}

TEST_F(MenuTest, HandlersGetTheTagAndOnlyAutomatedItemsTakeThem) {
    auto handler = std::make_shared<TRecordingHandler>();
    auto predefined = Menu("File|Open...");
    auto refused = predefined->SetMenuHandler(handler);
    EXPECT_FALSE(refused.Succeeded());
    EXPECT_EQ(refused.Error, "Cannot change pre-defined menu handlers");

    auto item = Menu("Tools")->AddSubItem().Value;
    item->SetDocDependent(false);
    item->SetTag(42);
    // Without a handler picking it does nothing.
    EXPECT_TRUE(item->Execute().Succeeded());
    ASSERT_TRUE(item->SetMenuHandler(handler).Succeeded());
    item->Execute();
    ASSERT_EQ(handler->Tags, std::vector<int>{42});
    EXPECT_TRUE(prompter.Texts().isEmpty());

    // A failed HRESULT and a failed call reach the error box.
    item->SetMenuHandler(std::make_shared<TRecordingHandler>(int(0x80004005u)));
    item->Execute();
    item->SetMenuHandler(std::make_shared<TRecordingHandler>(0, true));
    item->Execute();
    const QStringList errors = prompter.Texts();
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains("80004005")) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains("the client went away"));
}

TEST_F(MenuTest, AWrapperOfARemovedItemFailsInsteadOfCrashing) {
    auto item = Menu("Tools")->AddSubItem().Value;
    auto automated = std::static_pointer_cast<automation::TIntfMenuItem>(item);
    delete automated->Item();
    EXPECT_FALSE(item->Caption().Succeeded());
    EXPECT_FALSE(item->Execute().Succeeded());
}

} // namespace
} // namespace automationtest
