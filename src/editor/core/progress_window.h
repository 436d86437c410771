// The small progress window of long file operations, as the commands see it: a file label,
// a second label, a progress bar and Cancel. The dialogs implement it (TfrmProgress); tests
// implement it with a fake that presses Cancel when told to.
#pragma once

#include <QString>

namespace editor {

class IProgressWindow {
  public:
    virtual ~IProgressWindow() = default;
    // The centred label at the top (lblFileName).
    virtual void SetFileLabel(const QString& text) = 0;
    // The second label (lblProgress), hidden until it is given a text.
    virtual void SetProgressLabel(const QString& text) = 0;
    // The progress bar (prgBar): its range, position and a step of one.
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    virtual void StepIt() = 0;
    virtual void SetCancelVisible(bool visible) = 0;
    virtual void Show() = 0;
    // Runs the pending window events, so that the window repaints and Cancel can be pressed.
    virtual void ProcessEvents() = 0;
    // Cancel was pressed.
    virtual bool Cancelled() const = 0;
};

} // namespace editor
