// Opening files as documents: frames listed, empty frames, files that are already open,
// files that fail, untitled documents and the recent-files list.
#include "editor/core/file_kinds.h"
#include "editor/core/picture_routines.h"
#include "editor/document/document_messages.h"
#include "editor/document/picture_files.h"
#include "editor/document/workspace_fixture.h"
#include "gif/base/stream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

using namespace editor;
using namespace editortest;

namespace {

// A frame without picture: a comment block followed by a stray zero byte where the image
// descriptor should be.
const QByteArray EmptyFrame("\x21\xFE\x01x\0\0", 6);

// `gif` with an empty frame inserted before its first block.
QByteArray WithLeadingEmptyFrame(const QByteArray& gif) {
    const int packed = uint8_t(gif[10]);
    const int tableBytes = (packed & 0x80) ? 3 << ((packed & 7) + 1) : 0;
    QByteArray out = gif;
    out.insert(13 + tableBytes, EmptyFrame);
    return out;
}

} // namespace

TEST_F(WorkspaceTest, EmptyFramesGoToTheEndAndGetNoListItem) {
    const QString plain = WriteGif("plain.gif", 2);
    const QString path = dir.filePath("empty-first.gif");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(WithLeadingEmptyFrame(Bytes(plain)));
    file.close();
    ASSERT_EQ(Load(path)->FrameCount(), 3);

    ASSERT_TRUE(workspace.OpenGifDocument(path));
    EXPECT_EQ(frames.Count(), 2);
    // [empty, A, B] is now [A, B, empty]: frame colours 0 and 1, then the empty frame.
    EXPECT_EQ(FrameColours(workspace.WorkingImage()), (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(frames.Selected(), 0);
}

TEST_F(WorkspaceTest, OpeningAnOpenFileOnlyBringsItForward) {
    const QString a = WriteGif("a.gif", 2);
    workspace.OpenGifDocument(a);
    workspace.OpenGifDocument(WriteGif("b.gif", 3));
    const int beeps = prompter.Beeps;
    // Also through a path that names it differently.
    EXPECT_FALSE(workspace.OpenGifDocument(dir.filePath("./a.gif")));
    EXPECT_EQ(prompter.Beeps, beeps + 1);
    EXPECT_EQ(workspace.DocumentCount(), 2);
    EXPECT_EQ(Active().FileName(), a);
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 2);
}

TEST_F(WorkspaceTest, FailedOpenKeepsTheActiveDocumentsAnimation) {
    const QString a = WriteGif("a.gif", 3);
    const QString broken = dir.filePath("broken.gif");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a GIF file at all");
    file.close();

    workspace.OpenGifDocument(a);
    EditDelay(2, 55);
    prompter.Then(mrOk);
    EXPECT_FALSE(workspace.OpenGifDocument(broken));
    EXPECT_TRUE(prompter.Texts().last().startsWith("Error loading "));
    EXPECT_EQ(workspace.DocumentCount(), 1);
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 3);
    EXPECT_EQ(Delay(workspace.WorkingImage(), 2), 55);
    EXPECT_EQ(frames.Count(), 3);
}

TEST_F(WorkspaceTest, UndecodableFileLeavesTheRecentList) {
    // One frame without picture: nothing to show.
    const QString path = dir.filePath("nothing.gif");
    QByteArray bytes("GIF89a\x04\0\x03\0\0\0\0", 13);
    bytes += EmptyFrame;
    bytes += ';';
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    workspace.RecentFiles().Add(path);

    prompter.Then(mrOk);
    EXPECT_FALSE(workspace.OpenGifDocument(path));
    EXPECT_EQ(prompter.Texts(),
              QStringList{"Unable to decode " + path + ". The file is could be corrupt."});
    EXPECT_EQ(workspace.DocumentCount(), 0);
    EXPECT_EQ(workspace.RecentFiles().Count(), 0);
}

TEST_F(WorkspaceTest, FilesByKind) {
    const QString gif = WriteGif("a.gif", 2);
    const QString bmp = WriteBmp("p.bmp");
    const QString text = dir.filePath("notes.txt");
    prompter.Then(mrOk);
    workspace.OpenFileByType(gif);
    workspace.OpenFileByType(text);
    EXPECT_EQ(prompter.Texts().last(),
              "Error loading notes.txt! GIF Loopwright does not support the file type or it is a "
              "corrupted file.");
    // A picture becomes a frame of the active animation.
    workspace.OpenFileByType(bmp);
    EXPECT_EQ(workspace.DocumentCount(), 1);
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 3);
    EXPECT_EQ(Active().History().TopCaption(), "Add Frame");
}

TEST_F(WorkspaceTest, PictureWithoutDocumentStartsUntitledAnimations) {
    const QString bmp = WriteBmp("p.bmp");
    workspace.OpenFileByType(bmp);
    ASSERT_EQ(workspace.DocumentCount(), 1);
    EXPECT_EQ(Active().FileName(), "Untitled1.gif");
    EXPECT_TRUE(Active().IsUntitled());
    EXPECT_TRUE(Active().Modified());
    host.Pump(); // the new document's load event reads its backing file
    EXPECT_TRUE(Active().Loaded);
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 1);
    EXPECT_EQ(frames.Count(), 1);

    // Dropped on the bare main window: a second new animation.
    workspace.DropOnMainWindow = true;
    workspace.ImportImageFile(bmp, 2);
    workspace.DropOnMainWindow = false;
    host.Pump();
    EXPECT_EQ(Active().FileName(), "Untitled2.gif");
    EXPECT_EQ(Active().History().TopCaption(), "Drag and Drop Image");

    // The counter never goes back, even after documents close.
    prompter.Then(mrNo).Then(mrNo);
    host.CloseDocumentWindow(Doc(1));
    host.CloseDocumentWindow(Doc(0));
    EXPECT_EQ(workspace.DocumentCount(), 0);
    workspace.OpenFileByType(bmp);
    EXPECT_EQ(Active().FileName(), "Untitled3.gif");
    EXPECT_EQ(workspace.UntitledCounter(), 4);
}

TEST_F(WorkspaceTest, ElevenOpensLeaveTenRecentFilesNewestFirst) {
    QStringList paths;
    for (int i = 0; i < 11; ++i)
        paths << WriteGif(QString("f%1.gif").arg(i), 2);
    for (const QString& path : paths)
        ASSERT_TRUE(workspace.OpenGifDocument(path));
    const TRecentFiles& recent = workspace.RecentFiles();
    ASSERT_EQ(recent.Count(), 10);
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(recent.Captions()[n], QString("&%1 %2").arg(n).arg(paths[10 - n]));

    // Reopening a listed file moves it to the top without a duplicate.
    host.CloseDocumentWindow(Doc(5)); // unmodified: closes without a question
    workspace.OpenGifDocument(paths[5]);
    EXPECT_EQ(recent.Count(), 10);
    EXPECT_EQ(recent.Captions()[0], "&0 " + paths[5]);
    EXPECT_EQ(recent.IndexOf(paths[5]), 0);
}

TEST_F(WorkspaceTest, RecentFilesStoredAndRead) {
    TRecentFiles& recent = workspace.RecentFiles();
    // A path that contains another listed path is an item of its own.
    recent.Add("/x/a.gif");
    recent.Add("/y/x/a.gif");
    recent.Add("/x/a.gif");
    EXPECT_EQ(recent.Captions(), (QStringList{"&0 /x/a.gif", "&1 /y/x/a.gif"}));
    recent.Save(settings);
    TRecentFiles read;
    read.Load(settings);
    EXPECT_EQ(read.Captions(), recent.Captions());

    // A first value that is empty keeps the second item's number until the next renumbering.
    settings.SetNumberedList(sections::RecentFiles, {"", "/b.gif"});
    read.Load(settings);
    EXPECT_EQ(read.Captions(), QStringList{"&1 /b.gif"});
    read.Add("/c.gif");
    EXPECT_EQ(read.Captions(), (QStringList{"&0 /c.gif", "&1 /b.gif"}));

    // A listed file that has gone: the message, and the item leaves the list.
    workspace.RecentFiles().Load(settings);
    prompter.Then(mrOk);
    workspace.OpenRecentFile(0);
    EXPECT_EQ(prompter.Texts().last(), "Could not open /b.gif. The file may have moved.");
    EXPECT_EQ(workspace.RecentFiles().Count(), 0);
}

TEST_F(WorkspaceTest, GifArrivingAsPictureIncludesOrStartsNew) {
    workspace.OpenGifDocument(WriteGif("a.gif", 2));
    const QString b = WriteGif("b.gif", 3);
    gif::TBitmap bitmap;
    prompter.Then(mrYes); // "&Include": after the selected frame
    EXPECT_EQ(LoadPictureFile(workspace, b, bitmap, fkGif), liIncluded);
    EXPECT_EQ(prompter.Asked[0].ButtonCaptions, (QStringList{"&Include", "&Start New"}));
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 5);
    EXPECT_EQ(frames.Count(), 5);
    EXPECT_EQ(Active().History().Count(), 3);
    EXPECT_EQ(Active().History().TopCaption(), "Drag and Drop Image");

    prompter.Then(mrNo); // "&Start New"
    EXPECT_EQ(LoadPictureFile(workspace, b, bitmap, fkGif), liOpened);
    EXPECT_EQ(workspace.DocumentCount(), 2);
    EXPECT_EQ(Active().ShortName(), "b.gif");
}

// A file that cannot be read says why, in the system's words, not "corrupted".
TEST_F(WorkspaceTest, UnreadableFilesGiveTheSystemsReason) {
    QDir(dir.path()).mkpath("folder.gif");
    const QString folder = dir.filePath("folder.gif");
    EXPECT_FALSE(workspace.OpenGifDocument(folder));
    workspace.OpenFileByType(dir.path());
    const QString locked = dir.filePath("locked.gif");
    MakeAnimation(2)->SaveToFile(NativePath(locked));
    ASSERT_TRUE(QFile(locked).setPermissions({}));
    // Root reads every file: the check runs as an ordinary user for the moment.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    const bool opened = workspace.OpenGifDocument(locked);
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    EXPECT_FALSE(opened);
    EXPECT_EQ(prompter.Texts(),
              (QStringList{"Error loading " + folder + "! Is a directory.",
                           "Error loading " + dir.path() + "! Is a directory.",
                           "Error loading " + locked + "! Permission denied."}));
}
