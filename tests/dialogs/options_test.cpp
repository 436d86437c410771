// The options window: what it loads, the order and conditions of its apply, the undo field,
// the favourites list and the hidden warnings chord.
#include "dialogs/common/number_field.h"
#include "dialogs/options/options_dialog.h"
#include "editor/core/settings.h"
#include "editor/support/scripted_prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace dialogs;
using editor::keys::Compatibility;
using editor::keys::DropImageDefault;

namespace {

class TRecordingHost : public IOptionsHost {
  public:
    void SetToolbarsFlat(bool flat, int rowHeight) override {
        Log << QString("toolbars %1 %2").arg(flat ? "flat" : "raised").arg(rowHeight);
    }
    void SetFilterType(int filterType) override { Log << QString("filter %1").arg(filterType); }
    void SetThumbSize(int size) override { Log << QString("size %1").arg(size); }
    void SetTransparentColor(uint32_t color) override { Log << QString("colour %1").arg(color); }
    void ApplyPaletteSettings() override { Log << "palettes"; }
    QStringList Log;
};

class OptionsTest : public ::testing::Test {
  protected:
    std::unique_ptr<TfrmOptions> Open(TOptionsMode mode = TOptionsMode::Options,
                                      QStringList favorites = {}) {
        return std::make_unique<TfrmOptions>(mode, settings, prompter, current, favorites, "/start/");
    }
    TApplyResult Accept(TfrmOptions& options) {
        options.setResult(QDialog::Accepted);
        return options.Apply(current, host);
    }

    QTemporaryDir dir;
    editor::Settings settings{dir.filePath("settings.ini")};
    editortest::TScriptedPrompter prompter;
    TOptionsCurrent current;
    TRecordingHost host;
};

} // namespace

TEST_F(OptionsTest, ModesCaptionsAndTabs) {
    auto options = Open();
    EXPECT_EQ(options->windowTitle(), "Program Options");
    QStringList tabs;
    for (int i = 0; i < options->tabOptions->count(); ++i) tabs << options->tabOptions->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Program", "Animation", "Palettes", "Thumbnails", "About Loopwright"}));
    EXPECT_EQ(options->cbFileFilters->count(), 19);
    EXPECT_EQ(options->cbFileFilters->itemText(0), "GIF Images (*.gif)");
    EXPECT_EQ(options->cbFileFilters->itemText(18), "All Supported Image Files ");
    auto favorites = Open(TOptionsMode::Favorites);
    EXPECT_EQ(favorites->windowTitle(), "Organize Favorites");
    EXPECT_EQ(favorites->tabOptions->count(), 1);
    EXPECT_EQ(favorites->tabOptions->tabText(0), "Favorites");
    auto about = Open(TOptionsMode::About);
    EXPECT_EQ(about->windowTitle(), "About GIF Loopwright");
    EXPECT_EQ(about->lblVersion->text(), "Version 3.0");
    EXPECT_EQ(about->lblTitle->text(), "Quillmark GIF Loopwright 3.0");
    about->btnWebSite->click();
    about->btnMail->click();
    ASSERT_EQ(prompter.Opened.size(), 2);
    EXPECT_TRUE(prompter.Opened[0].startsWith("https://"));
    EXPECT_TRUE(prompter.Opened[1].startsWith("mailto:"));
}

TEST_F(OptionsTest, UndoFieldSnapsIntoItsRange) {
    auto options = Open();
    QLineEdit* edit = options->edtMaxUndo->Edit();
    // Empty or invalid text returns to the value it had on entry (the last one accepted).
    for (auto [typed, shown] : {std::pair{"99", "50"}, {"1", "5"}, {"", "5"}, {"12", "12"},
                                {"999", "50"}, {"0", "5"}, {"x", "5"}}) {
        edit->setText(typed);
        options->edtMaxUndo->CheckOnLeave();
        EXPECT_EQ(edit->text(), shown) << typed;
    }
    EXPECT_EQ(SnapUndo("abc", 20), 20);
    EXPECT_EQ(SnapUndo("-7", 20), 5);
    EXPECT_EQ(SnapUndo("99999999999999999999", 20), 20);
    // A stored nonsense value loads inside the range.
    settings.SetValue(editor::keys::MaxUndo, 400);
    EXPECT_EQ(Open()->edtMaxUndo->Text(), "50");
}

TEST_F(OptionsTest, RememberedAnswersChangeOnlyWhenRemembered) {
    // Stored 0: the question is still asked, the boxes change nothing.
    auto options = Open();
    options->chkDropDefault->setChecked(true);
    options->chkCompatibility->setChecked(true);
    Accept(*options);
    EXPECT_EQ(settings.Value(DropImageDefault), 0);
    EXPECT_EQ(settings.Value(Compatibility), 0);
    // Remembered answers follow the boxes.
    settings.SetValue(DropImageDefault, 6);
    settings.SetValue(Compatibility, 6);
    options = Open();
    EXPECT_FALSE(options->chkDropDefault->isChecked());
    EXPECT_TRUE(options->chkCompatibility->isChecked());
    options->chkDropDefault->setChecked(true);
    options->chkCompatibility->setChecked(false);
    Accept(*options);
    EXPECT_EQ(settings.Value(DropImageDefault), 7);
    EXPECT_EQ(settings.Value(Compatibility), 7);
}

TEST_F(OptionsTest, ApplyWritesInOrderAndTellsTheWindow) {
    auto options = Open();
    // The toolbars are flat now: the box starts unchecked.
    EXPECT_FALSE(options->chkFlatTB->isChecked());
    options->cbFileFilters->setCurrentIndex(18);
    options->cbThumbSize->setCurrentText("150");
    options->chkFlatTB->setChecked(true);
    options->cbTransColor->setCurrentText("Black");
    options->udDelay->SetText("7");
    options->udLoop->SetText("3");
    options->optChange->setChecked(true);
    options->chkAutoLoad->setChecked(false);
    const TApplyResult result = Accept(*options);
    EXPECT_TRUE(result.ThumbSizeChanged);
    EXPECT_EQ(host.Log, (QStringList{"toolbars raised 28", "filter 19", "size 150", "colour 0",
                                     "palettes"}));
    EXPECT_EQ(settings.Value(editor::keys::ThumbFilterType), 19);
    EXPECT_EQ(settings.Value(editor::keys::ThumbailSize), 150);
    EXPECT_EQ(settings.Value(editor::keys::NormalStyle), 1);
    EXPECT_EQ(settings.Value(editor::keys::FrameTransparentColor), 0);
    EXPECT_EQ(settings.Value(editor::keys::DefaultDelay), 7);
    EXPECT_EQ(settings.Value(editor::keys::DefaultNSLoop), 3);
    EXPECT_EQ(settings.Value(editor::keys::ClipFrame), 0);
    EXPECT_EQ(settings.Value(editor::keys::AutoLoadStartUp), 0);
    EXPECT_FALSE(current.FlatToolbars);
    // Back to flat buttons, a single kind, nothing else changed.
    host.Log.clear();
    options = Open();
    EXPECT_TRUE(options->chkFlatTB->isChecked());
    EXPECT_EQ(options->cbFileFilters->currentIndex(), 18);
    EXPECT_EQ(options->cbThumbSize->currentText(), "150");
    EXPECT_EQ(options->cbTransColor->currentText(), "Black");
    options->chkFlatTB->setChecked(false);
    options->cbFileFilters->setCurrentIndex(11);
    EXPECT_FALSE(Accept(*options).ThumbSizeChanged);
    EXPECT_EQ(host.Log, (QStringList{"toolbars flat 26", "filter 11", "palettes"}));
    EXPECT_EQ(settings.Value(editor::keys::ThumbFilterType), 11);
}

TEST_F(OptionsTest, PalettesPageWrittenOnlyOnApply) {
    auto options = Open();
    QRadioButton* netscape = nullptr;
    for (QRadioButton* b : options->findChildren<QRadioButton*>())
        if (b->text().contains("Netscape")) netscape = b;
    ASSERT_NE(netscape, nullptr);
    netscape->setChecked(true);
    options->reject();
    options.reset(); // Cancel writes nothing
    EXPECT_EQ(settings.Value(editor::keys::PaletteType), 0);
    options = Open();
    for (QRadioButton* b : options->findChildren<QRadioButton*>())
        if (b->text().contains("Netscape")) b->setChecked(true);
    Accept(*options);
    EXPECT_EQ(settings.Value(editor::keys::PaletteType), editor::ptWeb);
}

TEST_F(OptionsTest, FavoritesList) {
    auto options = Open(TOptionsMode::Favorites, {"/a/", "/b/"});
    QStringList asked;
    QString answer;
    options->BrowseFolder = [&](const QString& start) {
        asked << start;
        return answer;
    };
    EXPECT_FALSE(options->btnRemoveFolder->isEnabled());
    // Nothing selected: the browser starts in the current folder; a duplicate changes nothing.
    answer = "/a/";
    options->AddFolderClick();
    EXPECT_EQ(asked.last(), "/start/");
    EXPECT_FALSE(options->FavoritesChanged());
    EXPECT_EQ(options->lvFavorites->topLevelItemCount(), 2);
    // Selected entry: the browser starts there and the new folder goes after it.
    options->lvFavorites->setCurrentItem(options->lvFavorites->topLevelItem(0));
    EXPECT_TRUE(options->btnRemoveFolder->isEnabled());
    EXPECT_FALSE(options->btnMoveUp->isEnabled());
    EXPECT_TRUE(options->btnMoveDown->isEnabled());
    answer = "/c/";
    options->AddFolderClick();
    EXPECT_EQ(asked.last(), "/a/");
    EXPECT_EQ(options->Favorites(), (QStringList{"/a/", "/c/", "/b/"}));
    EXPECT_EQ(options->lvFavorites->currentItem()->text(0), "/c/");
    options->MoveDownClick();
    EXPECT_EQ(options->Favorites(), (QStringList{"/a/", "/b/", "/c/"}));
    EXPECT_FALSE(options->btnMoveDown->isEnabled());
    // Remove asks first; No keeps the entry, Yes removes it and selects the one before.
    prompter.Then(editor::mrNo).Then(editor::mrYes);
    options->RemoveFolderClick();
    EXPECT_EQ(options->Favorites().size(), 3);
    options->RemoveFolderClick();
    EXPECT_EQ(prompter.Texts().first(), "Do you want to remove /c/ the Favorites list?");
    EXPECT_EQ(options->Favorites(), (QStringList{"/a/", "/b/"}));
    EXPECT_EQ(options->lvFavorites->currentItem()->text(0), "/b/");
    EXPECT_TRUE(options->FavoritesChanged());
    // Cancel in the folder browser changes nothing.
    answer.clear();
    options->AddFolderClick();
    EXPECT_EQ(options->Favorites().size(), 2);
}

TEST_F(OptionsTest, WarningsChord) {
    auto options = Open();
    bool on = false;
    QList<bool> switched;
    options->WarningsOn = [&] { return on; };
    options->SetWarnings = [&](bool value) { switched << value; on = value; };
    prompter.Then(editor::mrNo).Then(editor::mrYes).Then(editor::mrYes);
    options->WarningsChord();
    EXPECT_TRUE(switched.isEmpty());
    options->WarningsChord();
    EXPECT_EQ(prompter.Texts()[1], "Would you like to turn on GIF warnings? This option is used "
                                   "for developer debugging purposes only.");
    EXPECT_EQ(settings.Value(editor::keys::Warnings), 1);
    options->WarningsChord();
    EXPECT_EQ(prompter.Texts()[2], "Would you like to turn off GIF warnings?");
    EXPECT_EQ(switched, (QList<bool>{true, false}));
    // Written at once, even though the window is cancelled.
    options->reject();
    EXPECT_EQ(settings.Value(editor::keys::Warnings), 0);
}
