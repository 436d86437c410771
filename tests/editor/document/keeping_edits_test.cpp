// Edits that must survive: undone edits across a switch, a temporary folder that takes no
// backing file, a killed editor's backing files, a damaged file saved over, pictures chosen
// in the Open dialog, and the settings and lists that follow documents.
#include "editor/core/animation_routines.h"
#include "editor/document/file_commands.h"
#include "editor/document/recovery.h"
#include "editor/document/recovery_index.h"
#include "editor/document/workspace_fixture.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <unistd.h>

using namespace editor;
using namespace editortest;

TEST_F(WorkspaceTest, UndoneEditStaysUndoneAcrossASwitch) {
    const QString a = WriteGif("a.gif", 3);
    ASSERT_TRUE(workspace.OpenGifDocument(a));
    TDocument& docA = Active();
    EditDelay(1, 77);
    EditDelay(1, 88);
    docA.UndoLast();
    EXPECT_EQ(Delay(workspace.WorkingImage(), 1), 77);
    // The backing file has the undone state at once, not only at the next switch.
    EXPECT_EQ(Delay(*Load(docA.TempFileName()), 1), 77);

    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("b.gif", 2)));
    SwitchTo(docA);
    EXPECT_EQ(Delay(workspace.WorkingImage(), 1), 77);
    EXPECT_TRUE(docA.Modified());
    EXPECT_TRUE(prompter.Unexpected.isEmpty()) << prompter.Unexpected.join("; ").toStdString();
}

TEST_F(WorkspaceTest, NoBackingFileKeepsTheEditInMemoryUntilSaved) {
    const QString missing = dir.filePath("gone/deeper");
    const QString notAFolder = WriteGif("plain.gif", 1);
    workspace.BackingFolders = [&] { return QStringList{missing, notAFolder}; };
    const QString a = WriteGif("a.gif", 3);
    const QString b = WriteGif("b.gif", 2);
    ASSERT_TRUE(workspace.OpenGifDocument(a));
    TDocument& docA = Active();

    prompter.Then(mrOk);
    EditDelay(1, 77);
    ASSERT_EQ(prompter.Asked.size(), 1u);
    EXPECT_EQ(prompter.Asked[0].Text,
              "The changes to a.gif could not be written to a temporary file: No such file or "
              "directory. They are kept in memory only, and the document cannot be switched "
              "away from until it is saved.");
    EXPECT_EQ(workspace.DocumentCount(), 1); // never closed for it
    EXPECT_TRUE(docA.Modified());
    EXPECT_TRUE(docA.KeptInMemory());
    EXPECT_EQ(Delay(workspace.WorkingImage(), 1), 77);
    EditDelay(1, 78); // said once
    EXPECT_EQ(prompter.Asked.size(), 1u);

    // Opening or activating another document would drop the edits: refused, with the reason.
    prompter.Then(mrOk);
    EXPECT_FALSE(workspace.OpenGifDocument(b));
    EXPECT_EQ(prompter.Asked.back().Text, "The changes to a.gif are kept in memory only: save "
                                          "it before switching to another document.");
    EXPECT_EQ(workspace.DocumentCount(), 1);
    EXPECT_EQ(workspace.ActiveDocument(), &docA);
    EXPECT_EQ(Delay(workspace.WorkingImage(), 1), 78);

    FileSaveExecute(workspace);
    EXPECT_FALSE(docA.Modified());
    EXPECT_EQ(Delay(*Load(a), 1), 78);
    ASSERT_TRUE(workspace.OpenGifDocument(b));
    EXPECT_EQ(workspace.DocumentCount(), 2);
    EXPECT_TRUE(prompter.Unexpected.isEmpty()) << prompter.Unexpected.join("; ").toStdString();
}

TEST_F(WorkspaceTest, BackingFileMovesToTheNextFolderThatTakesIt) {
    const QString good = dir.filePath("cache");
    QDir().mkpath(good);
    workspace.BackingFolders = [&] { return QStringList{dir.filePath("missing"), good}; };
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 2)));
    EditDelay(0, 33);
    EXPECT_EQ(QFileInfo(Active().TempFileName()).absolutePath(), QFileInfo(good).absoluteFilePath());
    EXPECT_FALSE(Active().KeptInMemory());
    // Its index names the real file and this process.
    TRecoveryEntry entry;
    ASSERT_TRUE(ReadRecoveryIndex(RecoveryIndexPath(Active().TempFileName()), entry));
    EXPECT_EQ(entry.FileName, Active().FileName());
    EXPECT_EQ(entry.Pid, qint64(getpid()));
    EXPECT_TRUE(prompter.Asked.empty());
    // Saving ends the backing file and its index together.
    const QString backing = Active().TempFileName();
    FileSaveExecute(workspace);
    EXPECT_FALSE(QFileInfo::exists(backing));
    EXPECT_FALSE(QFileInfo::exists(RecoveryIndexPath(backing)));
}

namespace {

// The id of a process that has ended.
qint64 EndedProcessId() {
    QProcess process;
    process.start("/bin/true", {});
    process.waitForFinished();
    return process.processId() > 0 ? process.processId() : 999999999;
}

} // namespace

TEST_F(WorkspaceTest, BackingFilesOfAKilledEditorAreOfferedBack) {
    const QString folder = dir.filePath("tmp");
    QDir().mkpath(folder);
    workspace.BackingFolders = [&] { return QStringList{folder}; };
    const QString real = WriteGif("a.gif", 2);
    // Two backing files of an editor that has ended: a named file and an untitled one; a
    // third of this process, which is running.
    const auto leave = [&](const QString& name, int frames, const QString& file, bool untitled,
                           qint64 pid, const QString& started) {
        const QString backing = QDir(folder).filePath(name + ".tmp");
        MakeAnimation(frames)->SaveToFile(NativePath(backing));
        QJsonObject index{{"file", file}, {"caption", file}, {"untitled", untitled},
                          {"pid", pid}, {"started", started}};
        QFile out(QDir(folder).filePath(name + ".idx"));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QJsonDocument(index).toJson());
        return backing;
    };
    const qint64 ended = EndedProcessId();
    const QString named = leave("~GLnamed1", 4, real, false, ended, "1");
    const QString untitled = leave("~GLuntit1", 5, "Untitled1.gif", true, ended, "1");
    const QString mine = leave("~GLmine01", 6, real, false, getpid(), ProcessStartTime(getpid()));
    {
        QFile older(named);
        ASSERT_TRUE(older.open(QIODevice::ReadWrite));
        older.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                          QFileDevice::FileModificationTime);
    }

    prompter.Then(mrYes).Then(mrNo);
    EXPECT_EQ(OfferRecovery(workspace), 1);
    EXPECT_EQ(prompter.Texts(), (QStringList{"Recover unsaved changes of " + real + "?",
                                             "Recover unsaved changes of Untitled1.gif?"}));
    ASSERT_EQ(workspace.DocumentCount(), 1);
    TDocument& recovered = Active();
    EXPECT_EQ(recovered.FileName(), real);
    EXPECT_TRUE(recovered.Modified());
    EXPECT_FALSE(recovered.IsUntitled());
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 4); // the backing file, not the real file
    EXPECT_EQ(frames.Count(), 4);
    EXPECT_EQ(recovered.TempFileName(), named);
    TRecoveryEntry entry;
    ASSERT_TRUE(ReadRecoveryIndex(RecoveryIndexPath(named), entry));
    EXPECT_EQ(entry.Pid, qint64(getpid())); // taken over
    // Declined: deleted. A running editor's: left alone.
    EXPECT_FALSE(QFileInfo::exists(untitled));
    EXPECT_FALSE(QFileInfo::exists(RecoveryIndexPath(untitled)));
    EXPECT_TRUE(QFileInfo::exists(mine));

    // Saved, the recovered changes reach the real file.
    FileSaveExecute(workspace);
    EXPECT_EQ(Load(real)->FrameCount(), 4);
    EXPECT_FALSE(QFileInfo::exists(named));
}

TEST_F(WorkspaceTest, DamagedFileSaysSoAndAsksBeforeItIsReplaced) {
    // Six frames of 80 x 60; the file ends inside the image data of the fourth.
    const QString path = WriteGif("cut.gif", 6, 80, 60);
    QByteArray bytes = Bytes(path);
    const QString sound = WriteGif("sound.gif", 2);
    gif::TMemoryStream three;
    {
        auto image = MakeAnimation(3, 80, 60);
        image->SaveToStream(three);
    }
    bytes.truncate(int(three.Size()) + 40);
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    const QByteArray damaged = Bytes(path);

    ASSERT_TRUE(workspace.OpenGifDocument(path));
    TDocument& document = Active();
    EXPECT_EQ(document.DamagedFrames, 4);
    EXPECT_TRUE(prompter.Asked.empty()); // the status bar says it, no box

    EditDelay(0, 70);
    prompter.Then(mrNo);
    FileSaveExecute(workspace);
    EXPECT_EQ(prompter.Texts().last(), "The file " + path +
                                           " was damaged when it was opened: only 4 frames could "
                                           "be read. Replace it anyway?");
    EXPECT_EQ(Bytes(path), damaged);
    EXPECT_TRUE(document.Modified());
    prompter.Then(mrYes);
    FileSaveExecute(workspace);
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(Load(path)->FrameCount(), 4);
    EXPECT_EQ(document.DamagedFrames, -1);

    // A sound file opens without the mark.
    ASSERT_TRUE(workspace.OpenGifDocument(sound));
    EXPECT_EQ(Active().DamagedFrames, -1);
}

TEST_F(WorkspaceTest, OpenDialogOffersStillPicturesAfterGifFiles) {
    const QStringList filter = OpenDialogFilter().split('|');
    ASSERT_EQ(filter.size(), 4);
    EXPECT_EQ(filter[0], "GIF Images (*.gif)");
    EXPECT_TRUE(filter[2].startsWith("Still Pictures (*.jpg, *.bmp"));
    EXPECT_TRUE(filter[3].split(';').contains("*.png"));
    EXPECT_FALSE(filter[3].contains("gif"));

    settings.SetValue(keys::PaletteDefaults, 1);
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 2)));
    OpenChosenFile(workspace, WriteBmp("photo.bmp", 7, 5));
    ASSERT_EQ(workspace.DocumentCount(), 2);
    EXPECT_TRUE(Active().IsUntitled());
    EXPECT_TRUE(Active().Modified());
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 1);
    EXPECT_EQ(workspace.WorkingImage().Width(), 7);
    EXPECT_FALSE(workspace.DropOnMainWindow);
    SwitchTo(Doc(0));
    EXPECT_EQ(workspace.WorkingImage().FrameCount(), 2); // not added to a.gif
}

TEST_F(WorkspaceTest, MaxUndoReachesOpenedDocumentsAndSavesLeadTheRecentFiles) {
    settings.SetValue(keys::MaxUndo, 2);
    const QString a = WriteGif("a.gif", 2), b = WriteGif("b.gif", 2);
    ASSERT_TRUE(workspace.OpenGifDocument(a));
    EXPECT_EQ(Active().MaxUndo(), 2);
    for (int delay = 1; delay <= 5; ++delay) EditDelay(0, delay);
    EXPECT_EQ(Active().History().Count(), 3); // the limit + 1

    ASSERT_TRUE(workspace.OpenGifDocument(b));
    EXPECT_EQ(workspace.RecentFiles().PathAt(0), b);
    SwitchTo(Doc(0));
    FileSaveExecute(workspace);
    EXPECT_EQ(workspace.RecentFiles().PathAt(0), a);
}

// Ended by a signal, nobody is asked to save: each modified document's edits, the active
// one's newest too, stay in its backing file with its index for the next start to offer; an
// unmodified document leaves nothing behind.
TEST_F(WorkspaceTest, AnEndingProgramLeavesItsUnsavedEditsForTheNextStart) {
    const QString folder = dir.filePath("tmp");
    QDir().mkpath(folder);
    QString keptA, keptB;
    {
        TWorkspace ending(prompter, settings, frames, host);
        host.Workspace = &ending;
        ending.BackingFolders = [&] { return QStringList{folder}; };
        const auto edit = [&](int delay) {
            ending.ActiveDocument()->PushCommand(ckGraphicControl, 3, -1, -1, 1, "Change Delay");
            ending.WorkingImage().Frame(1)->ControlBlock()->SetDelayTime(uint16_t(delay));
            ending.ActiveDocument()->SetModified(true);
        };
        ASSERT_TRUE(ending.OpenGifDocument(WriteGif("c.gif", 2)));
        ASSERT_TRUE(ending.OpenGifDocument(WriteGif("a.gif", 3)));
        edit(61);
        keptA = ending.ActiveDocument()->TempFileName();
        ASSERT_TRUE(ending.OpenGifDocument(WriteGif("b.gif", 2)));
        edit(62);
        // A change the backing file has not seen yet (as an undo step leaves it).
        ending.WorkingImage().Frame(1)->ControlBlock()->SetDelayTime(63);
        ending.ActiveDocument()->MarkBackingStale();
        keptB = ending.ActiveDocument()->TempFileName();
        ending.KeepUnsavedForRecovery();
    }
    host.Workspace = &workspace;
    ASSERT_FALSE(keptA.isEmpty());
    ASSERT_FALSE(keptB.isEmpty());
    EXPECT_EQ(Delay(*Load(keptA), 1), 61);
    EXPECT_EQ(Delay(*Load(keptB), 1), 63);
    TRecoveryEntry entry;
    ASSERT_TRUE(ReadRecoveryIndex(RecoveryIndexPath(keptB), entry));
    EXPECT_EQ(entry.FileName, dir.filePath("b.gif"));
    EXPECT_TRUE(QFileInfo::exists(RecoveryIndexPath(keptA)));
    // Only the two kept files and their indexes remain.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 4);
}
