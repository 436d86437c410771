// The switching protocol and the backing files: which file each document's animation
// comes from when it becomes active, and what an edit writes.
#include <QFileInfo>

#include "editor/document/frame_insertion.h"
#include "editor/document/workspace_fixture.h"

using namespace editor;
using namespace editortest;

TEST_F(WorkspaceTest, SwitchingKeepsEachEditInItsBackingFile) {
    const QString a = WriteGif("a.gif", 3);
    const QString b = WriteGif("b.gif", 5);
    const QByteArray aOnDisk = Bytes(a), bOnDisk = Bytes(b);

    ASSERT_TRUE(workspace.OpenGifDocument(a));
    TDocument& docA = Active();
    EditDelay(1, 77);
    ASSERT_TRUE(workspace.OpenGifDocument(b));
    TDocument& docB = Active();
    EXPECT_FALSE(docA.Loaded);
    EXPECT_TRUE(docB.Loaded);
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 5);

    SwitchTo(docA);
    EXPECT_TRUE(docA.Loaded);
    EXPECT_FALSE(docB.Loaded);
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 3);
    EXPECT_EQ(Delay(workspace.WorkingImage(), 1), 77);   // from A's backing file
    EXPECT_EQ(frames.Count(), 3);

    SwitchTo(docB);
    EXPECT_TRUE(docB.TempFileName().isEmpty());            // B came from its real file
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 5);
    EXPECT_EQ(Delay(workspace.WorkingImage(), 1), 20);

    SwitchTo(docA);
    EXPECT_EQ(Delay(workspace.WorkingImage(), 1), 77);
    EXPECT_EQ(Bytes(a), aOnDisk);                          // the real files are untouched
    EXPECT_EQ(Bytes(b), bOnDisk);
    EXPECT_TRUE(prompter.Unexpected.isEmpty()) << prompter.Unexpected.join("; ").toStdString();
}

TEST_F(WorkspaceTest, FirstEditCreatesBackingFileAndEveryEditRewritesIt) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 2)));
    EXPECT_TRUE(Active().TempFileName().isEmpty());
    EXPECT_TRUE(TempFiles().isEmpty());

    EditDelay(0, 33);
    const QString backing = Active().TempFileName();
    ASSERT_FALSE(backing.isEmpty());
    EXPECT_TRUE(QFileInfo(backing).fileName().startsWith("~GL"));
    EXPECT_EQ(Delay(*Load(backing), 0), 33);
    EXPECT_EQ(Active().SyncedCount, Active().History().Count());

    EditDelay(1, 44);
    EXPECT_EQ(Active().TempFileName(), backing);
    EXPECT_EQ(Delay(*Load(backing), 1), 44);
    EXPECT_TRUE(Active().Modified());
    EXPECT_TRUE(workspace.Actions().Enabled(TActionId::FileSave));
}

TEST_F(WorkspaceTest, StaleLoadEventAfterMovingOnIsIgnored) {
    // Three documents; the user activates B and then C before the events are delivered.
    const QString a = WriteGif("a.gif", 2), b = WriteGif("b.gif", 3), c = WriteGif("c.gif", 4);
    workspace.OpenGifDocument(a);
    workspace.OpenGifDocument(b);
    workspace.OpenGifDocument(c);
    TDocument& docA = Doc(0);
    TDocument& docB = Doc(1);
    host.BringToFront(docA);
    host.BringToFront(docB);
    EXPECT_EQ(host.PendingLoads(), 2);
    host.Pump();
    // Only the active document took the working image.
    EXPECT_FALSE(docA.Loaded);
    EXPECT_TRUE(docB.Loaded);
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 3);
}

TEST_F(WorkspaceTest, BringDocumentForwardLoadsBeforeReturning) {
    workspace.OpenGifDocument(WriteGif("a.gif", 2));
    workspace.OpenGifDocument(WriteGif("b.gif", 3));
    workspace.BringDocumentForward(Doc(0));
    EXPECT_EQ(host.PendingLoads(), 0);
    EXPECT_TRUE(Doc(0).Loaded);
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 2);
}

TEST_F(WorkspaceTest, ReloadOfVanishedFileClosesTheDocument) {
    const QString a = WriteGif("a.gif", 2);
    workspace.OpenGifDocument(a);
    workspace.OpenGifDocument(WriteGif("b.gif", 3));
    QFile::remove(a);
    prompter.Then(mrOk).Then(mrOk);
    SwitchTo(Doc(0));
    ASSERT_EQ(prompter.Asked.size(), 2u);
    EXPECT_TRUE(prompter.Asked[0].Text.startsWith("Error loading "));
    EXPECT_EQ(prompter.Asked[1].Text,
              "The file " + a +
                  " has either moved or cannot be opened. Existing changes will be lost. GIF "
                  "Empty: Yes, Load Error: Yes.");
    EXPECT_EQ(workspace.DocumentCount(), 1);
    EXPECT_EQ(Active().ShortName(), "b.gif");
    // The remaining document was activated and holds the working image again.
    host.Pump();
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 3);
}

TEST_F(WorkspaceTest, FrameCopiedAcrossToAnotherDocument) {
    workspace.OpenGifDocument(WriteGif("a.gif", 2));
    workspace.OpenGifDocument(WriteGif("b.gif", 3));
    TDocument& docA = Doc(0);
    frames.Select(2);
    CopyFrameAcross(workspace, docA);
    // Into a.gif, after its selected frame, as an edit of a.gif.
    EXPECT_EQ(workspace.ActiveDocument(), &docA);
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 3);
    EXPECT_EQ(frames.Count(), 3);
    EXPECT_EQ(docA.History().TopCaption(), "Drag and Drop Image");
    EXPECT_TRUE(docA.Modified());
    EXPECT_FALSE(Doc(1).Modified());
    EXPECT_EQ(frames.Selected(), 1);
}
