// The Frame Inspector joined to the main window: its edits reach the active document
// with undo, it follows documents and frames, and its close box releases the button.
#include "dialogs/inspector/frame_inspector.h"
#include "dialogs/inspector/inspector_model.h"
#include "dialogs/inspector/property_grid.h"
#include "editor/window/frame_list_widget.h"
#include "editor/window/main_window_fixture.h"
#include "inspector_link.h"

#include <QComboBox>

using namespace editor;
using namespace editortest;
using dialogs::irDelay;

namespace {

class InspectorLinkTest : public MainWindowTest {
  protected:
    void SetUp() override {
        settings->SetValue(keys::InspectorVisible, 1);
        MainWindowTest::SetUp();
        link = std::make_unique<TInspectorLink>(*window, *settings);
    }
    void TearDown() override { link.reset(); }
    dialogs::TfrmFloat& Inspector() { return link->Window(); }
    std::unique_ptr<TInspectorLink> link;
};

} // namespace

TEST_F(InspectorLinkTest, EditsReachTheActiveDocumentAndUndo) {
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("a.gif", 3)));
    EXPECT_TRUE(Inspector().isVisible());
    EXPECT_EQ(Inspector().windowTitle(), "Frame Inspector - a.gif");
    window->findChild<TFrameListWidget*>("lbFrames")->setCurrentRow(2);
    EXPECT_EQ(Inspector().FrameIndex(), 2);

    const auto before = GifBytes(Workspace().WorkingImage());
    Inspector().SelectRow(irDelay);
    Inspector().grdProperties->SetValue(irDelay, "35");
    Inspector().CommitEdit();
    EXPECT_EQ(Workspace().WorkingImage().Frame(2)->ControlBlock()->DelayTime(), 35);
    EXPECT_TRUE(Active().Modified());
    EXPECT_EQ(Action(TActionId::EditUndo)->text(), "&Undo Change Delay");
    Action(TActionId::EditUndo)->trigger();
    EXPECT_EQ(GifBytes(Workspace().WorkingImage()), before);
    // Undoing the only edit goes back to the file on disk, shown from its first frame; the
    // inspector shows what the document shows.
    const int shown = Active().SelectedFrame;
    EXPECT_EQ(Inspector().FrameIndex(), shown);
    EXPECT_EQ(Inspector().grdProperties->Value(irDelay),
              QString::number(Workspace().WorkingImage().Frame(shown)->ControlBlock()->DelayTime()));

    // The frame selector chooses the frame in the list.
    Inspector().OnFrameSelected(0);
    EXPECT_EQ(window->findChild<TFrameListWidget*>("lbFrames")->currentRow(), 0);
}

TEST_F(InspectorLinkTest, FollowsDocumentsAndItsCloseBoxReleasesTheButton) {
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("a.gif", 2)));
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("b.gif", 4)));
    EXPECT_EQ(Inspector().windowTitle(), "Frame Inspector - b.gif");
    EXPECT_EQ(Inspector().cbFrames->count(), 4);

    Inspector().close();
    QAction* button = nullptr;
    for (QAction* action : window->findChildren<QAction*>())
        if (action->text() == "Frame &Inspector") button = action;
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isChecked());
    button->trigger();
    EXPECT_TRUE(Inspector().isVisible());

    prompter.Then(mrNo).Then(mrNo);
    Action(TActionId::FileCloseAll)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return Workspace().DocumentCount() == 0; }));
    EXPECT_EQ(Inspector().cbFrames->count(), 0);
}

// The inspector is the main window's tool window, not one above every program; by default
// it stands beside the frame list docked right, not over it; and the program ending (which
// closes it after the main window) does not store it as hidden.
TEST_F(InspectorLinkTest, AToolWindowBesideTheFrameListThatStaysShownAcrossAnExit) {
    EXPECT_EQ(Inspector().windowType(), Qt::Tool);
    EXPECT_FALSE(Inspector().windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Inspector().parentWidget(), window.get());

    // No stored place: beside the list, which is docked right.
    const QRect list = window->FrameListArea();
    ASSERT_TRUE(list.isValid());
    EXPECT_LE(Inspector().geometry().right(), list.left());
    EXPECT_TRUE(Inspector().geometry().intersects(window->geometry()));

    // The main window closes, then the remaining windows: the inspector stays "shown".
    ASSERT_TRUE(Inspector().isVisible());
    ASSERT_TRUE(window->close());
    Inspector().close();
    link.reset();
    EXPECT_EQ(settings->Value(keys::InspectorVisible), 1);
}
