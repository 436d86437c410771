// The prompts dialog, page by page: filled through its controls as a user would type and
// accepted in code, never shown modally.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "dialogs/common/number_field.h"
#include "dialogs/prompts/prompt_logic.h"
#include "dialogs/prompts/prompts.h"
#include "editor/core/settings.h"
#include "editor/support/scripted_prompter.h"

using namespace dialogs;
using editor::Settings;
namespace keys = editor::keys;

namespace {

class Prompts : public ::testing::Test {
protected:
    std::unique_ptr<TfrmPrompts> Make(TPromptKind kind) {
        return std::make_unique<TfrmPrompts>(kind, settings, prompter);
    }
    // Replaces the field's text by typing, as the user would.
    static void Type(TNumberField* field, const QString& text) {
        field->Edit()->selectAll();
        QTest::keyClicks(field->Edit(), text);
    }

    QTemporaryDir dir;
    Settings settings{dir.filePath("prompts.ini")};
    editortest::TScriptedPrompter prompter;
};

} // namespace

TEST_F(Prompts, CaptionsOfEveryPage) {
    const std::tuple<TPromptKind, const char*, const char*, const char*> pages[] = {
        {TPromptKind::pkInsertPosition, "Insert Image", "Position", "pnlDropFrame"},
        {TPromptKind::pkFrameSize, "Frame Size Difference", "Frame Size", "pnlFrameDiff"},
        {TPromptKind::pkPalettes, "Palettes", "Palettes", "pnlPalettes"},
        {TPromptKind::pkResize, "Resize Animation", "Resize", "pnlResize"},
        {TPromptKind::pkLoop, "Animation Information", "Animation", "pnlLoop"},
        {TPromptKind::pkProperties, "Image Properties", "Properties", "pnlProperties"},
        {TPromptKind::pkHtml, "HTML Tag", "HTML", "pnlHTML"},
        {TPromptKind::pkGlobalChange, "Global Change", "Properties", "pnlGlobal"}};
    for (const auto& [kind, window, tab, page] : pages) {
        auto dialog = Make(kind);
        EXPECT_EQ(dialog->windowTitle(), window);
        ASSERT_EQ(dialog->tabPrompt->count(), 1);
        EXPECT_EQ(dialog->tabPrompt->tabText(0), tab);
        EXPECT_EQ(dialog->tabPrompt->widget(0)->objectName(), page);
    }
}

TEST_F(Prompts, InsertPositionBeforeDisabledOnTheFirstFrame) {
    auto dialog = Make(TPromptKind::pkInsertPosition);
    EXPECT_EQ(dialog->InsertChoice(), TInsertChoice::AtStart);
    dialog->SetSelectedFrameIndex(0);
    EXPECT_FALSE(dialog->optBefore->isEnabled());
    EXPECT_EQ(dialog->InsertChoice(), TInsertChoice::After);
    dialog->SetSelectedFrameIndex(2);
    EXPECT_TRUE(dialog->optBefore->isEnabled());
    dialog->optBefore->setChecked(true);
    EXPECT_EQ(dialog->InsertChoice(), TInsertChoice::Before);
}

TEST_F(Prompts, ResizeWithConstrainedSize) {
    auto dialog = Make(TPromptKind::pkResize);
    dialog->SetCurrentSize(200, 100);
    dialog->chkConstrain->setChecked(true);
    Type(dialog->udHeight, "50");
    EXPECT_EQ(dialog->txtHPercent->Text(), "25");
    EXPECT_EQ(dialog->txtWPercent->Text(), "25");
    EXPECT_EQ(dialog->udWidth->Text(), "25");
    Type(dialog->txtHPercent, "150");
    EXPECT_EQ(dialog->udHeight->Text(), "300");
    EXPECT_EQ(dialog->udWidth->Text(), "150");
    EXPECT_EQ(dialog->txtWPercent->Text(), "150");
    dialog->accept();
    EXPECT_EQ(dialog->NewHeight(), 300);
    EXPECT_EQ(dialog->NewWidth(), 150);
}

TEST_F(Prompts, ResizeWithoutConstraintAndHalvesToEven) {
    auto dialog = Make(TPromptKind::pkResize);
    dialog->SetCurrentSize(200, 100);
    Type(dialog->udHeight, "101");   // 50.5 % rounds to 50
    EXPECT_EQ(dialog->txtHPercent->Text(), "50");
    EXPECT_EQ(dialog->txtWPercent->Text(), "100");
    EXPECT_EQ(dialog->udWidth->Text(), "100");
    Type(dialog->udWidth, "3");      // 3 %
    EXPECT_EQ(dialog->txtWPercent->Text(), "3");
    EXPECT_EQ(dialog->udHeight->Text(), "101");
    // Ticking Constrain Size re-runs the height, then the width.
    dialog->chkConstrain->click();
    EXPECT_EQ(dialog->udWidth->Text(), "50");
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(SizeFromPercent(3, 50), 2);   // 1.5 -> 2
}

TEST_F(Prompts, PalettesLoadDefaultsAndSaveOnlyOnOk) {
    settings.SetValue(keys::MaxColorCount, 100);
    settings.SetValue(keys::PaletteType, 7);
    settings.SetValue(keys::DitherMethod, 1);
    {
        auto dialog = Make(TPromptKind::pkPalettes);
        EXPECT_EQ(dialog->cbMaxColors->currentText(), "256");
        EXPECT_TRUE(dialog->optPalOptimzed->isChecked());
        EXPECT_TRUE(dialog->optFloyd->isChecked());
        dialog->optPalLocal->setChecked(true);
        dialog->cbMaxColors->setCurrentText("16");
        dialog->reject();
    }
    EXPECT_EQ(settings.Value(keys::PaletteType), 7);
    {
        auto dialog = Make(TPromptKind::pkPalettes);
        dialog->optPalLocal->setChecked(true);
        dialog->cbMaxColors->setCurrentText("16");
        dialog->optNearest->setChecked(true);
        dialog->chkDefaultPal->setChecked(true);
        dialog->accept();
    }
    EXPECT_EQ(settings.Value(keys::PaletteType), 2);
    EXPECT_EQ(settings.Value(keys::MaxColorCount), 16);
    {
        auto dialog = Make(TPromptKind::pkPalettes);
        dialog->optPalQuality->setChecked(true);
        dialog->accept();
    }
    EXPECT_EQ(settings.Value(keys::PaletteType), int(editor::ptQuality));
    EXPECT_TRUE(Make(TPromptKind::pkPalettes)->optPalQuality->isChecked());
    EXPECT_EQ(settings.Value(keys::DitherMethod), 0);
    EXPECT_EQ(settings.Value(keys::PaletteDefaults), 1);
}

TEST_F(Prompts, FrameSizeChoiceIsStoredOnOk) {
    {
        auto dialog = Make(TPromptKind::pkFrameSize);
        EXPECT_TRUE(dialog->optChange->isChecked());   // ClipFrame reads 0 here
        EXPECT_FALSE(dialog->TrimChosen());
        dialog->optClip->setChecked(true);
        dialog->chkDefault->setChecked(true);
        dialog->accept();
        EXPECT_TRUE(dialog->TrimChosen());
    }
    EXPECT_EQ(settings.Value(keys::ClipFrame), 1);
    EXPECT_EQ(settings.Value(keys::ClipDefault), 1);
}

TEST_F(Prompts, LoopPageStartsFromThePlayCount) {
    auto infinite = Make(TPromptKind::pkLoop);
    infinite->SetAnimationFacts(3, 1234, 250, 0);
    EXPECT_TRUE(infinite->optLoopInfinite->isChecked());
    EXPECT_FALSE(infinite->udLoop->isEnabled());
    EXPECT_EQ(infinite->lblRunningTime->text(), "2.50 secs");
    EXPECT_EQ(infinite->lblCurrentSize->text(), "1234 bytes");
    auto thrice = Make(TPromptKind::pkLoop);
    thrice->SetAnimationFacts(3, 1234, 250, 3);
    EXPECT_TRUE(thrice->optLoopPlay->isChecked());
    EXPECT_TRUE(thrice->udLoop->isEnabled());
    const TLoopChoice choice = thrice->LoopChoice();
    EXPECT_FALSE(choice.Infinite);
    EXPECT_EQ(choice.PlayCount, 3);
    EXPECT_EQ(choice.CurrentPlayCount, 3);
    // The field's minimum is 1: a typed 0 plays once, and stepping down stops there.
    thrice->udLoop->SetText("0");
    EXPECT_EQ(thrice->LoopChoice().PlayCount, 1);
    thrice->udLoop->SetText("1");
    thrice->udLoop->StepBy(-1);
    EXPECT_EQ(thrice->udLoop->Text(), "1");
    EXPECT_EQ(thrice->LoopChoice().PlayCount, 1);
}

TEST_F(Prompts, HtmlTagFollowsLinkHintAndBorder) {
    auto dialog = Make(TPromptKind::pkHtml);
    dialog->SetHtmlSource("logo.gif", 40, 120);
    EXPECT_EQ(dialog->HtmlCode(), "<img src=\"logo.gif\" height=\"40\" width=\"120\" border=\"0\">");
    QTest::keyClicks(dialog->txtHint, "Logo");
    EXPECT_EQ(dialog->HtmlCode(),
              "<img src=\"logo.gif\" height=\"40\" width=\"120\" alt=\"Logo\" border=\"0\">");
    QTest::keyClicks(dialog->txtLink, "https://example.org");
    EXPECT_EQ(dialog->HtmlCode(), "<a href=\"https://example.org\"><img src=\"logo.gif\" height=\"40\" "
                                  "width=\"120\" alt=\"Logo\" border=\"0\"></a>");
    dialog->udBorder->StepBy(1);
    EXPECT_TRUE(dialog->HtmlCode().contains("border=\"1\""));
    QTest::mouseClick(dialog->btnCopy, Qt::LeftButton);
    EXPECT_EQ(prompter.Texts(), QStringList{"HTML Code successfully copied to clipboard."});
}

TEST_F(Prompts, GlobalChangeNothingFilledAndTheDisposalAdvice) {
    auto empty = Make(TPromptKind::pkGlobalChange);
    empty->SetFrameProperties(false, true, false);
    EXPECT_EQ(empty->chkTransparent->text(), "Make &Transparent");
    EXPECT_EQ(empty->chkInterlaced->text(), "Remove &Interlaced");
    EXPECT_EQ(empty->chkLocalPal->text(), "Make &Local Palette");
    empty->accept();
    EXPECT_FALSE(empty->GlobalChange().AnyFieldSet);

    auto dialog = Make(TPromptKind::pkGlobalChange);
    dialog->SetFrameProperties(false, false, false);
    prompter.Then(editor::mrYes).Then(editor::mrCancel);
    dialog->chkTransparent->click();
    EXPECT_EQ(dialog->cbDisposal->currentIndex(), 2);
    EXPECT_TRUE(dialog->GlobalChange().Transparent.Clicked);
    dialog->chkTransparent->click();   // off again: mark cleared
    EXPECT_FALSE(dialog->GlobalChange().Transparent.Clicked);
    dialog->chkTransparent->click();   // Cancel unticks it
    EXPECT_FALSE(dialog->chkTransparent->isChecked());
    Type(dialog->udDelay, "40000");
    dialog->accept();
    const TGlobalChange change = dialog->GlobalChange();
    EXPECT_TRUE(change.AnyFieldSet);
    EXPECT_EQ(change.Delay, "40000");   // typed as is; the caller ignores it above 32767
    EXPECT_EQ(change.Disposal, 2);
}

TEST(HtmlTag, AttributesAreEscaped) {
    EXPECT_EQ(BuildHtmlTag("a&b.gif", 2, 3, "http://x.org/?a=1&b=\"2\"", "<Tom & \"Jerry\">", "0"),
              "<a href=\"http://x.org/?a=1&amp;b=&quot;2&quot;\"><img src=\"a&amp;b.gif\" "
              "height=\"2\" width=\"3\" alt=\"&lt;Tom &amp; &quot;Jerry&quot;&gt;\" "
              "border=\"0\"></a>");
    EXPECT_EQ(AttributeText("&amp;"), "&amp;amp;"); // typed text is text, not markup
}
