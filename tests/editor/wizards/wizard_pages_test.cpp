// The wizards window's navigation and enabling rules, its image list and its tips.
#include "editor/wizards/tips.h"
#include "editor/wizards/wizard_pages.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace editor;

namespace {

// Back, Next and Next's caption of the page shown, as one text: "B N &Next >".
std::string Buttons(const TWizardPages& pages, int images) {
    return std::string(pages.BackEnabled() ? "B" : "-") + (pages.NextEnabled(images) ? "N " : "- ") +
           pages.NextCaption().toStdString();
}

} // namespace

TEST(WizardPages, AnimationWizardWalksPagesZeroToFour) {
    TWizardPages pages(TWizardMode::Animation);
    ASSERT_EQ(pages.Page(), 0);
    EXPECT_EQ(Buttons(pages, 0), "-N &Next >");
    EXPECT_FALSE(pages.Back());
    const char* const expected[] = {"", "BN &Next >", "BN &Next >", "B- &Next >", "BN &Finish"};
    const char* const titles[] = {"Animation Dimensions", "Frame Position and Size",
                                  "Animation Loop and Frame Delay", "Frame Images",
                                  "Finish Wizard"};
    EXPECT_EQ(pages.Title(), titles[0]);
    for (int page = 1; page <= 4; ++page) {
        ASSERT_TRUE(pages.Next());
        EXPECT_EQ(pages.Page(), page);
        EXPECT_EQ(pages.Title(), titles[page]);
        EXPECT_EQ(Buttons(pages, 0), page == 4 ? "B- &Finish" : expected[page]) << page;
    }
    // The images page lets go on only with a picture in the list.
    pages.Back();
    EXPECT_EQ(Buttons(pages, 1), "BN &Next >");
    pages.Next();
    EXPECT_EQ(Buttons(pages, 2), "BN &Finish");
    // Next on the finish page is the window's to handle: no page 5 in this mode.
    EXPECT_FALSE(pages.Next());
    EXPECT_EQ(pages.Page(), 4);
    // Back again: the caption returns to "&Next >".
    ASSERT_TRUE(pages.Back());
    EXPECT_EQ(pages.NextCaption(), "&Next >");
    while (pages.Back()) {}
    EXPECT_EQ(pages.Page(), 0);
}

TEST(WizardPages, OptimizationWizardWalksPagesFiveToEight) {
    TWizardPages pages(TWizardMode::Optimization);
    ASSERT_EQ(pages.Page(), 5);
    EXPECT_EQ(pages.Title(), "Animation Output ");
    EXPECT_EQ(Buttons(pages, 0), "-N &Next >");
    const char* const titles[] = {"Palettes", "Frames", "Finish Wizard"};
    for (int page = 6; page <= 8; ++page) {
        ASSERT_TRUE(pages.Next());
        EXPECT_EQ(pages.Title(), titles[page - 6]);
        // The image list has nothing to say here.
        EXPECT_EQ(Buttons(pages, 0), page == 8 ? "BN &Finish" : "BN &Next >");
    }
    EXPECT_FALSE(pages.Next());
    ASSERT_TRUE(pages.Back());
    ASSERT_TRUE(pages.Back());
    ASSERT_TRUE(pages.Back());
    EXPECT_EQ(pages.Page(), 5);
    EXPECT_FALSE(pages.Back());
}

TEST(WizardPages, WelcomeAndTipsHaveNoPagesUntilNewTurnsWelcomeIntoTheWizard) {
    for (TWizardMode mode : {TWizardMode::Welcome, TWizardMode::Tips}) {
        TWizardPages pages(mode);
        EXPECT_FALSE(pages.IsWizard());
        EXPECT_FALSE(pages.BackEnabled());
        EXPECT_FALSE(pages.NextEnabled(5));
        EXPECT_FALSE(pages.Next());
    }
    TWizardPages pages(TWizardMode::Welcome);
    pages.SwitchToAnimationWizard();
    EXPECT_EQ(pages.Mode(), TWizardMode::Animation);
    EXPECT_EQ(pages.Page(), 0);
    EXPECT_EQ(WizardCaption(TWizardMode::Welcome), "Welcome to GIF Loopwright");
    EXPECT_EQ(WizardCaption(TWizardMode::Animation), "Animation Wizard");
    EXPECT_EQ(WizardCaption(TWizardMode::Optimization), "Optimization Wizard");
    EXPECT_EQ(WizardCaption(TWizardMode::Tips), "Tip of the Day");
    EXPECT_EQ(HelpContext(TWizardMode::Animation), 301);
    EXPECT_EQ(HelpContext(TWizardMode::Optimization), 302);
    EXPECT_EQ(PageTitle(-1), "");
    EXPECT_EQ(PageTitle(9), "");
}

TEST(WizardImageList, AddRemoveAndMoveKeepTheSelectionAndTheEnabling) {
    TImageList list;
    EXPECT_FALSE(list.CanRemove());
    EXPECT_FALSE(list.CanMoveUp());
    EXPECT_FALSE(list.CanMoveDown());
    list.RemoveSelected(); // nothing selected: nothing happens
    list.MoveUp();
    list.Add({});
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Selected(), -1);

    list.Add({"a", "b"});
    list.Add({"c"});
    EXPECT_EQ(list.Paths(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(list.Selected(), 0); // the first entry after every Add
    EXPECT_TRUE(list.CanRemove());
    EXPECT_FALSE(list.CanMoveUp());
    EXPECT_TRUE(list.CanMoveDown());

    list.MoveDown();
    EXPECT_EQ(list.Paths(), QStringList({"b", "a", "c"}));
    EXPECT_EQ(list.Selected(), 1);
    list.MoveDown();
    EXPECT_EQ(list.Paths(), QStringList({"b", "c", "a"}));
    EXPECT_EQ(list.Selected(), 2);
    EXPECT_FALSE(list.CanMoveDown());
    list.MoveDown(); // already last
    EXPECT_EQ(list.Paths(), QStringList({"b", "c", "a"}));
    list.MoveUp();
    EXPECT_EQ(list.Paths(), QStringList({"b", "a", "c"}));
    EXPECT_EQ(list.Selected(), 1);

    list.Select(7); // out of range: no selection
    EXPECT_EQ(list.Selected(), -1);
    EXPECT_FALSE(list.CanRemove());
    list.Select(2);
    list.RemoveSelected(); // the last: the new last is selected
    EXPECT_EQ(list.Paths(), QStringList({"b", "a"}));
    EXPECT_EQ(list.Selected(), 1);
    list.Select(0);
    list.RemoveSelected();
    list.RemoveSelected();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Selected(), -1);
}

TEST(WizardTips, TwoLinesShowLineZeroThenOneThenZeroAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Tips.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("First tip\r\nSecond tip\n\n");
    file.close();
    TTips tips;
    tips.Load(path, dir.path());
    EXPECT_EQ(tips.Count(), 2);
    EXPECT_TRUE(tips.CanGoNext());
    EXPECT_EQ(tips.Current(), "First tip");
    tips.Next();
    EXPECT_EQ(tips.Current(), "Second tip");
    tips.Next();
    EXPECT_EQ(tips.Current(), "First tip");
}

TEST(WizardTips, AMissingOrUnreadableFileShowsWhereTheTipsShouldBe) {
    QTemporaryDir dir;
    TTips tips;
    for (const QString& path : {dir.filePath("none.txt"), dir.path(), QString()}) {
        tips.Load(path, "/opt/loopwright");
        EXPECT_EQ(tips.Count(), 0);
        EXPECT_FALSE(tips.CanGoNext());
        EXPECT_EQ(tips.Current(), "Could not load tips file! Please make sure Tips.txt is in the "
                                  "application folder of /opt/loopwright.");
        tips.Next(); // nothing to move to
        EXPECT_EQ(tips.Index(), 0);
    }
}

TEST(WizardTips, TheShippedFileHoldsAtLeastTwentyTips) {
    TTips tips;
    tips.Load(QString(LOOPWRIGHT_SOURCE_DIR) + "/resources/Tips.txt", ".");
    EXPECT_GE(tips.Count(), 20);
    QStringList seen;
    for (int i = 0; i < tips.Count(); ++i, tips.Next()) {
        EXPECT_FALSE(seen.contains(tips.Current())) << tips.Current().toStdString();
        seen << tips.Current();
    }
}
