// The server's life: registering and unregistering the activation file without a window,
// activation by the bus, quitting after the last client, the question on closing under
// clients, and the example script.
#include "automation/dbus/server.h"
#include "automation/dbus/start_mode.h"
#include "bus_client.h"
#include "editor/core/settings.h"
#include "editor/support/editor_test_util.h"
#include "editor/support/scripted_prompter.h"
#include "editor/core/temp_files.h"
#include "editor/window/main_window.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

namespace bustest {
namespace {

// Runs the editor with `arguments` and no display at all; returns its exit status.
int RunWithoutDisplay(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(LOOPWRIGHT_EDITOR, arguments);
    if (!process.waitForFinished(20000)) return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(ServerLifetime, RegServerAndUnregServerWriteAndRemoveTheActivationFileWithoutAWindow) {
    const QString file = bus::ActivationFilePath();
    QFile::remove(file);
    // Without a display the editor itself would refuse to start: these need none.
    EXPECT_EQ(RunWithoutDisplay({"/RegServer"}), 0);
    const QString text = ReadFile(file);
    EXPECT_TRUE(text.contains("Name=com.quillmark.Loopwright3\n")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString("Exec=%1 -AUTOMATION\n").arg(QFileInfo(LOOPWRIGHT_EDITOR).absoluteFilePath())))
        << text.toStdString();
    EXPECT_EQ(RunWithoutDisplay({"-unregserver"}), 0);
    EXPECT_FALSE(QFile::exists(file));
    // Removing what is not there is no failure.
    EXPECT_EQ(RunWithoutDisplay({"-UNREGSERVER"}), 0);
    EXPECT_EQ(bus::ActivationFileText("/opt/my apps/loopwright"),
              "[D-BUS Service]\nName=com.quillmark.Loopwright3\nExec=\"/opt/my apps/loopwright\" -AUTOMATION\n");
}

TEST(ServerLifetime, StartSwitchesTakeSlashOrDashInAnyCase) {
    using bus::TStartMode;
    EXPECT_EQ(bus::StartModeOf({"/AUTOMATION"}), TStartMode::Automation);
    EXPECT_EQ(bus::StartModeOf({"-embedding"}), TStartMode::Automation);
    EXPECT_EQ(bus::StartModeOf({"/RegServer"}), TStartMode::RegServer);
    EXPECT_EQ(bus::StartModeOf({"-UnRegServer"}), TStartMode::UnregServer);
    EXPECT_EQ(bus::StartModeOf({"AUTOMATION"}), TStartMode::Normal);
    EXPECT_EQ(bus::StartModeOf({"/tmp/AUTOMATION"}), TStartMode::Normal);
    EXPECT_EQ(bus::StartModeOf({"-"}), TStartMode::Normal);
    EXPECT_FALSE(bus::IsStartSwitch("/home/user/cat.gif"));
}

TEST(ServerLifetime, AnActivatedServerQuitsAfterItsLastClientHasGone) {
    ASSERT_EQ(RunWithoutDisplay({"-REGSERVER"}), 0);
    QDBusConnection::sessionBus().interface()->call("ReloadConfig");
    ASSERT_FALSE(NameHasOwner(QDBusConnection::sessionBus(), bus::ServiceName));
    {
        QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "activating-client");
        TObject app(bus::ApplicationPath, bus::ApplicationInterface, client);
        // The call starts the editor through the activation file and is answered by it.
        EXPECT_EQ(app.Value<QString>("ExtractFileName", QString("/a/b.gif")), "b.gif");
        EXPECT_TRUE(NameHasOwner(client, bus::ServiceName));
        QDBusConnection::disconnectFromBus("activating-client");
    }
    EXPECT_TRUE(WaitFor([] { return !NameHasOwner(QDBusConnection::sessionBus(), bus::ServiceName); }, 15000))
        << "the activated editor kept running after its last client left";
    RunWithoutDisplay({"-UNREGSERVER"});
}

TEST(ServerLifetime, ClosingUnderClientsAsksTheComServerWarningWithNoPreselected) {
    QTemporaryDir dir;
    editor::Settings settings(dir.filePath("settings.ini"));
    editortest::TScriptedPrompter prompter;
    editor::TfrmMain window(settings, &prompter);
    window.show();
    bus::TAutomationServer server(window, false, QDBusConnection::sessionBus());
    ASSERT_TRUE(server.Registered());

    // Without clients the editor closes without this question.
    window.close();
    EXPECT_TRUE(prompter.Asked.empty());
    window.show();

    QString clientName;
    {
        const QDBusConnection client =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "holding-client");
        clientName = client.baseService();
    }
    server.Track(clientName);
    EXPECT_EQ(server.ClientCount(), 1);
    prompter.Then(editor::mrNo);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(prompter.Asked.size(), 1u);
    const editor::TQuestion& question = prompter.Asked.front();
    EXPECT_EQ(question.Caption, "COM Server Warning");
    EXPECT_EQ(question.Text,
              "There are still active COM objects in this application.  One or more clients may "
              "have references to these objects, so manually closing this application may cause "
              "those client application(s) to fail.\r\n\r\nAre you sure you want to close this "
              "application?");
    EXPECT_EQ(question.Kind, editor::TMessageKind::Warning);
    EXPECT_EQ(question.Buttons, editor::TButtons::YesNo);
    EXPECT_EQ(question.DefaultButton, 1);
    prompter.Then(editor::mrYes);
    EXPECT_TRUE(window.close());

    // The client leaving the bus is seen.
    QDBusConnection::disconnectFromBus("holding-client");
    EXPECT_TRUE(WaitFor([&] { return server.ClientCount() == 0; }));
}

TEST(ServerLifetime, TheExampleScriptSetsEveryDelayAndSaves) {
    const QString python = "/usr/bin/python3";
    if (!QFile::exists(python)) GTEST_SKIP() << "no /usr/bin/python3";
    TServerProcess server;
    ASSERT_TRUE(WaitFor([] { return NameHasOwner(QDBusConnection::sessionBus(), bus::ServiceName); }));
    QTemporaryDir dir;
    const QString path = dir.filePath("walk.gif");
    editortest::MakeAnimation(4, 16, 16)->SaveToFile(editor::NativePath(path));

    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(python, {QString(LOOPWRIGHT_EXAMPLES) + "/set_delays.py", path, "35"});
    ASSERT_TRUE(script.waitForFinished(60000));
    EXPECT_EQ(script.exitCode(), 0) << script.readAll().toStdString();

    gif::TGIFImage saved;
    saved.LoadFromFile(editor::NativePath(path));
    ASSERT_EQ(saved.FrameCount(), 4);
    for (int i = 0; i < saved.FrameCount(); ++i) {
        ASSERT_NE(saved.Frame(i)->ControlBlock(), nullptr);
        EXPECT_EQ(saved.Frame(i)->ControlBlock()->DelayTime(), 35);
    }
    // Nonsense arguments end the script with a message, not a traceback.
    QProcess bad;
    bad.setProcessChannelMode(QProcess::MergedChannels);
    bad.start(python, {QString(LOOPWRIGHT_EXAMPLES) + "/set_delays.py", dir.filePath("missing.gif"), "35"});
    ASSERT_TRUE(bad.waitForFinished(60000));
    EXPECT_NE(bad.exitCode(), 0);
    EXPECT_FALSE(bad.readAll().contains("Traceback"));
}

} // namespace
} // namespace bustest
