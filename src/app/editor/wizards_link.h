// The wizards window joined to the main window: File > New, Animation > Optimize, the
// welcome window (at start-up and from the Help menu) and the tip of the day.
#pragma once

#include "editor/window/wizards_host.h"

#include <QString>

namespace editor {
class Settings;
class TfrmMain;
} // namespace editor

namespace dialogs {
struct TWizardEnvironment;
}

class TWizardsLink final : public editor::IWizards {
  public:
    TWizardsLink(editor::TfrmMain& window, editor::Settings& settings);
    ~TWizardsLink() override;
    TWizardsLink(const TWizardsLink&) = delete;
    TWizardsLink& operator=(const TWizardsLink&) = delete;

    void AnimationWizard() override;
    void OptimizationWizard() override;
    void WelcomeWindow() override;
    void TipOfTheDay() override;

  private:
    dialogs::TWizardEnvironment Environment() const;

    editor::TfrmMain& window_;
    editor::Settings& settings_;
    QString pictureFolder_; // Add Image's folder, kept between uses
};
