// The object model over an offscreen main window with scripted answers and dialogs.
#pragma once

#include "automation/model/application.h"
#include "automation/model/pictures.h"
#include "editor/window/main_window_fixture.h"
#include "gif/graphics/bitmap.h"

#include <deque>

namespace automationtest {

class TScriptedDialogs final : public automation::IAutomationDialogs {
  public:
    QString InputBox(const QString& caption, const QString& prompt, const QString& def) override {
        Asked << caption + "|" + prompt + "|" + def;
        return Texts.empty() ? def : Take(Texts);
    }
    int MessageBox(const QString& text, const QString& caption, int type) override {
        Asked << caption + "|" + text + "|" + QString::number(type);
        return Buttons.empty() ? 1 : Take(Buttons);
    }
    std::deque<QString> Texts;
    std::deque<int> Buttons;
    QStringList Asked;

  private:
    template <class T> static T Take(std::deque<T>& queue) {
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

class AutomationTest : public editortest::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        context = std::make_shared<automation::TAutomationContext>(
            automation::TAutomationContext{*window, &dialogs, nullptr});
        app = std::make_shared<automation::TGIFApplication>(context);
    }

    // Opens a GIF of `frames` frames as a new document.
    QString Open(const QString& name, int frames, int width = 40, int height = 30) {
        const QString path = WriteGif(name, frames, width, height);
        EXPECT_TRUE(app->OpenFile(path).Value);
        return path;
    }
    std::shared_ptr<automation::IActiveDocument> Doc() { return app->ActiveDocument().Value; }
    std::shared_ptr<automation::IFrames> Frames() { return Doc()->Frames().Value; }
    std::vector<uint8_t> Bytes() { return editortest::GifBytes(Workspace().WorkingImage()); }

    // A bitmap file of a solid picture.
    static automation::TPicture Picture(int width, int height, gif::TColor colour) {
        gif::TBitmap bitmap(width, height, gif::pf24bit);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) bitmap.SetPixels(x, y, colour);
        return automation::PictureFromBitmap(bitmap);
    }

    TScriptedDialogs dialogs;
    automation::TContextRef context;
    std::shared_ptr<automation::TGIFApplication> app;
};

} // namespace automationtest
