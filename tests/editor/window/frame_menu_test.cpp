// The frame and animation commands as the main window runs them: from its actions, the
// frame list and its pop-up menu; the commands that ask first once the dialogs are given.
#include "editor/frames/animation_prompts.h"
#include "editor/frames/frame_clipboard.h"
#include "editor/window/frame_list_widget.h"
#include "editor/window/main_window_fixture.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <QStyleOptionViewItem>

using namespace editor;
using namespace editortest;

namespace {

// Answers the animation questions from fixed values and records what was asked.
struct TFixedAnimationPrompts : IAnimationPrompts {
    bool AskResize(int height, int width, int& newHeight, int& newWidth) override {
        Asked << QString("resize %1 x %2").arg(height).arg(width);
        newHeight = 16;
        newWidth = 20;
        return true;
    }
    bool AskLoop(int frameCount, qint64, unsigned, int, TLoopChoice& choice) override {
        Asked << QString("loop %1").arg(frameCount);
        choice.Infinite = true;
        return true;
    }
    bool AskGlobalChange(const TGlobalChangeSetup&, TGlobalChange&) override { return false; }
    void ShowHtmlCode(const QString& fileName, int, int) override { Asked << "html " + fileName; }
    bool EditGlobalPalette(gif::TGIFImage&, TPaletteEdit&) override { return false; }
    QStringList Asked;
};

class FrameMenuTest : public MainWindowTest {
  protected:
    TFrameListWidget& List() { return *window->findChild<TFrameListWidget*>("lbFrames"); }
    QAction* Item(const char* name) { return window->findChild<QAction*>(name); }
    gif::TGIFImage& Image() { return Workspace().WorkingImage(); }
    int Delay(int frame) { return Image().Frame(frame)->ControlBlock()->DelayTime(); }
    // Frames whose delays are 10, 20, 30, ... so that the order shows.
    void OpenNumbered(const QString& name, int frames) {
        ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif(name, frames)));
        for (int i = 0; i < frames; ++i) EditDelay(i, 10 * (i + 1));
        Active().History().Clear();
    }
};

} // namespace

TEST_F(FrameMenuTest, MovesDeleteReverseAndUndoFromTheMenus) {
    OpenNumbered("a.gif", 3);
    List().setCurrentRow(2);
    EXPECT_FALSE(Action(TActionId::FrameMoveDown)->isEnabled());
    Action(TActionId::FrameMoveUp)->trigger();
    EXPECT_EQ(Delay(1), 30);
    EXPECT_EQ(List().currentRow(), 1);
    EXPECT_TRUE(Action(TActionId::FrameMoveDown)->isEnabled());
    Action(TActionId::FrameMoveBegin)->trigger();
    EXPECT_EQ(Delay(0), 30);
    EXPECT_FALSE(Action(TActionId::FrameMoveUp)->isEnabled());
    EXPECT_EQ(Action(TActionId::EditUndo)->text(), "&Undo Move Frame");

    // The list's own item dropped on another item moves it.
    List().OnMoveFrame(0, 2);
    EXPECT_EQ(Delay(2), 30);

    Item("mniReverse")->trigger();
    EXPECT_EQ(Delay(0), 30);
    EXPECT_EQ(Delay(2), 10);

    Action(TActionId::FrameDelete)->trigger();
    EXPECT_EQ(Image().FrameCount(), 2);
    EXPECT_EQ(List().count(), 2);
    for (int undo = 0; undo < 5; ++undo) Action(TActionId::EditUndo)->trigger();
    ASSERT_EQ(Image().FrameCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Delay(i), 10 * (i + 1)) << i;
    EXPECT_FALSE(Action(TActionId::EditUndo)->isEnabled());
}

TEST_F(FrameMenuTest, CopyInOneDocumentPasteInAnother) {
    OpenNumbered("a.gif", 3);
    List().setCurrentRow(1);
    Action(TActionId::EditCopy)->trigger();
    EXPECT_TRUE(Action(TActionId::EditPaste)->isEnabled());
    EXPECT_TRUE(QFile::exists(window->FrameClipboard().FileName()));

    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("b.gif", 2)));
    List().setCurrentRow(0);
    Action(TActionId::EditPaste)->trigger();
    ASSERT_EQ(Image().FrameCount(), 3);
    // Inserted after the selected frame, with the copied frame's delay.
    EXPECT_EQ(Delay(1), 20);
    EXPECT_EQ(Active().History().TopCaption(), "Paste Frame");

    // Cut takes the frame away as well.
    List().setCurrentRow(1);
    Action(TActionId::EditCut)->trigger();
    EXPECT_EQ(Image().FrameCount(), 2);

    // Another program's text on the clipboard takes Paste away, its picture gives it back.
    QGuiApplication::clipboard()->setText("words");
    EXPECT_FALSE(Action(TActionId::EditPaste)->isEnabled());
    QImage other(8, 8, QImage::Format_RGB32);
    other.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(other);
    EXPECT_TRUE(Action(TActionId::EditPaste)->isEnabled());
}

TEST_F(FrameMenuTest, PasteCommentsTakesTheClipboardText) {
    OpenNumbered("a.gif", 2);
    QGuiApplication::clipboard()->setText(QString(300, 'c'));
    const int blocks = Image().Frame(0)->Blocks().ItemCount();
    window->TopMenu("mnuEdit")->aboutToShow();
    ASSERT_TRUE(Item("mniPasteComments")->isEnabled());
    Item("mniPasteComments")->trigger();
    EXPECT_EQ(Image().Frame(0)->Blocks().ItemCount(), blocks + 1);
    EXPECT_EQ(Active().History().TopCaption(), "Add GIF Comment");
}

TEST_F(FrameMenuTest, RightPressSelectsTheItemAndOpensThePopup) {
    OpenNumbered("a.gif", 3);
    List().setCurrentRow(0);
    QMenu* popup = window->findChild<QMenu*>("popFrames");
    ASSERT_NE(popup, nullptr);
    QStringList captions;
    for (QAction* item : popup->actions()) captions << item->text();
    EXPECT_EQ(captions, QStringList({"&Add Frame...", "Cu&t", "&Copy", "&Paste", "&Delete Frame",
                                     "&Move Frame Up", "Move Frame Do&wn"}));

    const QPoint inside = List().visualItemRect(List().item(2)).center();
    QMouseEvent press(QEvent::MouseButtonPress, inside, List().viewport()->mapToGlobal(inside),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(List().viewport(), &press);
    EXPECT_EQ(List().currentRow(), 2);
    EXPECT_EQ(Active().SelectedFrame, 2);
    EXPECT_TRUE(WaitUntil([&] { return popup->isVisible(); }));
    popup->hide();
}

TEST_F(FrameMenuTest, AskingCommandsWaitForTheDialogs) {
    OpenNumbered("a.gif", 3);
    for (TActionId id : {TActionId::AnimationResize, TActionId::AnimationInfo,
                         TActionId::AnimationPalette, TActionId::FrameGlobalChange}) {
        EXPECT_FALSE(Action(id)->isEnabled());
        EXPECT_TRUE(Action(id)->toolTip().contains("Comes with"));
    }
    TFixedAnimationPrompts prompts;
    window->SetAnimationPrompts(&prompts);
    EXPECT_TRUE(Action(TActionId::AnimationResize)->isEnabled());
    EXPECT_TRUE(Action(TActionId::AnimationInfo)->isEnabled());
    EXPECT_FALSE(Action(TActionId::AnimationResize)->toolTip().contains("Comes with"));

    Action(TActionId::AnimationResize)->trigger();
    EXPECT_EQ(Image().Width(), 20);
    EXPECT_EQ(Image().Height(), 16);
    Action(TActionId::AnimationInfo)->trigger();
    window->TopMenu("mnuTools")->aboutToShow();
    ASSERT_TRUE(Item("mniHtmlCode")->isEnabled());
    Item("mniHtmlCode")->trigger();
    EXPECT_EQ(prompts.Asked,
              QStringList({"resize 30 x 40", "loop 3", "html a.gif"}));
    window->SetAnimationPrompts(nullptr);
}

TEST_F(FrameMenuTest, ThumbnailsKeepTheAspectAtEverySize) {
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("wide.gif", 1, 300, 40)));
    const auto thumbSize = [&] {
        return List().item(0)->data(Qt::DecorationRole).value<QPixmap>().size();
    };
    window->SetFrameSize(160);
    EXPECT_EQ(thumbSize(), QSize(160, 21));
    window->SetFrameSize(80);
    EXPECT_EQ(thumbSize(), QSize(80, 11));
    // Items are FrameSize + 26 wide and FrameSize + 65 high.
    QStyleOptionViewItem option;
    EXPECT_EQ(List().itemDelegate()->sizeHint(option, List().model()->index(0, 0)), QSize(106, 145));
    EXPECT_EQ(List().visualItemRect(List().item(0)).height(), 145);
    // A picture no larger than FrameSize + 1 keeps its size.
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("small.gif", 1, 81, 20)));
    EXPECT_EQ(thumbSize(), QSize(81, 20));
}
