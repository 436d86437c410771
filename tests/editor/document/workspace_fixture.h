// A workspace over a fake main window, a recording frame list and a scripted prompter,
// with settings and files in a folder of the test's own.
#pragma once

#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/support/editor_test_util.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/fake_workspace_host.h"
#include "editor/support/scripted_prompter.h"
#include "editor/undo/command.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace editortest {

class WorkspaceTest : public ::testing::Test {
  protected:
    WorkspaceTest() {
        host.Workspace = &workspace;
        // The compatibility question is answered once for all saves.
        settings.SetValue(editor::keys::Compatibility, editor::mrNo);
    }

    // Writes an animation of `frames` frames (MakeAnimation) and returns its path.
    QString WriteGif(const QString& name, int frames, int width = 4, int height = 3) {
        const QString path = dir.filePath(name);
        auto image = MakeAnimation(frames, width, height);
        image->SaveToFile(editor::NativePath(path));
        return path;
    }
    QString WriteBmp(const QString& name, int width = 5, int height = 4) {
        const QString path = dir.filePath(name);
        gif::TBitmap bitmap(width, height, gif::pf24bit);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.SetPixels(x, y, gif::RGB(x * 40, y * 60, 90));
        bitmap.SaveToFile(editor::NativePath(path));
        return path;
    }
    static QByteArray Bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static std::unique_ptr<gif::TGIFImage> Load(const QString& path) {
        auto image = std::make_unique<gif::TGIFImage>();
        image->LoadFromFile(editor::NativePath(path));
        return image;
    }
    static int Delay(const gif::TGIFImage& image, int frame) {
        return image.Frame(frame)->ControlBlock()->DelayTime();
    }

    editor::TDocument& Active() { return *workspace.ActiveDocument(); }
    editor::TDocument& Doc(int index) { return *workspace.Documents()[size_t(index)]; }

    // An edit the way the editing commands make it: recorded, made, marked.
    void EditDelay(int frame, int delay) {
        Active().PushCommand(editor::ckGraphicControl, 3, -1, -1, frame, "Change Delay");
        workspace.WorkingImage().Frame(frame)->ControlBlock()->SetDelayTime(uint16_t(delay));
        Active().SetModified(true);
    }
    void SwitchTo(editor::TDocument& document) {
        host.BringToFront(document);
        host.Pump();
    }

    QTemporaryDir dir;
    editor::Settings settings{dir.filePath("settings.ini")};
    TScriptedPrompter prompter;
    TFakeFrameList frames;
    TFakeWorkspaceHost host;
    editor::TWorkspace workspace{prompter, settings, frames, host};
};

} // namespace editortest
