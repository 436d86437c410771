// A main window on the offscreen platform with scripted answers and settings of its own.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/support/editor_test_util.h"
#include "editor/support/scripted_prompter.h"
#include "editor/undo/command.h"
#include "editor/window/main_window.h"
#include "gif/model/graphic_control.h"

namespace editortest {

// Runs the event loop until `done` holds or `ms` have passed; returns `done`.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        settings->SetValue(editor::keys::Compatibility, editor::mrNo);
        settings->SetValue(editor::keys::DisplayAnimation, 0);
    }
    void SetUp() override { Create(); }

    void Create() {
        window = std::make_unique<editor::TfrmMain>(*settings, &prompter);
        window->resize(1100, 700);
        window->show();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
    }

    QString WriteGif(const QString& name, int frames, int width = 40, int height = 30) {
        const QString path = dir.filePath(name);
        MakeAnimation(frames, width, height)->SaveToFile(editor::NativePath(path));
        return path;
    }

    editor::TWorkspace& Workspace() { return window->Workspace(); }
    editor::TDocument& Active() { return *Workspace().ActiveDocument(); }
    void EditDelay(int frame, int delay) {
        Active().PushCommand(editor::ckGraphicControl, 3, -1, -1, frame, "Change Delay");
        Workspace().WorkingImage().Frame(frame)->ControlBlock()->SetDelayTime(uint16_t(delay));
        Active().SetModified(true);
    }
    QAction* Action(editor::TActionId id) { return window->Action(id); }

    QTemporaryDir dir;
    std::unique_ptr<editor::Settings> settings =
        std::make_unique<editor::Settings>(dir.filePath("settings.ini"));
    TScriptedPrompter prompter;
    std::unique_ptr<editor::TfrmMain> window;
};

} // namespace editortest
