// The Frame Inspector window, driven through its controls on the offscreen platform.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "dialogs/inspector/frame_inspector.h"
#include "dialogs/inspector/inspected_document.h"
#include "dialogs/inspector/local_palette_grid.h"
#include "dialogs/inspector/property_grid.h"
#include "dialogs/palette/palette_dialog.h"
#include "editor/core/settings.h"
#include "editor/support/editor_test_util.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/scripted_prompter.h"
#include "editor/undo/history.h"

using namespace dialogs;
using namespace editortest;

namespace {

struct Document : IInspectedDocument {
    explicit Document(editor::TEditContext& context) : context(context) {}
    QString ShortName() const override { return "walk.gif"; }
    void PushCommand(int kind, int subKind, int arg1, int arg2, int frameIndex, const QString& caption) override {
        history.Push(context, kind, subKind, arg1, arg2, frameIndex, caption);
    }
    void SetModified(bool) override {}
    void DisplayFrame(int index) override { shown.push_back(index); }
    void SetSelectedFrame(int index) override { selected = index; }
    void ReloadFromBackingFile() override {}
    editor::TEditContext& context;
    editor::THistoryList history;
    std::vector<int> shown;
    int selected = -1;
};

class Inspector : public ::testing::Test {
protected:
    Inspector()
        : image(MakeAnimation(3)), list(3), context{*image, list, prompter, settings}, document(context),
          inspector(*image, prompter, settings) {
        inspector.SetDocument(&document);
        inspector.resize(260, 480);
        inspector.show();
        inspector.ShowFrame(1);
    }
    QTemporaryDir dir;
    std::unique_ptr<gif::TGIFImage> image;
    TFakeFrameList list;
    TScriptedPrompter prompter;
    editor::Settings settings{dir.filePath("s.ini")};
    editor::TEditContext context;
    Document document;
    TfrmFloat inspector;
};

} // namespace

TEST_F(Inspector, ShowsTheFrameAndItsSelector) {
    EXPECT_EQ(inspector.windowTitle(), "Frame Inspector - walk.gif");
    EXPECT_EQ(inspector.grdProperties->Value(irHeight), "3");
    EXPECT_EQ(inspector.grdProperties->Value(irDelay), "20");
    EXPECT_EQ(inspector.grdProperties->Value(irDisposal), "None");
    EXPECT_EQ(inspector.cbFrames->count(), 3);
    EXPECT_EQ(inspector.cbFrames->currentText(), "Frame 1: [3 x 4]");
    EXPECT_EQ(inspector.SelectedRow(), irHeight);
    int chosen = -1;
    inspector.OnFrameSelected = [&](int index) { chosen = index; };
    inspector.cbFrames->setCurrentIndex(2);
    emit inspector.cbFrames->activated(2);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(document.selected, 2);
}

TEST_F(Inspector, TypedValuesCommitAndBadOnesComeBack) {
    const auto before = GifBytes(*image);
    inspector.SelectRow(irDelay);
    inspector.grdProperties->SetValue(irDelay, "abc");
    inspector.CommitEdit();
    EXPECT_EQ(prompter.Texts(), QStringList{"This field requires a number value."});
    EXPECT_EQ(inspector.grdProperties->Value(irDelay), "20");
    inspector.grdProperties->SetValue(irDelay, "35");
    inspector.CommitEdit();
    EXPECT_EQ(image->Frame(1)->ControlBlock()->DelayTime(), 35);
    EXPECT_EQ(document.history.TopCaption(), "Change Delay");
    // Moving to another row commits a pending change first.
    inspector.SelectRow(irXOffset);
    inspector.grdProperties->SetValue(irXOffset, "2");
    inspector.SelectRow(irYOffset);
    EXPECT_EQ(image->Frame(1)->FrameLeft(), 2);
    EXPECT_EQ(document.history.Count(), 2);
    while (document.history.Count()) document.history.UndoNewest(context);
    EXPECT_EQ(GifBytes(*image), before);
}

TEST_F(Inspector, ChoiceRowsOpenTheirListAndCommitTheChoice) {
    inspector.SelectRow(irDisplay);   // a group row: its first row opens
    EXPECT_EQ(inspector.SelectedRow(), irInterlaced);
    inspector.grdProperties->SelectRow(irDisposal);
    ASSERT_TRUE(inspector.grdProperties->DropList()->isVisible());
    EXPECT_EQ(inspector.grdProperties->DropList()->count(), 4);
    EXPECT_EQ(inspector.grdProperties->DropList()->currentRow(), 0);   // "None"
    inspector.grdProperties->ChooseFromDropList(3);
    EXPECT_EQ(image->Frame(1)->ControlBlock()->DisposalCode(), gif::dmPrevious);
    EXPECT_EQ(inspector.grdProperties->Value(irDisposal), "Previous");
    EXPECT_FALSE(inspector.grdProperties->DropList()->isVisible());
}

TEST_F(Inspector, SelectColorPicksTheTransparentColourAsTwoCommands) {
    inspector.ExecDialog = [](QDialog& dialog) {
        auto& palette = static_cast<TfrmPalette&>(dialog);
        palette.PickFromPicture({0, 0});   // frame 1 is all colour 1
        return int(QDialog::Accepted);
    };
    inspector.grdProperties->SelectRow(irTransparent);
    inspector.grdProperties->ChooseFromDropList(0);   // "Select Color..."
    const auto* control = image->Frame(1)->ControlBlock();
    EXPECT_TRUE(control->TransparentFlag());
    EXPECT_EQ(control->TransparentIndex(), 1);
    ASSERT_EQ(document.history.Count(), 2);
    EXPECT_EQ(document.history.At(0)->Caption, "Change Transparent Color");
    EXPECT_EQ(document.history.At(1)->Caption, "Transparent");
}

TEST_F(Inspector, PalettesPageButtonsFollowTheTable) {
    inspector.tabImgInfo->setCurrentIndex(1);
    EXPECT_TRUE(inspector.grdPalette->Colors().empty());
    EXPECT_TRUE(inspector.btnAddColor->isEnabled());
    EXPECT_FALSE(inspector.btnEditColor->isEnabled());
    prompter.Then(editor::mrYes);
    inspector.PaletteAdd();
    EXPECT_EQ(prompter.Texts().last(), "Currently there is no local color map. Would you like to add one?");
    ASSERT_EQ(inspector.grdPalette->Colors().size(), 1u);   // sorted by use: one colour is used
    QTest::mouseClick(inspector.grdPalette, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(inspector.lblColor->text(), "1 Colors - R: 255, G: 0, B: 0");
    EXPECT_TRUE(inspector.btnEditColor->isEnabled());
    EXPECT_FALSE(inspector.btnDeleteColor->isEnabled());
    inspector.ExecDialog = [](QDialog& dialog) {
        static_cast<TfrmPalette&>(dialog).SetColour(gif::RGB(7, 8, 9));
        dialog.accept();
        return int(QDialog::Accepted);
    };
    inspector.PaletteAdd();
    EXPECT_EQ(inspector.grdPalette->Colors().size(), 2u);
    EXPECT_EQ(document.history.TopCaption(), "Add Color Palette Entry");
}

TEST_F(Inspector, CommentsAreAddedEditedAndRemoved) {
    inspector.tabImgInfo->setCurrentIndex(2);
    inspector.CommentAdd();
    ASSERT_EQ(inspector.lvComments->count(), 1);
    EXPECT_EQ(inspector.lvComments->item(0)->text(), "Comment 1");
    EXPECT_EQ(inspector.mmoComments->toPlainText(), "Comment 1");
    inspector.mmoComments->setPlainText(QString(300, 'x'));
    EXPECT_EQ(inspector.mmoComments->toPlainText().size(), 255);
    inspector.mmoComments->document()->setModified(true);
    inspector.CommentEditorLeft();
    EXPECT_EQ(document.history.TopCaption(), "Change GIF Comment");
    inspector.CommentRemove();
    EXPECT_EQ(inspector.lvComments->count(), 0);
    EXPECT_EQ(document.history.TopCaption(), "Delete GIF Comment");
}

TEST_F(Inspector, ClearInspectorEmptiesEverything) {
    inspector.ClearInspector();
    EXPECT_EQ(inspector.windowTitle(), "Frame Inspector");
    EXPECT_FALSE(inspector.tabImgInfo->isEnabled());
    EXPECT_EQ(inspector.tabImgInfo->currentIndex(), 0);
    EXPECT_EQ(inspector.grdProperties->Value(irHeight), "");
    EXPECT_EQ(inspector.cbFrames->count(), 0);
    EXPECT_EQ(inspector.lvComments->count(), 0);
}

TEST_F(Inspector, DefaultPlaceBesideAScreenFillingWindowStaysOnTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    inspector.LoadPlacement(screen);
    EXPECT_TRUE(screen.contains(inspector.geometry())) << inspector.geometry().x();
    // Near the main window's right edge, as far as the screen allows.
    EXPECT_EQ(inspector.geometry().right(), screen.right());
    // A stored place far off every screen comes back too.
    settings.WriteInt(editor::sections::Inspector, "Left", -5000);
    settings.WriteInt(editor::sections::Inspector, "Top", 9000);
    inspector.LoadPlacement(screen);
    EXPECT_TRUE(screen.contains(inspector.geometry()));
}

namespace {

// Runs the event loop for a moment, as a modal box's own loop would (deferred deletions
// included).
void RunLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QLineEdit* CellEditor(TPropertyGrid& grid, int row) {
    return qobject_cast<QLineEdit*>(grid.indexWidget(grid.model()->index(row, 1)));
}

} // namespace

// A refused value asks once, whatever the box's own focus changes and the clicks around it
// do; the cell's editor stays usable afterwards (it was used after deletion before).
TEST_F(Inspector, ARefusedValueAsksOnceWhateverHappensAroundTheBox) {
    QWidget elsewhere;   // the box, as far as focus and activation go
    elsewhere.resize(50, 50);
    elsewhere.show();
    TPropertyGrid& grid = *inspector.grdProperties;
    const auto clickCell = [&](int row) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(row, 1)).center());
    };
    for (const int row : {int(irXOffset), int(irYOffset), int(irDelay)}) {
        for (const bool enter : {true, false}) {
            SCOPED_TRACE(QString("row %1, %2").arg(row).arg(enter ? "Enter" : "another row").toStdString());
            prompter.Asked.clear();
            QApplication::setActiveWindow(&inspector);
            inspector.SelectRow(row);
            const QString start = grid.Value(row);
            QLineEdit* editor = CellEditor(grid, row);
            ASSERT_NE(editor, nullptr);
            editor->setFocus();
            editor->selectAll();
            QTest::keyClicks(editor, "-5");
            prompter.WhileAsked = [&](const editor::TQuestion&) {
                QApplication::setActiveWindow(&elsewhere);
                RunLoop(20);
                clickCell(row);
                RunLoop(20);
                QApplication::setActiveWindow(&inspector);
                RunLoop(20);
            };
            if (enter)
                QTest::keyClick(editor, Qt::Key_Return);
            else
                clickCell(row == irDelay ? irXOffset : irDelay);
            RunLoop(50);
            prompter.WhileAsked = nullptr;
            EXPECT_EQ(prompter.Texts(), QStringList{"This field requires a number value."});
            EXPECT_EQ(grid.Value(row), start);
            EXPECT_EQ(document.history.Count(), 0);
        }
    }
    // The cell still takes a good value.
    inspector.SelectRow(irDelay);
    QLineEdit* editor = CellEditor(grid, irDelay);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "35");
    QTest::keyClick(editor, Qt::Key_Return);
    RunLoop(20);
    EXPECT_EQ(image->Frame(1)->ControlBlock()->DelayTime(), 35);
}

// Typed numbers are stored in 16 bits: 65535 stays, 65536 wraps to 0 and 70000 to 4464.
TEST_F(Inspector, TypedNumbersKeepTheirLowSixteenBits) {
    const struct {
        int Row;
        const char* Typed;
        int Stored;
    } cases[] = {{irDelay, "32768", 32768}, {irDelay, "65535", 65535}, {irDelay, "65536", 0},
                 {irXOffset, "40000", 40000}, {irYOffset, "70000", 4464}};
    for (const auto& c : cases) {
        inspector.SelectRow(c.Row);
        inspector.grdProperties->SetValue(c.Row, c.Typed);
        inspector.CommitEdit();
        const gif::TGIFSubImage& frame = *image->Frame(1);
        const int stored = c.Row == irDelay ? frame.ControlBlock()->DelayTime()
                                            : c.Row == irXOffset ? frame.FrameLeft() : frame.FrameTop();
        EXPECT_EQ(stored, c.Stored) << c.Typed;
        EXPECT_EQ(inspector.grdProperties->Value(c.Row), QString::number(c.Stored));
    }
    EXPECT_TRUE(prompter.Asked.empty());
}

// The Palettes page takes a local table up to exactly 256 entries, then refuses Add.
TEST_F(Inspector, PalettesPageAddsUpToExactly256Entries) {
    for (int i = 0; i < 255; ++i) image->Frame(1)->LocalTable().AppendColor(gif::RGB(uint8_t(i), 0, 0));
    inspector.ShowFrame(1);
    inspector.tabImgInfo->setCurrentIndex(1);
    EXPECT_TRUE(inspector.btnAddColor->isEnabled());
    int dialogs = 0;
    inspector.ExecDialog = [&](QDialog& dialog) {
        ++dialogs;
        static_cast<TfrmPalette&>(dialog).SetColour(gif::RGB(7, 8, 9));
        dialog.accept();
        return int(QDialog::Accepted);
    };
    inspector.PaletteAdd();
    ASSERT_EQ(inspector.grdPalette->Colors().size(), 256u);
    EXPECT_EQ(inspector.grdPalette->Colors().back(), gif::RGB(7, 8, 9));
    EXPECT_FALSE(inspector.btnAddColor->isEnabled());
    inspector.PaletteAdd();   // at 256: no dialog, no entry, no command
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(image->Frame(1)->LocalTable().EntryCount(), 256);
    EXPECT_EQ(document.history.Count(), 1);
}
