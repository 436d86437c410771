// TfrmProgress: a small window without title bar, centred on the screen, that shows the
// progress of a long operation: a file label, a progress bar, an optional second label and
// Cancel. Callers create it for one operation, disable the main window while it shows and
// free it afterwards. The AVI export uses it; the add-in scan at start-up hides Cancel.
#pragma once

#include "editor/core/progress_window.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace dialogs {

class TfrmProgress : public QDialog, public editor::IProgressWindow {
    Q_OBJECT
  public:
    explicit TfrmProgress(QWidget* parent = nullptr);

    // IProgressWindow
    void SetFileLabel(const QString& text) override;
    void SetProgressLabel(const QString& text) override;
    void SetRange(int minimum, int maximum) override;
    void SetPosition(int position) override;
    void StepIt() override;
    void SetCancelVisible(bool visible) override;
    void Show() override;
    void ProcessEvents() override;
    bool Cancelled() const override { return cancelled_; }

    QLabel* lblFileName = nullptr;
    QProgressBar* prgBar = nullptr;
    QLabel* lblProgress = nullptr;
    QPushButton* btnCancel = nullptr;

  public slots:
    // Cancel (the button, or Escape): the window's result becomes Cancel.
    void btnCancelClick();

  protected:
    void reject() override;

  private:
    bool cancelled_ = false;
};

} // namespace dialogs
