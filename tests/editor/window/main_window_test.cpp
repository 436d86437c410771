// The main window: its actions, tabs, playback, the reset after the last document and the
// settings it reads and writes.
#include "editor/document/document_messages.h"
#include "editor/window/frame_list_widget.h"
#include "editor/window/inspector_panel.h"
#include "editor/window/main_window_fixture.h"
#include "editor/window/mdi_child.h"
#include "editor/window/player.h"

#include <QAction>
#include <QActionGroup>
#include <QDropEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QScreen>
#include <QSplitter>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QUrl>

using namespace editor;
using namespace editortest;

TEST_F(MainWindowTest, EveryActionWithItsCaptionShortcutAndState) {
    EXPECT_EQ(window->windowTitle(), "Quillmark GIF Loopwright 3.0");
    for (int i = 0; i < ActionCount; ++i) {
        const TActionInfo& info = ActionInfo(TActionId(i));
        QAction* action = Action(info.Id);
        ASSERT_NE(action, nullptr) << info.Name;
        EXPECT_EQ(action->objectName(), info.Name);
        EXPECT_EQ(action->text(), info.Caption) << info.Name;
        EXPECT_EQ(action->shortcut(), QKeySequence(info.Shortcut)) << info.Name;
        // A command of a later part of the program is off and says why.
        if (action->property("unavailable").isValid()) {
            EXPECT_FALSE(action->isEnabled()) << info.Name;
            EXPECT_TRUE(action->toolTip().contains("Comes with")) << info.Name;
        } else {
            EXPECT_EQ(action->isEnabled(), info.Enabled) << info.Name;
        }
    }
    EXPECT_TRUE(Action(TActionId::FrameAdd)->isEnabled());
    EXPECT_FALSE(Action(TActionId::FileNew)->isEnabled());
    EXPECT_TRUE(Action(TActionId::FileNew)->toolTip().contains("animation wizard"));
    for (const char* name : {"mnuFile", "mnuEdit", "mnuView", "mnuTools", "mnuWindow", "mnuHelp"})
        EXPECT_NE(window->TopMenu(name), nullptr) << name;
}

TEST_F(MainWindowTest, TabsFollowTheDocuments) {
    const QString a = WriteGif("a.gif", 2), b = WriteGif("b.gif", 3);
    ASSERT_TRUE(Workspace().OpenGifDocument(a));
    ASSERT_TRUE(Workspace().OpenGifDocument(b));
    QTabBar* tabs = window->Tabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "a.gif");
    EXPECT_EQ(tabs->tabText(1), "b.gif");
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(window->PlayMenu()->actions().size(), 2);

    // Clicking the first tab brings its document and animation back.
    emit tabs->tabBarClicked(0);
    ASSERT_TRUE(WaitUntil([&] { return Workspace().ActiveDocument()->ShortName() == "a.gif"; }));
    EXPECT_TRUE(Active().Loaded);
    EXPECT_EQ(Workspace().WorkingImage().FrameCount(), 2);
    EXPECT_EQ(tabs->currentIndex(), 0);

    // A modified document's tab carries the bullet.
    EditDelay(0, 20);
    EXPECT_TRUE(tabs->tabText(0).endsWith("a.gif"));
    EXPECT_NE(tabs->tabText(0), "a.gif");

    // Next Document cycles to the other window.
    Action(TActionId::WindowNextDoc)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return Active().ShortName() == "b.gif" && Active().Loaded; }));
    EXPECT_EQ(Workspace().WorkingImage().FrameCount(), 3);
}

TEST_F(MainWindowTest, PlayingAOneFrameAnimationOnlyTellsWhy) {
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("one.gif", 1)));
    prompter.Then(mrOk);
    Action(TActionId::AnimationPlay)->trigger();
    EXPECT_EQ(prompter.Texts(), QStringList{msg::NotAnAnimation});
    EXPECT_EQ(prompter.Asked[0].Kind, TMessageKind::Information);
    EXPECT_EQ(prompter.Beeps, 1);
    EXPECT_FALSE(Workspace().Actions().Playing());
    EXPECT_TRUE(window->TopMenu("mnuFile")->menuAction()->isEnabled());
    EXPECT_TRUE(Action(TActionId::AnimationPlay)->isEnabled());
}

TEST_F(MainWindowTest, MenusWhilePlayingAndAfterPause) {
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("three.gif", 3)));
    TMDIChild* child = window->ChildOf(Active());
    ASSERT_NE(child, nullptr);
    const QString frameCaption = child->StatusText();
    EXPECT_EQ(frameCaption, "three.gif - [Height: 30 x Width: 40]");

    Action(TActionId::AnimationPlay)->trigger();
    EXPECT_TRUE(Action(TActionId::AnimationPause)->isEnabled());
    for (const char* name :
         {"mnuFile", "mnuEdit", "mnuTools", "mnuPlugins", "mnuWindow", "mnuHelp"})
        EXPECT_FALSE(window->TopMenu(name)->menuAction()->isEnabled()) << name;
    EXPECT_TRUE(window->TopMenu("mnuView")->menuAction()->isEnabled());
    for (TActionId id :
         {TActionId::AnimationPlay, TActionId::FileOpen, TActionId::FrameAdd, TActionId::FileClose})
        EXPECT_FALSE(Action(id)->isEnabled()) << ActionInfo(id).Name;
    EXPECT_FALSE(child->PaintBox()->isVisible());
    EXPECT_TRUE(window->Player()->isVisible());
    // The renderer reports each frame it plays in the document's status bar.
    EXPECT_TRUE(WaitUntil([&] { return child->StatusText().startsWith("Playing Frame "); }));
    EXPECT_TRUE(child->StatusText().endsWith(" of 2"));

    Action(TActionId::AnimationPause)->trigger();
    for (const char* name : {"mnuFile", "mnuEdit", "mnuTools", "mnuWindow", "mnuHelp"})
        EXPECT_TRUE(window->TopMenu(name)->menuAction()->isEnabled()) << name;
    EXPECT_FALSE(Action(TActionId::AnimationPause)->isEnabled());
    EXPECT_TRUE(Action(TActionId::AnimationPlay)->isEnabled());
    EXPECT_TRUE(Action(TActionId::FileOpen)->isEnabled());
    EXPECT_EQ(child->StatusText(), frameCaption);
    EXPECT_TRUE(child->PaintBox()->isVisible());
    EXPECT_EQ(window->Player()->Picture(), nullptr);
}

TEST_F(MainWindowTest, PlayOnceEndsByItself) {
    // No looping block: played once, then the window returns to editing on its own.
    auto image = MakeAnimation(3, 20, 20);
    for (int i = 0; i < 3; ++i)
        image->Frame(i)->ControlBlock()->SetDelayTime(1);
    const QString path = dir.filePath("once.gif");
    image->SaveToFile(NativePath(path));
    ASSERT_TRUE(Workspace().OpenGifDocument(path));
    Action(TActionId::AnimationPlay)->trigger();
    ASSERT_TRUE(Workspace().Actions().Playing());
    EXPECT_TRUE(WaitUntil([&] { return !Workspace().Actions().Playing(); }, 5000));
    EXPECT_TRUE(window->TopMenu("mnuFile")->menuAction()->isEnabled());
}

TEST_F(MainWindowTest, StoppingWhileTheRendererWaitsForTheWindowNeverHangs) {
    // Frames of no delay keep the renderer calling into the window; stopping from the
    // window's side must run what it waits for.
    auto image = MakeAnimation(4, 64, 64);
    for (int i = 0; i < 4; ++i)
        image->Frame(i)->ControlBlock()->SetDelayTime(0);
    const QString path = dir.filePath("fast.gif");
    image->SaveToFile(NativePath(path));
    ASSERT_TRUE(Workspace().OpenGifDocument(path));
    for (int round = 0; round < 20; ++round) {
        Action(TActionId::AnimationPlay)->trigger();
        QApplication::processEvents();
        Action(TActionId::AnimationPause)->trigger();
    }
    EXPECT_FALSE(Workspace().Actions().Playing());
}

TEST_F(MainWindowTest, ClosingTheLastDocumentResetsTheWindowAndTheTimerDisablesSave) {
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("a.gif", 2)));
    EditDelay(1, 50);
    EXPECT_TRUE(Action(TActionId::FileSave)->isEnabled());
    prompter.Then(mrNo);
    Action(TActionId::FileClose)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return Workspace().DocumentCount() == 0; }));
    EXPECT_EQ(window->Tabs()->count(), 0);
    EXPECT_FALSE(window->Tabs()->parentWidget()->isVisible());
    EXPECT_TRUE(window->PlayMenu()->actions().isEmpty());
    EXPECT_FALSE(Action(TActionId::AnimationPlay)->isEnabled());
    EXPECT_FALSE(Action(TActionId::FileClose)->isEnabled());
    EXPECT_TRUE(Action(TActionId::FileSave)->isEnabled());
    EXPECT_TRUE(WaitUntil([&] { return !Action(TActionId::FileSave)->isEnabled(); }, 2000));
    EXPECT_FALSE(Action(TActionId::FileSaveAll)->isEnabled());
    EXPECT_TRUE(Workspace().WorkingImage().Empty());
}

TEST_F(MainWindowTest, FilesDroppedFromTheDesktop) {
    const QString gif = WriteGif("a.gif", 2);
    const QString text = dir.filePath("notes.txt");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(gif), QUrl::fromLocalFile(text)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    prompter.Then(mrOk);
    QApplication::sendEvent(window.get(), &drop);
    ASSERT_FALSE(prompter.Texts().isEmpty());
    EXPECT_EQ(Workspace().DocumentCount(), 1);
    EXPECT_EQ(prompter.Texts().last(),
              "Error loading notes.txt! GIF Loopwright does not support the file type or it is "
              "a corrupted file.");
}

TEST_F(MainWindowTest, RecentFilesMenu) {
    const QString a = WriteGif("a.gif", 2), b = WriteGif("b.gif", 2);
    Workspace().OpenGifDocument(a);
    Workspace().OpenGifDocument(b);
    QMenu* recent = window->findChild<QMenu*>("mnuRecentFiles");
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[0]->text(), "&0 " + b);
    EXPECT_EQ(recent->actions()[1]->text(), "&1 " + a);
    EXPECT_EQ(recent->actions()[0]->statusTip(), "Opens this file");
    // Written with the other settings when the window goes, and read by the next one.
    window.reset();
    EXPECT_EQ(settings->NumberedList(sections::RecentFiles), (QStringList{b, a}));
    Create();
    EXPECT_EQ(window->findChild<QMenu*>("mnuRecentFiles")->actions().size(), 2);
}

TEST_F(MainWindowTest, FrameSizeAndFramePanelSide) {
    window->SetFrameSize(112);
    auto* list = window->findChild<TFrameListWidget*>("lbFrames");
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("a.gif", 2)));
    const QSize item =
        list->itemDelegate()->sizeHint(QStyleOptionViewItem(), list->model()->index(0, 0));
    EXPECT_EQ(item.height(), 177);
    EXPECT_EQ(item.width(), 138);
    EXPECT_EQ(list->visualItemRect(list->item(1)).top(), 177);
    QWidget* panel = window->findChild<QWidget*>("pnlAniFrames");
    EXPECT_EQ(panel->width(), 158);

    window->AlignFramePanel(false);
    auto* splitter = window->findChild<QSplitter*>("Splitter");
    EXPECT_EQ(splitter->indexOf(panel), 0);
    window.reset();
    EXPECT_EQ(settings->Value(keys::FrameWindowAlign), "Left");
    EXPECT_EQ(settings->Value(keys::FrameSize), 112);
}

TEST_F(MainWindowTest, StoredSettingsShapeTheWindow) {
    window.reset();
    settings->SetValue(keys::FrameWindowAlign, "left"); // any text but "Right" docks left
    settings->SetValue(keys::InspectorHideOnce, 1);
    settings->SetValue(keys::FrameSize, 100); // not a menu size: 160 is checked
    Create();
    QWidget* panel = window->findChild<QWidget*>("pnlAniFrames");
    EXPECT_EQ(window->findChild<QSplitter*>("Splitter")->indexOf(panel), 0);
    EXPECT_EQ(settings->Value(keys::InspectorHideOnce), 0);
    QAction* inspector = nullptr;
    for (QAction* action : window->findChildren<QAction*>())
        if (action->text() == "Frame &Inspector") inspector = action;
    ASSERT_NE(inspector, nullptr);
    EXPECT_FALSE(inspector->isChecked());
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("a.gif", 2)));
    EXPECT_TRUE(inspector->isChecked()); // shown again with the first frame shown
    auto sizes = window->findChild<QMenu*>("mnuFrameSize")->actions();
    EXPECT_TRUE(sizes.last()->isChecked());
    window.reset();
    EXPECT_EQ(settings->Value(keys::FrameSize), 100);
}

// Stored bounds larger than the screen, or off it, give a window that is on the screen.
TEST_F(MainWindowTest, StoredBoundsAreFittedToTheScreen) {
    window.reset();
    settings->SetValue(keys::MainWidth, 100000);
    settings->SetValue(keys::MainHeight, 100000);
    settings->SetValue(keys::MainLeft, 100000);
    settings->SetValue(keys::MainTop, -100000);
    window = std::make_unique<TfrmMain>(*settings, &prompter);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->geometry())) << window->geometry().x() << " " << window->geometry().width();
}

namespace {

// An inspector that records what the window asks of it.
class TRecordingInspector : public IInspectorPanel {
  public:
    void ShowFrame(int index) override { Log << QString("show %1").arg(index); }
    void Clear() override { Log << "clear"; }
    void SetPanelVisible(bool visible) override { Log << QString("visible %1").arg(visible); }
    void SetActiveDocument(TDocument* document) override {
        Log << (document ? "document " + document->ShortName() : QString("no document"));
    }
    int SelectedRow() const override { return 10; }
    void SelectRow(int row) override { Log << QString("row %1").arg(row); }
    QStringList Log;
};

} // namespace

TEST_F(MainWindowTest, TheInspectorFollowsDocumentsFramesAndUndo) {
    TRecordingInspector inspector;
    window->SetInspector(&inspector);
    QAction* button = nullptr;
    for (QAction* action : window->findChildren<QAction*>())
        if (action->text() == "Frame &Inspector") button = action;
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());

    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("a.gif", 3)));
    EXPECT_TRUE(inspector.Log.contains("document a.gif"));
    EXPECT_TRUE(inspector.Log.contains("show 0"));
    EditDelay(1, 30);
    Action(TActionId::EditUndo)->trigger();
    // The undone caption names the "Delay" row (10).
    EXPECT_TRUE(inspector.Log.contains("row 10"));

    button->trigger();
    EXPECT_EQ(inspector.Log.last(), "visible 0");
    prompter.Then(mrNo);
    Action(TActionId::FileClose)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return Workspace().DocumentCount() == 0; }));
    EXPECT_EQ(inspector.Log.last(), "clear");
}

TEST_F(MainWindowTest, ASmallPictureNeedsNoScrollBarsAfterTheFirstEdit) {
    ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif("a.gif", 2, 120, 90)));
    auto* area = window->findChild<QScrollArea*>("sbFrame");
    ASSERT_NE(area, nullptr);
    QApplication::processEvents();
    EditDelay(0, 55); // the document's status row shows "Modified" and its icon
    // A taller status row (an icon theme with larger icons) takes height from the picture
    // area while the window keeps its size.
    auto* status = window->findChild<QWidget*>("StatusBarMDI");
    ASSERT_NE(status, nullptr);
    status->setMinimumHeight(status->height() + 30);
    QApplication::processEvents();
    EXPECT_FALSE(area->verticalScrollBar()->isVisible());
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    EXPECT_LE(area->widget()->height(), area->viewport()->height());
}

// Exit asks every document first; one Cancel closes nothing, and after all answers the
// documents go without a second question.
TEST_F(MainWindowTest, ExitAsksEveryQuestionBeforeClosingAnything) {
    for (const char* name : {"a.gif", "b.gif", "c.gif"}) {
        ASSERT_TRUE(Workspace().OpenGifDocument(WriteGif(name, 2)));
        EditDelay(0, 55);
    }
    prompter.Then(mrNo).Then(mrNo).Then(mrCancel);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(prompter.Asked.size(), 3u);
    EXPECT_EQ(Workspace().DocumentCount(), 3);
    for (const auto& document : Workspace().Documents()) EXPECT_TRUE(document->Modified());
    prompter.Asked.clear();
    prompter.Then(mrNo).Then(mrNo).Then(mrNo);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(prompter.Asked.size(), 3u);
    EXPECT_TRUE(prompter.Unexpected.isEmpty());
    EXPECT_EQ(Workspace().DocumentCount(), 0);
}

// While playing, Undo and the edit actions are off; transparent areas play in the colour
// they show in when stopped (white), not in the animation's black.
TEST_F(MainWindowTest, PlaybackDisablesEditingAndPlaysTransparencyInTheStoppedColour) {
    const QString path = dir.filePath("clear.gif");
    auto image = MakeAnimation(2, 40, 30);
    for (int i = 0; i < 2; ++i) {
        gif::TGIFSubImage& frame = *image->Frame(i);
        std::fill(frame.Pixels(), frame.Pixels() + 40 * 30, uint8_t(0));   // black, transparent
        frame.ControlBlock()->SetTransparentFlag(true);
        frame.ControlBlock()->SetTransparentIndex(0);
    }
    image->SaveToFile(NativePath(path));
    ASSERT_TRUE(Workspace().OpenGifDocument(path));
    EditDelay(1, 30);
    ASSERT_TRUE(Action(TActionId::EditUndo)->isEnabled());
    Action(TActionId::AnimationPlay)->trigger();
    ASSERT_TRUE(Workspace().Actions().Playing());
    ASSERT_TRUE(WaitUntil([&] { return window->ChildOf(Active())->StatusText().startsWith("Playing"); }));
    for (TActionId id : {TActionId::EditUndo, TActionId::EditCut, TActionId::EditCopy, TActionId::EditPaste})
        EXPECT_FALSE(Action(id)->isEnabled()) << ActionInfo(id).Name;
    EXPECT_EQ(window->Player()->grab().toImage().pixelColor(20, 15), QColor(Qt::white));
    Action(TActionId::AnimationPause)->trigger();
    EXPECT_TRUE(Action(TActionId::EditUndo)->isEnabled());
    EXPECT_TRUE(Action(TActionId::EditCut)->isEnabled());
}

// The save dialog starts where the open dialog last was.
TEST_F(MainWindowTest, TheSaveDialogStartsWhereTheOpenDialogWas) {
    QDir(dir.path()).mkpath("pictures");
    const QString folder = dir.filePath("pictures");
    MakeAnimation(2)->SaveToFile(NativePath(folder + "/p.gif"));
    prompter.ThenFiles({folder + "/p.gif"});
    Action(TActionId::FileOpen)->trigger();
    ASSERT_EQ(Workspace().DocumentCount(), 1);
    prompter.ThenFiles({});   // cancelled
    Action(TActionId::FileSaveAs)->trigger();
    ASSERT_EQ(prompter.FileDialogs.size(), 2u);
    EXPECT_EQ(prompter.FileDialogs.back().InitialDir, folder);
}

// Work asked for before the window first shows waits for the deferred start-up event and
// for whatever watches it, even when a watcher runs the event loop meanwhile (as the
// add-ins' loading window does); asked for afterwards, it is only queued.
TEST_F(MainWindowTest, WorkAfterStartupWaitsForWhateverWatchesTheStartup) {
    struct TWatcher : QObject {
        QStringList* Log = nullptr;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == editor::StartupEventType) {
                *Log << "watcher starts";
                for (int i = 0; i < 3; ++i) QApplication::processEvents();
                *Log << "watcher ends";
            }
            return false;
        }
    };
    QStringList log;
    TWatcher watcher;
    watcher.Log = &log;
    TfrmMain second(*settings, &prompter);
    second.installEventFilter(&watcher);
    second.AfterStartup([&] { log << "work"; });
    second.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    EXPECT_EQ(log, (QStringList{"watcher starts", "watcher ends", "work"}));
    second.AfterStartup([&] { log << "later"; });
    EXPECT_EQ(log.size(), 3);
    QApplication::processEvents();
    EXPECT_EQ(log.last(), "later");
}
