// loopwright: the editor. Shows the splash picture, builds the main window (which reads
// the settings and opens the file named on the command line), keeps the splash up for
// its minimum time, then runs the window until it closes.
#include "editor/core/settings.h"
#include "editor/document/workspace.h"
#include "editor/ui/qt_prompter.h"
#include "editor/window/action_icons.h"
#include "editor/window/application.h"
#include "editor/window/main_window.h"
#include "editor/window/program_files.h"
#include "editor/window/recovery_start.h"
#include "editor/window/signal_quit.h"
#include "editor/window/splash.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#ifdef LOOPWRIGHT_WITH_DIALOGS
#include "dialogs/progress/progress_window.h"
#include "dialogs/exporter/qt_image_exporter.h"
#include "dialogs/prompts/qt_prompts.h"
#include "browser_link.h"
#include "inspector_link.h"
#include "wizards_link.h"
#endif
#ifdef LOOPWRIGHT_WITH_AUTOMATION
#include "automation/dbus/server.h"
#include "automation/dbus/start_mode.h"
#include "automation/addins/addin_host.h"
#endif

namespace {

// A desktop to show windows on: X11, Wayland, or a platform chosen explicitly.
bool HaveDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

#ifdef LOOPWRIGHT_WITH_AUTOMATION
bool IsStartSwitch(const QString& argument) { return automation::bus::IsStartSwitch(argument); }
#else
bool IsStartSwitch(const QString&) { return false; }
#endif

} // namespace

int main(int argc, char** argv) {
    // First of all: a request to end that comes while the program starts is kept.
    editor::InstallTerminationHandlers();
    bool startedByClient = false;
#ifdef LOOPWRIGHT_WITH_AUTOMATION
    // The automation start modes; registering needs no window and no display.
    QStringList switches;
    for (int i = 1; i < argc; ++i) switches << QString::fromLocal8Bit(argv[i]);
    const auto mode = automation::bus::StartModeOf(switches);
    if (mode == automation::bus::TStartMode::RegServer || mode == automation::bus::TStartMode::UnregServer)
        return automation::bus::RunRegistration(mode, argc, argv);
    startedByClient = mode == automation::bus::TStartMode::Automation;
#endif
    if (!HaveDisplay()) {
        std::fprintf(stderr, "loopwright: no display; start the editor on a desktop or under "
                             "Xvfb (xvfb-run ./run [FILE]); the batch tool needs none: "
                             "./run cli --help\n");
        return 2;
    }
    editor::TApplication app(argc, argv);
    editor::QuitOnTerminationSignals(app);
    app.setWindowIcon(editor::ProgramIcon());

    editor::TQtPrompter startPrompter;
    QPixmap picture;
    if (editor::LoadResourceLibrary(startPrompter))
        picture.loadFromData(editor::ResourceBytes("SPLASH"));
    // A client that started the editor is not kept waiting for the splash picture.
    editor::TSplashScreen splash(picture);
    if (!startedByClient) {
        splash.show();
        splash.repaint();
        app.processEvents();
    }

    editor::Settings settings;
    editor::TfrmMain window(settings);
#ifdef LOOPWRIGHT_WITH_DIALOGS
    // The questions of the editing commands, asked with the dialogs, and the inspector.
    dialogs::TQtFramePrompts framePrompts(settings, window.Prompter(), &window);
    window.Workspace().SetFramePrompts(&framePrompts);
    dialogs::TQtAnimationPrompts animationPrompts(settings, window.Prompter(), &window);
    animationPrompts.Image = &window.Workspace().WorkingImage();
    window.SetAnimationPrompts(&animationPrompts);
    TInspectorLink inspector(window, settings);
    // A window of its own, centred on the screen: the main window is disabled meanwhile.
    window.SetProgressWindowFactory([] { return std::make_unique<dialogs::TfrmProgress>(); });
    TWizardsLink wizards(window, settings);
    dialogs::TQtImageExporter imageExporter(window.Prompter(), &window);
    window.SetImageExporter(&imageExporter);
    // The thumbnail browser, the options window and the open dialog with preview.
    TBrowserLink browser(window, settings);
#endif
#ifdef LOOPWRIGHT_WITH_AUTOMATION
    automation::bus::TAutomationServer automationServer(window, startedByClient);
    // The add-ins load from the deferred start-up event, with the Application object.
    automation::TAddInHost addIns(window, automationServer.ApplicationRef(), automation::AddInFolders(),
#ifdef LOOPWRIGHT_WITH_DIALOGS
                                  [] { return std::make_unique<dialogs::TfrmProgress>(); }
#else
                                  nullptr
#endif
    );
#endif
    // Only the first argument is used; a start-mode switch is no file.
    const QStringList arguments = app.arguments();
    if (arguments.size() > 1 && !arguments[1].isEmpty() && !IsStartSwitch(arguments[1]))
        window.Workspace().OpenFileByType(arguments[1]);

    // The splash stays until its timer allows it to close, unless a message box has taken
    // its place or the session is ending the program.
    while (!startedByClient && splash.isVisible() && !splash.CanClose() && !editor::TerminationRequested()) {
        QEventLoop wait;
        QTimer::singleShot(50, &wait, &QEventLoop::quit);
        wait.exec();
    }
    splash.hide();
    int status = 0;
    // Ended while starting: the main loop never runs; the windows go (and the settings are
    // written) as after it.
    if (!editor::TerminationRequested()) {
        if (window.StartMaximized())
            window.showMaximized();
        else
            window.show();
        editor::OfferRecoveryWhenRunning(window);
        status = app.exec();
    }
    // Ended by a signal, nobody was asked to save: the edits wait for the next start.
    if (editor::TerminationRequested()) window.Workspace().KeepUnsavedForRecovery();
#ifdef LOOPWRIGHT_WITH_DIALOGS
    window.SetImageExporter(nullptr);
    window.SetAnimationPrompts(nullptr);
    window.Workspace().SetFramePrompts(nullptr);
#endif
    return status;
}
