// The commands' questions answered through the dialogs, with the dialogs filled in code.
#include <QComboBox>
#include <QRadioButton>

#include <QPushButton>
#include <QTest>

#include "dialogs/common/number_field.h"
#include "dialogs/palette/palette_dialog.h"
#include "dialogs/palette/palette_swatches.h"
#include "dialogs/prompts/prompts.h"
#include "dialogs/prompts/qt_prompts.h"
#include "editor/document/workspace_fixture.h"
#include "editor/frames/animation_prompts.h"

using namespace dialogs;
using namespace editortest;

TEST_F(WorkspaceTest, InsertPositionFromThePromptsDialog) {
    const std::pair<TInsertChoice, int> answers[] = {
        {TInsertChoice::AtStart, 0}, {TInsertChoice::Before, 2}, {TInsertChoice::After, 3}};
    for (const auto& [choice, index] : answers) {
        TQtFramePrompts prompts(settings, prompter, nullptr, [choice = choice](QDialog& dialog) {
            auto& prompt = static_cast<TfrmPrompts&>(dialog);
            EXPECT_TRUE(prompt.optAfter->isChecked());
            (choice == TInsertChoice::AtStart  ? prompt.optStart
             : choice == TInsertChoice::Before ? prompt.optBefore
                                               : prompt.optAfter)
                ->setChecked(true);
            return int(QDialog::Accepted);
        });
        EXPECT_EQ(prompts.AskInsertIndex(2), index);
    }
    TQtFramePrompts cancelled(settings, prompter, nullptr, [](QDialog&) { return int(QDialog::Rejected); });
    EXPECT_EQ(cancelled.AskInsertIndex(2), -1);
}

TEST_F(WorkspaceTest, GlobalPaletteDeletionKeepsColoursAndUndoes) {
    // Frames use global entries 0..3; entry 4 repeats entry 1, entry 5 is unused.
    auto image = MakeAnimation(4);
    image->GlobalColorMap().AppendColor(gif::RGB(255, 0, 0));
    image->GlobalColorMap().AppendColor(gif::RGB(9, 9, 9));
    const QString path = dir.filePath("pal.gif");
    image->SaveToFile(editor::NativePath(path));
    ASSERT_TRUE(workspace.OpenGifDocument(path));
    const auto before = GifBytes(workspace.WorkingImage());
    const int entries = workspace.WorkingImage().GlobalColorMap().EntryCount();   // padded to 8
    TQtAnimationPrompts prompts(settings, prompter, nullptr, [](QDialog& dialog) {
        auto& palette = static_cast<TfrmPalette&>(dialog);
        const auto select = [&](int index) {
            QTest::mouseClick(palette.pbPalette, Qt::LeftButton, {},
                              QPoint(3 + (index % 16) * 15 + 7, 3 + (index / 16) * 15 + 7));
        };
        select(3);   // used by frame 3 and held nowhere else: refused
        palette.btnDelete->click();
        select(1);   // used, but entry 4 holds the same red
        palette.btnDelete->click();
        select(4);   // was 5: unused
        palette.btnDelete->click();
        return int(QDialog::Accepted);
    });
    prompter.Then(editor::mrOk);
    ASSERT_TRUE(editor::AnimationPaletteExecute(workspace, prompts));
    EXPECT_EQ(prompter.Texts().last(), "This color is required by the image and cannot be removed.");
    gif::TGIFImage& edited = workspace.WorkingImage();
    // Entries 1 and 5 went; the reload pads the table to a power of two again.
    const auto table = edited.GlobalColorMap().Entries();
    ASSERT_EQ(int(table.size()), entries);
    EXPECT_EQ(table[1], (gif::TGIFColor{0, 255, 0}));
    EXPECT_EQ(table[3], (gif::TGIFColor{255, 0, 0}));
    EXPECT_EQ(table[4], (gif::TGIFColor{0, 0, 0}));
    // Frame 1 still shows red, frame 3 blue.
    const auto colourOf = [&](int frame) {
        return edited.GlobalColorMap().Entries()[edited.Frame(frame)->Pixels()[0]];
    };
    EXPECT_EQ(colourOf(1), (gif::TGIFColor{255, 0, 0}));
    EXPECT_EQ(colourOf(3), (gif::TGIFColor{0, 0, 255}));
    EXPECT_EQ(Active().History().TopCaption(), "Change Global Palette");
    Active().UndoLast();
    EXPECT_EQ(GifBytes(workspace.WorkingImage()), before);
}
