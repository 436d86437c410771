// No data lost: an editor killed after an edit leaves the real file as it was, and a save
// that cannot write keeps the document modified and the old file intact. Each scenario
// runs in a child process (this test binary again, with a filter and a mode).
#include "editor/document/file_commands.h"
#include "editor/window/main_window_fixture.h"
#include "editor/window/signal_quit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace editor;
using namespace editortest;

namespace {

QByteArray ChildMode() {
    return qgetenv("LOOPWRIGHT_TEST_CHILD");
}
QString ChildFile() {
    return QString::fromLocal8Bit(qgetenv("LOOPWRIGHT_TEST_FILE"));
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A folder under /tmp that every user may use (the read-only test runs its child as
// another user when it runs as root, who may write anywhere).
QString SharedFolder(const char* pattern, mode_t mode) {
    QByteArray name = QByteArray("/tmp/") + pattern;
    if (!mkdtemp(name.data())) return {};
    chmod(name.constData(), mode);
    return QString::fromLocal8Bit(name);
}

// Starts this binary as a child running one test in `mode`.
void StartChild(QProcess& child, const char* test, const QByteArray& mode, const QString& file,
                const QString& folder, bool asOtherUser) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LOOPWRIGHT_TEST_CHILD", mode);
    env.insert("LOOPWRIGHT_TEST_FILE", file);
    env.insert("TMPDIR", folder);
    env.insert("XDG_CONFIG_HOME", folder);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    QStringList arguments{QString("--gtest_filter=DataSafetyChild.") + test};
    QString program = QCoreApplication::applicationFilePath();
    if (asOtherUser) {
        arguments.prepend(program);
        arguments = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + arguments;
        program = "/usr/bin/setpriv";
    }
    child.start(program, arguments);
}

// Reads the child's output until it reports its edit; returns the backing file it names.
QString WaitForEdit(QProcess& child, QByteArray& output) {
    while (child.waitForReadyRead(20000)) {
        output += child.readAll();
        for (const QByteArray& line : output.split('\n'))
            if (line.startsWith("EDITED ")) return QString::fromLocal8Bit(line.mid(7));
    }
    return {};
}

// A main window of the child with the answers it needs.
struct TChildEditor {
    TChildEditor() : settings(QDir(QDir::tempPath()).filePath("child.ini")) {
        settings.SetValue(keys::Compatibility, mrNo);
        settings.SetValue(keys::DisplayAnimation, 0);
        window = std::make_unique<TfrmMain>(settings, &prompter);
        window->show();
    }
    void OpenAndEdit(const QString& path, int delay) {
        ASSERT_TRUE(window->Workspace().OpenGifDocument(path));
        TDocument& document = *window->Workspace().ActiveDocument();
        document.PushCommand(ckGraphicControl, 3, -1, -1, 0, "Change Delay");
        window->Workspace().WorkingImage().Frame(0)->ControlBlock()->SetDelayTime(uint16_t(delay));
        document.SetModified(true);
    }
    Settings settings;
    TScriptedPrompter prompter;
    std::unique_ptr<TfrmMain> window;
};

} // namespace

// The children: skipped unless started by the tests below.

TEST(DataSafetyChild, EditThenWaitToBeKilled) {
    if (ChildMode() != "kill") GTEST_SKIP() << "runs as the child of a data safety test";
    TChildEditor editor;
    editor.OpenAndEdit(ChildFile(), 77);
    std::printf("EDITED %s\n",
                qPrintable(editor.window->Workspace().ActiveDocument()->TempFileName()));
    std::fflush(stdout);
    for (;;)
        QThread::msleep(100);
}

TEST(DataSafetyChild, EditThenWaitForTheSessionToEnd) {
    if (ChildMode() != "term") GTEST_SKIP() << "runs as the child of a data safety test";
    {
        TChildEditor editor;
        QuitOnTerminationSignals(*editor.window);
        editor.OpenAndEdit(ChildFile(), 55);
        editor.window->Action(TActionId::EditCopy)->trigger(); // the clipboard GIF file too
        std::printf("EDITED %s\n",
                    qPrintable(editor.window->Workspace().ActiveDocument()->TempFileName()));
        std::fflush(stdout);
        QApplication::exec();
    }
    std::printf("ENDED\n");
}

TEST(DataSafetyChild, SaveIntoReadOnlyFolder) {
    if (ChildMode() != "readonly") GTEST_SKIP() << "runs as the child of a data safety test";
    TChildEditor editor;
    editor.OpenAndEdit(ChildFile(), 66);
    TDocument& document = *editor.window->Workspace().ActiveDocument();
    editor.prompter.Then(mrOk);
    editor.window->Action(TActionId::FileSave)->trigger();
    EXPECT_EQ(editor.prompter.Texts(),
              QStringList{"Error saving file! Unable to save " + ChildFile() + " to disk."});
    EXPECT_TRUE(document.Modified());
    EXPECT_TRUE(editor.window->Action(TActionId::FileSave)->isEnabled());
    EXPECT_EQ(document.History().Count(), 1);
    gif::TGIFImage backing;
    backing.LoadFromFile(NativePath(document.TempFileName()));
    EXPECT_EQ(backing.Frame(0)->ControlBlock()->DelayTime(), 66);
}

// A child editor that has opened a file of its own folder and edited it.
class EditedChild : public ::testing::Test {
  protected:
    // Starts child test `test` in `mode`; `backing` names its backing file after the edit.
    void Start(const char* test, const QByteArray& mode) {
        folder = SharedFolder("lw-child-XXXXXX", 0700);
        ASSERT_FALSE(folder.isEmpty());
        path = QDir(folder).filePath("a.gif");
        MakeAnimation(3, 30, 20)->SaveToFile(NativePath(path));
        before = Bytes(path);
        StartChild(child, test, mode, path, folder, false);
        backing = WaitForEdit(child, output);
        ASSERT_FALSE(backing.isEmpty()) << output.toStdString();
    }
    void TearDown() override {
        if (!folder.isEmpty()) QDir(folder).removeRecursively();
    }

    QString folder, path, backing;
    QByteArray before, output;
    QProcess child;
};

TEST_F(EditedChild, KilledAfterAnEditTheRealFileIsUntouched) {
    ASSERT_NO_FATAL_FAILURE(Start("EditThenWaitToBeKilled", "kill"));
    child.kill(); // SIGKILL: nothing of the editor runs after this
    child.waitForFinished(5000);
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    EXPECT_EQ(Bytes(path), before);
    // The edit survives in the backing file, written as it was made.
    gif::TGIFImage saved;
    saved.LoadFromFile(NativePath(backing));
    EXPECT_EQ(saved.Frame(0)->ControlBlock()->DelayTime(), 77);
}

TEST_F(EditedChild, TerminatedAfterAnEditLeavesNoTemporaryFiles) {
    ASSERT_NO_FATAL_FAILURE(Start("EditThenWaitForTheSessionToEnd", "term"));
    ASSERT_TRUE(QFile::exists(backing));
    child.terminate(); // SIGTERM, as a session ending sends it
    ASSERT_TRUE(child.waitForFinished(10000));
    output += child.readAll();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_TRUE(output.contains("ENDED")) << output.toStdString();

    EXPECT_EQ(Bytes(path), before);
    EXPECT_FALSE(QFile::exists(backing));
    EXPECT_EQ(QDir(folder).entryList({"~GL*"}, QDir::Files), QStringList());
}

TEST(DataSafety, SaveThatCannotWriteKeepsTheDocumentModified) {
    const bool root = geteuid() == 0;
    const QString folder = SharedFolder("lw-ro-XXXXXX", 0755);
    const QString work = SharedFolder("lw-rw-XXXXXX", 0777);
    ASSERT_FALSE(folder.isEmpty());
    ASSERT_FALSE(work.isEmpty());
    const QString path = QDir(folder).filePath("a.gif");
    MakeAnimation(3, 30, 20)->SaveToFile(NativePath(path));
    chmod(QFile::encodeName(path).constData(), 0644);
    chmod(QFile::encodeName(folder).constData(), 0555);
    const QByteArray before = Bytes(path);

    QProcess child;
    StartChild(child, "SaveIntoReadOnlyFolder", "readonly", path, work, root);
    ASSERT_TRUE(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    chmod(QFile::encodeName(folder).constData(), 0755);
    if (root && (child.exitCode() == 126 || child.exitCode() == 127))
        GTEST_SKIP() << "this binary cannot be started as another user: " << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    EXPECT_EQ(Bytes(path), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"a.gif"});
    QDir(folder).removeRecursively();
    QDir(work).removeRecursively();
}
