// Saving and closing: the history ends at a save, untitled documents ask for a name, Save
// All and Close All go through every document, and the last close resets the window.
#include "editor/document/file_commands.h"
#include "editor/document/startup_settings.h"
#include "editor/document/workspace_fixture.h"

#include <QDir>
#include <QFileInfo>

using namespace editor;
using namespace editortest;

TEST_F(WorkspaceTest, SaveEndsTheHistoryAndDeletesTheBackingFile) {
    const QString a = WriteGif("a.gif", 3);
    workspace.OpenGifDocument(a);
    EditDelay(0, 61);
    EXPECT_EQ(workspace.Actions().Caption(TActionId::EditUndo), "&Undo Change Delay");
    EXPECT_TRUE(workspace.Actions().Enabled(TActionId::EditUndo));
    const QString backing = Active().TempFileName();

    FileSaveExecute(workspace);
    EXPECT_FALSE(Active().Modified());
    EXPECT_EQ(Active().History().Count(), 0);
    EXPECT_FALSE(workspace.Actions().Enabled(TActionId::EditUndo));
    EXPECT_EQ(workspace.Actions().Caption(TActionId::EditUndo), "&Undo ");
    EXPECT_FALSE(workspace.Actions().Enabled(TActionId::FileSave));
    EXPECT_FALSE(QFileInfo::exists(backing));
    EXPECT_TRUE(Active().TempFileName().isEmpty());
    EXPECT_EQ(Delay(*Load(a), 0), 61);
    EXPECT_EQ(workspace.RecentFiles().IndexOf(a), 0);
}

TEST_F(WorkspaceTest, CompatibilityQuestionAskedUntilRemembered) {
    settings.SetValue(keys::Compatibility, 0);
    workspace.OpenGifDocument(WriteGif("a.gif", 2));
    EditDelay(0, 5);
    prompter.Then(mrYes, /*checked=*/true);
    FileSaveExecute(workspace);
    EXPECT_EQ(
        prompter.Texts(),
        QStringList{"Would you like Loopwright to check the compatibility of this animation?"});
    EXPECT_EQ(settings.Value(keys::Compatibility), mrYes);
    EditDelay(0, 6);
    FileSaveExecute(workspace);
    EXPECT_EQ(prompter.Asked.size(), 1u);
}

TEST_F(WorkspaceTest, UntitledSaveAlwaysAsksAndCancelKeepsItModified) {
    workspace.OpenFileByType(WriteBmp("p.bmp"));
    host.Pump();
    TDocument& doc = Active();
    ASSERT_TRUE(doc.IsUntitled());
    prompter.ThenFiles({}); // the save dialog is cancelled
    EXPECT_FALSE(doc.SaveQuery(false, true));
    EXPECT_EQ(prompter.FileDialogs.size(), 1u);
    EXPECT_EQ(prompter.FileDialogs[0].FileName, "Untitled1.gif");
    EXPECT_EQ(prompter.FileDialogs[0].DefaultSuffix, "gif");
    EXPECT_TRUE(doc.Modified());
    EXPECT_TRUE(doc.IsUntitled());

    const QString chosen = dir.filePath("named.gif");
    prompter.ThenFiles({chosen});
    FileSaveExecute(workspace);
    EXPECT_FALSE(doc.Modified());
    EXPECT_FALSE(doc.IsUntitled());
    EXPECT_EQ(doc.FileName(), chosen);
    EXPECT_EQ(Load(chosen)->FrameCount(), 1);
    EXPECT_EQ(workspace.SaveDialogFolder, dir.path());
}

TEST_F(WorkspaceTest, SaveAllWithOneUntitledDocument) {
    const QString a = WriteGif("a.gif", 2);
    workspace.OpenGifDocument(a);
    EditDelay(1, 71);
    workspace.OpenFileByType(WriteBmp("p.bmp")); // becomes a third frame of a.gif
    EXPECT_EQ(workspace.DocumentCount(), 1);
    // A second document, untitled and modified, made active; then back to a.gif.
    workspace.DropOnMainWindow = true;
    workspace.ImportImageFile(dir.filePath("p.bmp"), 2);
    workspace.DropOnMainWindow = false;
    host.Pump();
    TDocument& named = Doc(0);
    TDocument& untitled = Doc(1);
    SwitchTo(named);

    const QString chosen = dir.filePath("second.gif");
    prompter.Then(mrYes).ThenFiles({chosen});
    FileSaveAllExecute(workspace);
    // Only the untitled one asked, then showed the save dialog.
    EXPECT_EQ(prompter.Texts(), QStringList{"Would you like to save changes to Untitled1.gif?"});
    EXPECT_EQ(prompter.FileDialogs.size(), 1u);
    EXPECT_FALSE(named.Modified());
    EXPECT_FALSE(untitled.Modified());
    EXPECT_EQ(Delay(*Load(a), 2), 71); // the picture went in before the edited frame
    EXPECT_EQ(Load(a)->FrameCount(), 3);
    EXPECT_EQ(Load(chosen)->FrameCount(), 1);
    EXPECT_EQ(workspace.ActiveDocument(), &named); // active again at the end
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 3);
}

TEST_F(WorkspaceTest, CloseAllWithOneCancel) {
    workspace.OpenGifDocument(WriteGif("a.gif", 2));
    EditDelay(0, 9);
    workspace.OpenGifDocument(WriteGif("b.gif", 3));
    EditDelay(0, 8);
    workspace.OpenGifDocument(WriteGif("c.gif", 4));
    // c closes unasked, b answers Cancel, a answers No.
    prompter.Then(mrCancel).Then(mrNo);
    FileCloseAllExecute(workspace);
    EXPECT_EQ(prompter.Texts(), (QStringList{"Would you like to save changes to b.gif?",
                                             "Would you like to save changes to a.gif?"}));
    ASSERT_EQ(workspace.DocumentCount(), 1);
    EXPECT_EQ(Active().ShortName(), "b.gif");
    EXPECT_FALSE(host.Log.contains("reset"));
    host.Pump();
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 3);
    EXPECT_EQ(Delay(workspace.WorkingImage(), 0), 8);
}

TEST_F(WorkspaceTest, ClosingSavesEachDocumentsOwnAnimation) {
    // A modified document that is not active is saved with its own animation, not with
    // the one the working image held when it was asked.
    const QString a = WriteGif("a.gif", 2), b = WriteGif("b.gif", 5);
    workspace.OpenGifDocument(a);
    EditDelay(0, 12);
    workspace.OpenGifDocument(b);
    EditDelay(0, 13);
    prompter.Then(mrYes).Then(mrYes);
    FileCloseAllExecute(workspace);
    EXPECT_EQ(workspace.DocumentCount(), 0);
    EXPECT_EQ(Load(a)->FrameCount(), 2);
    EXPECT_EQ(Delay(*Load(a), 0), 12);
    EXPECT_EQ(Load(b)->FrameCount(), 5);
    EXPECT_EQ(Delay(*Load(b), 0), 13);
    EXPECT_TRUE(TempFiles().isEmpty());
}

TEST_F(WorkspaceTest, ClosingTheLastDocumentResetsEverything) {
    workspace.OpenGifDocument(WriteGif("a.gif", 3));
    EditDelay(0, 9);
    TActionStates& actions = workspace.Actions();
    EXPECT_TRUE(actions.Enabled(TActionId::AnimationPlay));
    prompter.Then(mrNo);
    FileCloseExecute(workspace);
    EXPECT_EQ(workspace.DocumentCount(), 0);
    EXPECT_EQ(frames.Count(), 0);
    EXPECT_TRUE(workspace.WorkingImage().Empty());
    EXPECT_TRUE(host.Log.contains("reset"));
    EXPECT_TRUE(host.Log.contains("inspector clear"));
    EXPECT_TRUE(host.Log.contains("timer"));
    for (TActionId id :
         {TActionId::FileClose, TActionId::FileSaveAs, TActionId::AnimationPlay,
          TActionId::EditCopy, TActionId::FrameDelete, TActionId::FrameMoveUp, TActionId::EditUndo})
        EXPECT_FALSE(actions.Enabled(id)) << ActionInfo(id).Name;
    EXPECT_TRUE(actions.Enabled(TActionId::FrameAdd));
    EXPECT_TRUE(actions.Enabled(TActionId::FileOpen));
    // The document was modified when it closed: Save stays on until the timer.
    EXPECT_TRUE(actions.Enabled(TActionId::FileSave));
    workspace.TimerElapsed();
    EXPECT_FALSE(actions.Enabled(TActionId::FileSave));
    EXPECT_FALSE(actions.Enabled(TActionId::FileSaveAll));
    EXPECT_TRUE(TempFiles().isEmpty());
}

TEST_F(WorkspaceTest, FailedSaveKeepsTheDocumentModified) {
    // A target that cannot be written: a folder stands where the file should go.
    const QString a = WriteGif("a.gif", 2);
    workspace.OpenGifDocument(a);
    EditDelay(0, 14);
    const QString blocked = dir.filePath("blocked.gif");
    QDir().mkpath(blocked + "/inside");
    prompter.ThenFiles({blocked}).Then(mrOk);
    FileSaveAsExecute(workspace);
    EXPECT_EQ(prompter.Texts().last(),
              "Error saving file! Unable to save " + blocked + " to disk.");
    EXPECT_TRUE(Active().Modified());
    EXPECT_EQ(Active().FileName(), a); // the document keeps its own name
    ASSERT_FALSE(Active().TempFileName().isEmpty());
    EXPECT_EQ(Delay(*Load(Active().TempFileName()), 0), 14);
    EXPECT_EQ(Active().History().Count(), 1);
    EXPECT_EQ(Delay(*Load(a), 0), 10);
}

TEST_F(WorkspaceTest, HideOnceShowsTheInspectorWithTheFirstFrame) {
    settings.SetValue(keys::InspectorHideOnce, 1);
    const TInspectorStart start = ReadInspectorStart(settings);
    EXPECT_TRUE(start.HideOnce);
    EXPECT_FALSE(start.Visible);
    EXPECT_EQ(settings.Value(keys::InspectorHideOnce), 0);
    EXPECT_FALSE(ReadInspectorStart(settings).HideOnce);

    workspace.SetInspectorHideOnce();
    workspace.OpenGifDocument(WriteGif("a.gif", 2));
    workspace.DisplayFrame(1);
    EXPECT_EQ(host.Log.filter("inspector visible").size(), 1);
}
