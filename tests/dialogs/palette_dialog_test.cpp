// The palette dialog in its three modes, driven through its controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/common/number_field.h"
#include "dialogs/palette/frame_preview.h"
#include "dialogs/palette/palette_dialog.h"
#include "dialogs/palette/palette_swatches.h"
#include "editor/support/scripted_prompter.h"
#include "editor/undo/palette_command.h"

using namespace dialogs;

namespace {

editor::TCmdColorMap Table(std::initializer_list<gif::TColor> colours) {
    editor::TCmdColorMap table;
    for (gif::TColor c : colours) table.AppendColor(c);
    return table;
}

// A click inside swatch `index`.
QPoint SwatchPoint(int index) {
    return {TPaletteSwatches::Origin + (index % 16) * 15 + 7, TPaletteSwatches::Origin + (index / 16) * 15 + 7};
}

} // namespace

TEST(PaletteSwatches, HitTestFollowsTheFifteenPixelGrid) {
    EXPECT_EQ(TPaletteSwatches::IndexAt({3, 3}), 0);
    EXPECT_EQ(TPaletteSwatches::IndexAt({3 + 3 * 15, 3 + 2 * 15}), 35);
    EXPECT_EQ(TPaletteSwatches::IndexAt({243, 243}), 255);
    EXPECT_EQ(TPaletteSwatches::IndexAt({244, 10}), -1);
    EXPECT_EQ(TPaletteSwatches::IndexAt({2, 10}), -1);
}

TEST(PaletteDialog, GlobalPaletteEditAddAndDelete) {
    editortest::TScriptedPrompter prompter;
    TfrmPalette dialog(pmGlobalPalette, prompter);
    EXPECT_EQ(dialog.windowTitle(), "Global Palette");
    const auto table = Table({gif::RGB(10, 0, 0), gif::RGB(0, 20, 0), gif::RGB(0, 0, 30)});
    dialog.SetTable(table);
    EXPECT_TRUE(dialog.btnDelete->isEnabled());
    // Select entry 1 and type a new red.
    QTest::mouseClick(dialog.pbPalette, Qt::LeftButton, {}, SwatchPoint(1));
    EXPECT_EQ(dialog.SelectedIndex(), 1);
    EXPECT_EQ(dialog.udGreen->Text(), "20");
    dialog.udRed->Edit()->setFocus();
    dialog.udRed->Edit()->selectAll();
    QTest::keyClicks(dialog.udRed->Edit(), "99");
    QTest::keyClick(dialog.udRed->Edit(), Qt::Key_Return);
    EXPECT_EQ(dialog.Colors()[1], gif::RGB(99, 20, 0));
    EXPECT_TRUE(dialog.Changed());
    // The up-down applies at once.
    dialog.udBlue->StepBy(1);
    EXPECT_EQ(dialog.Colors()[1], gif::RGB(99, 20, 1));
    // Clicking past the last entry keeps the selection and disables Delete.
    QTest::mouseClick(dialog.pbPalette, Qt::LeftButton, {}, SwatchPoint(7));
    EXPECT_EQ(dialog.SelectedIndex(), 1);
    EXPECT_FALSE(dialog.btnDelete->isEnabled());
    // Delete asks the animation; a refusal leaves the table alone.
    QTest::mouseClick(dialog.pbPalette, Qt::LeftButton, {}, SwatchPoint(1));
    dialog.CanDelete = [](const gif::TGIFColorMap& t, int index) {
        return t.Entries()[size_t(index)] == gif::TGIFColor{0, 0, 30};
    };
    QTest::mouseClick(dialog.btnDelete, Qt::LeftButton);
    EXPECT_EQ(dialog.Colors().size(), 3u);
    EXPECT_EQ(prompter.Texts(), QStringList{"This color is required by the image and cannot be removed."});
    QTest::mouseClick(dialog.pbPalette, Qt::LeftButton, {}, SwatchPoint(2));
    QTest::mouseClick(dialog.btnDelete, Qt::LeftButton);
    ASSERT_EQ(dialog.Colors().size(), 2u);
    EXPECT_EQ(dialog.DeletedIndices(), std::vector<int>{2});
    EXPECT_EQ(dialog.SelectedIndex(), 1);
    EXPECT_FALSE(dialog.btnDelete->isEnabled());   // two entries left
    // Adding up to 256 entries disables Add.
    while (dialog.btnAdd->isEnabled()) QTest::mouseClick(dialog.btnAdd, Qt::LeftButton);
    EXPECT_EQ(dialog.Colors().size(), 256u);
    EXPECT_EQ(dialog.Colors().back(), gif::clWhite);
}

TEST(PaletteDialog, ValuesOutsideTheRangeAreRefusedOnLeaving) {
    editortest::TScriptedPrompter prompter;
    TfrmPalette dialog(pmChangeColor, prompter);
    dialog.show();
    dialog.SetColour(gif::RGB(1, 2, 3));
    dialog.udRed->Edit()->setFocus();
    dialog.udRed->Edit()->selectAll();
    QTest::keyClicks(dialog.udRed->Edit(), "300");
    EXPECT_FALSE(dialog.udRed->CheckOnLeave());
    EXPECT_EQ(dialog.udRed->Text(), "1");
    EXPECT_EQ(prompter.Texts(), QStringList{"'300' is not within the 0-255 range."});
}

TEST(PaletteDialog, ChangeColorOkWithoutEditReportsTheStartingColour) {
    editortest::TScriptedPrompter prompter;
    TfrmPalette dialog(pmChangeColor, prompter);
    EXPECT_EQ(dialog.windowTitle(), "Change Color Value");
    EXPECT_EQ(dialog.pbPalette, nullptr);
    EXPECT_EQ(dialog.btnAdd, nullptr);
    dialog.SetColour(gif::RGB(12, 34, 56));
    dialog.accept();
    EXPECT_TRUE(dialog.Changed());
    EXPECT_EQ(dialog.PreviewColour(), gif::RGB(12, 34, 56));
    TfrmPalette cancelled(pmChangeColor, prompter);
    cancelled.SetColour(gif::RGB(1, 1, 1));
    cancelled.reject();
    EXPECT_FALSE(cancelled.Changed());
}

TEST(PaletteDialog, TransparentPickBySwatchOrByPicture) {
    editortest::TScriptedPrompter prompter;
    TfrmPalette dialog(pmTransparentColor, prompter);
    EXPECT_EQ(dialog.windowTitle(), "Transparent Color");
    dialog.SetTable(Table({gif::RGB(0, 0, 0), gif::RGB(255, 0, 0), gif::RGB(0, 255, 0)}));
    QImage picture(4, 2, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 0));
    picture.setPixel(3, 1, qRgb(0, 255, 0));
    picture.setPixel(0, 0, qRgb(9, 9, 9));   // a colour of no entry
    dialog.SetFrame(2, picture, 1);
    EXPECT_EQ(dialog.SelectedIndex(), 1);
    EXPECT_EQ(dialog.PickedColour(), gif::RGB(255, 0, 0));
    EXPECT_FALSE(dialog.Changed());
    dialog.PickFromPicture({3, 1});
    EXPECT_EQ(dialog.SelectedIndex(), 2);
    EXPECT_EQ(dialog.PickedColour(), gif::RGB(0, 255, 0));
    EXPECT_TRUE(dialog.Changed());
    dialog.PickFromPicture({0, 0});
    EXPECT_EQ(dialog.SelectedIndex(), -1);
    QTest::mouseClick(dialog.pbPalette, Qt::LeftButton, {}, SwatchPoint(0));
    EXPECT_EQ(dialog.SelectedIndex(), 0);
    EXPECT_EQ(dialog.PickedColour(), gif::RGB(0, 0, 0));
    EXPECT_EQ(dialog.FrameIndex(), 2);
}

// A refused colour value asks once, also when the box takes the activation and gives it
// back, and when OK checks the fields again while the focus is still in the bad one.
TEST(PaletteDialog, ARefusedValueAsksOnceWhateverTheBoxDoesToTheFocus) {
    editortest::TScriptedPrompter prompter;
    TfrmPalette dialog(pmChangeColor, prompter);
    dialog.SetColour(gif::RGB(1, 2, 3));
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QWidget box;
    box.resize(40, 40);
    box.show();
    prompter.WhileAsked = [&](const editor::TQuestion&) {
        QApplication::setActiveWindow(&box);
        QApplication::processEvents();
        QApplication::setActiveWindow(&dialog);
        QApplication::processEvents();
    };
    dialog.udRed->Edit()->setFocus();
    dialog.udRed->Edit()->selectAll();
    QTest::keyClicks(dialog.udRed->Edit(), "300");
    dialog.udGreen->Edit()->setFocus(Qt::TabFocusReason);   // leaving the field
    EXPECT_EQ(prompter.Texts(), QStringList{"'300' is not within the 0-255 range."});
    EXPECT_EQ(dialog.udRed->Text(), "1");

    prompter.Asked.clear();
    dialog.udRed->Edit()->setFocus();
    dialog.udRed->Edit()->selectAll();
    QTest::keyClicks(dialog.udRed->Edit(), "999");
    dialog.accept();
    EXPECT_EQ(prompter.Texts(), QStringList{"'999' is not within the 0-255 range."});
    EXPECT_EQ(dialog.PreviewColour(), gif::RGB(1, 2, 3));
}
