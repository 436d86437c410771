// Plugs the thumbnail browser, the options window and the open dialog with preview into the
// main window: the browser docked below the documents with its toggles, the Thumbs actions,
// "Program Options...", "About GIF Loopwright..." and the start-up loading of thumbnails.
#pragma once

#include <QObject>
#include <memory>

class QAction;
class QDockWidget;

namespace editor {
class Settings;
class TfrmMain;
} // namespace editor

namespace dialogs {
class TThumbsPanel;
}

class TBrowserLink : public QObject {
  public:
    TBrowserLink(editor::TfrmMain& window, editor::Settings& settings);
    ~TBrowserLink() override;

    dialogs::TThumbsPanel& Panel() { return *panel_; }
    void SetBrowserVisible(bool visible);
    bool BrowserVisible() const;
    void ShowOptions();
    void ShowAbout();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    editor::TfrmMain& window_;
    editor::Settings& settings_;
    QDockWidget* dock_ = nullptr;
    dialogs::TThumbsPanel* panel_ = nullptr;
    QAction* mniThumbnailWindow_ = nullptr;
    QAction* btnThumbs_ = nullptr;
};
