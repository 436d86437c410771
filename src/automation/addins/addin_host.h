// Plugs the add-ins into the main window: loads them from the deferred start-up event,
// opens the plug-in information window from "&Plugin Info...", and refreshes the
// document-dependent menu items when a document window opens or becomes active and when
// the main window's refresh timer fires.
#pragma once

#include "automation/addins/addin_manager.h"

#include <QObject>

namespace automation {

inline constexpr const char* NoApplicationObject =
    "GIFLoopwrightApplication automation object could not be created!";

class TAddInHost final : public QObject {
    Q_OBJECT
  public:
    // `application` null: the Application object could not be created; the start-up
    // event then says so and loads nothing.
    TAddInHost(editor::TfrmMain& window, std::shared_ptr<TGIFApplication> application,
               QStringList folders, TProgressFactory createProgress);
    // Loads now (what the start-up event does).
    void Load();
    void ShowExplorer();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    editor::TfrmMain& window_;
    std::shared_ptr<TGIFApplication> application_;
    QStringList folders_;
    TProgressFactory createProgress_;
    bool loaded_ = false;
};

} // namespace automation
