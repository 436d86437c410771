// The controls of the wizards window, built by BuildWizardPanels (wizard_panels.cpp) and
// driven by TfrmWizards. Names are the controls' object names.
#pragma once

#include <QString>
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QWidget;

namespace editor {
class TPlayer;
}

namespace dialogs {

class TNumberField;

struct TWizardControls {
    QStackedWidget* Pages = nullptr; // one entry per wizard page, then welcome and recent
    std::array<QWidget*, 9> WizardPanels{};
    QWidget* pnlWelcome = nullptr;
    QWidget* pnlRecent = nullptr;
    QWidget* pnlTips = nullptr;

    // Welcome and recent files.
    QPushButton* btnNew = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnRecent = nullptr;
    QListWidget* lbRecent = nullptr;
    QLabel* imgRecent = nullptr;
    QCheckBox* chkShowAtStartup = nullptr;
    // Tips.
    QLabel* lblTip = nullptr;
    QPushButton* btnNextTip = nullptr;

    // Page 0.
    QRadioButton* optSizeFirst = nullptr;
    QRadioButton* optSizeCustom = nullptr;
    TNumberField* udHeight = nullptr;
    TNumberField* udWidth = nullptr;
    // Page 1.
    QRadioButton* optTopLeft = nullptr;
    QRadioButton* optCenter = nullptr;
    QCheckBox* chkScale = nullptr;
    // Page 2.
    QRadioButton* optLoopInfinite = nullptr;
    QRadioButton* optLoopPlay = nullptr;
    TNumberField* udLoop = nullptr;
    TNumberField* udDelay = nullptr;
    // Page 3.
    QListWidget* lbImages = nullptr;
    QPushButton* btnAddImage = nullptr;
    QPushButton* btnRemoveImage = nullptr;
    QPushButton* btnMoveUp = nullptr;
    QPushButton* btnMoveDown = nullptr;
    // Page 5.
    QRadioButton* optCurAni = nullptr;
    QRadioButton* optNewToAni = nullptr;
    // Page 6.
    QCheckBox* chkOptAll = nullptr;
    QCheckBox* chkRemoveLocal = nullptr;
    QCheckBox* chkPaletteSort = nullptr;
    // Page 7.
    QCheckBox* chkTrim = nullptr;
    QCheckBox* chkDupPixels = nullptr;
    QCheckBox* chkNonVisible = nullptr;
    QCheckBox* chkSmallest = nullptr;
    // The live estimate under the check boxes of pages 6 and 7 (one of each per page).
    std::array<QLabel*, 2> lblEstimate{};
    std::array<QProgressBar*, 2> prgEstimate{};
    // Page 8.
    QLabel* lblCurrentSize = nullptr;
    QLabel* lblOptimizedSize = nullptr;
    QLabel* lblSavings = nullptr;
    QLabel* lblDownload = nullptr;
    QComboBox* cbBps = nullptr;
    editor::TPlayer* imgPreview = nullptr;
};

// Builds every panel into `controls.Pages` (owned by `parent`).
void BuildWizardPanels(TWizardControls& controls, QWidget* parent, editor::TPlayer* preview);

} // namespace dialogs
