// The wizards window as the main window reaches it: File > New, Animation > Optimize, the
// Help menu's welcome window and tip of the day, and the welcome window at start-up. The
// program gives it once the dialogs exist (SetWizards); until then those commands keep
// their stand-ins.
#pragma once

namespace editor {

class IWizards {
  public:
    virtual ~IWizards() = default;
    // Mode 1: builds a new animation from pictures.
    virtual void AnimationWizard() = 0;
    // Mode 2: optimises the active animation.
    virtual void OptimizationWizard() = 0;
    // Mode 0, then what the user chose there (open, reopen a recent file).
    virtual void WelcomeWindow() = 0;
    // Mode 3.
    virtual void TipOfTheDay() = 0;
};

} // namespace editor
