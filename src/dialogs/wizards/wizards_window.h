// TfrmWizards: the wizards window in its four modes: the welcome window with the tips, the
// animation wizard (File > New), the optimisation wizard (Animation > Optimize) and the tip
// of the day. Created for one use, shown modally and freed. The wizards do their work
// themselves (through the workspace) and close with OK; the welcome window hands its choice
// back to the caller.
#pragma once

#include "dialogs/wizards/wizard_controls.h"
#include "editor/wizards/animation_builder.h"
#include "editor/wizards/optimization_results.h"
#include "editor/wizards/tips.h"
#include "editor/wizards/wizard_pages.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class QTimer;

namespace editor {
class IPrompter;
class Settings;
class TWorkspace;
} // namespace editor

namespace dialogs {

class TWizardHeading;

// What the window needs of the program around it.
struct TWizardEnvironment {
    editor::TWorkspace* Workspace = nullptr;
    editor::Settings* Config = nullptr;
    editor::IPrompter* Prompter = nullptr;
    // The captions of the recent-files menu ("&1 path") and whether that menu shows.
    QStringList RecentCaptions;
    bool RecentVisible = false;
    QString TipsFile;      // "Tips.txt" beside the program
    QString ProgramFolder; // named by the missing-tips message
    QString HelpPage;      // the help page the contexts 301 and 302 are sections of
    QString PictureFolder; // where Add Image starts
    // Hides the start-up animation (each welcome button does first).
    std::function<void()> HideStartupAnimation;
};

// The welcome window's choice.
enum TWelcomeChoice { wcNew = 0, wcOpen = 1, wcRecent = 2 };

class TfrmWizards : public QDialog {
    Q_OBJECT
  public:
    TfrmWizards(editor::TWizardMode mode, TWizardEnvironment environment,
                QWidget* parent = nullptr);
    ~TfrmWizards() override;

    // Mode 0, after closing with OK: the choice, and for wcRecent the file chosen.
    int WelcomeChoice() const { return welcomeChoice_; }
    QString RecentPath() const;
    // The folder Add Image last chose from.
    QString PictureFolder() const { return environment_.PictureFolder; }

    // The state and controls, for the wiring and the tests.
    const editor::TWizardPages& Pages() const { return pages_; }
    const editor::TImageList& Images() const { return images_; }
    const editor::TTips& Tips() const { return tips_; }
    TWizardControls& Controls() { return c_; }
    QPushButton* BackButton() const { return btnBack_; }
    QPushButton* NextButton() const { return btnNext_; }
    QPushButton* CancelButton() const { return btnCancel_; }
    QPushButton* HelpButton() const { return btnHelp_; }
    QPushButton* OkButton() const { return btnOK_; }
    editor::TOptimizationSession* Session() const { return session_.get(); }
    QString HeadingTitle() const;

    editor::TAnimationChoices AnimationChoices() const;
    editor::TOptimizationChoices OptimizationChoices() const;
    // Appends pictures to the image list as Add Image does with the files chosen.
    void AddImages(const QStringList& paths);

    // The buttons' handlers.
    void btnBackClick();
    void btnNextClick();
    void btnHelpClick();
    void btnNewClick();
    void btnOpenClick();
    void btnRecentClick();
    void btnNextTipClick();
    void btnAddImageClick();

  protected:
    void done(int result) override;

  private:
    void BuildLayout();
    void Connect();
    void ShowMode();
    void ShowPage();
    void UpdateButtons();
    void UpdateImageButtons();
    void ShowRecentPreview();
    void ChoicesChanged();
    void ShowEstimate();
    void ShowResults();
    void ShowDownloadTime();
    bool BuildAnimation();
    bool FinishOptimization();

    TWizardEnvironment environment_;
    editor::TWizardPages pages_;
    editor::TImageList images_;
    editor::TTips tips_;
    std::unique_ptr<editor::TOptimizationSession> session_;
    TWizardControls c_;
    TWizardHeading* heading_ = nullptr;
    QLabel* picture_ = nullptr;
    QPushButton* btnBack_ = nullptr;
    QPushButton* btnNext_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    QPushButton* btnHelp_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QTimer* estimateTimer_ = nullptr;
    bool openedAsWelcome_ = false;
    int welcomeChoice_ = wcNew;
};

} // namespace dialogs
