// The editor binary itself, started offscreen with settings of its own and ended by the
// session (SIGTERM) at several moments of its start: during the splash window's own loops,
// with a message box up, and in the main loop. Each time it ends within a few seconds, as
// at a normal exit, with its settings written.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// Whether process `pid` has its own SIGTERM handler (it has reached main).
bool CatchesSigterm(qint64 pid) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

} // namespace

TEST(EditorStartup, EndsOnSigtermAtAnyMomentOfTheStartAndWritesItsSettings) {
    const struct {
        int DelayMs;
        bool UnreadableFile; // a folder named on the command line: an error box at start
    } cases[] = {{0, false}, {1200, false}, {2300, false}, {4000, false}, {600, true}, {4000, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.DelayMs << " ms" << (c.UnreadableFile ? ", error box" : ""));
        QTemporaryDir home;
        QDir(home.path()).mkpath("config");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert("TMPDIR", home.path());
        QStringList arguments;
        if (c.UnreadableFile) {
            QDir(home.path()).mkpath("folder.gif");
            arguments << home.filePath("folder.gif");
        }
        QProcess editor;
        editor.setProcessEnvironment(environment);
        editor.setProcessChannelMode(QProcess::MergedChannels);
        editor.start(LOOPWRIGHT_EDITOR, arguments);
        ASSERT_TRUE(editor.waitForStarted());
        for (int waited = 0; !CatchesSigterm(editor.processId()) && waited < 10000; waited += 5)
            QThread::msleep(5);
        QThread::msleep(c.DelayMs);
        editor.terminate();
        ASSERT_TRUE(editor.waitForFinished(5000)) << "still running 5 s after SIGTERM";
        EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit) << editor.readAll().toStdString();
        EXPECT_EQ(editor.exitCode(), 0);
        QSettings written(home.filePath("config/Quillmark Software/GIF Loopwright 3.0.ini"),
                          QSettings::IniFormat);
        EXPECT_FALSE(written.value("Settings/InstallDir").toString().isEmpty());
        EXPECT_EQ(written.value("FormPos/Inspector/Visible").toInt(), 1);
    }
}
