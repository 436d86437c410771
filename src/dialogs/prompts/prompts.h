// TfrmPrompts: one modal dialog for eight questions, one page per use. The dialog changes
// nothing in the animation; the command that asked reads the result and does the work.
// The frame-size and palette pages read their defaults from the settings and write them
// back only when the dialog closes with OK.
#pragma once

#include <QDialog>
#include <functional>

#include "dialogs/prompts/prompt_results.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTabWidget;

namespace editor {
class IPrompter;
class Settings;
} // namespace editor

namespace dialogs {

class TNumberField;

class TfrmPrompts : public QDialog {
    Q_OBJECT
public:
    TfrmPrompts(TPromptKind kind, editor::Settings& settings, editor::IPrompter& prompter,
                QWidget* parent = nullptr);
    ~TfrmPrompts() override;

    TPromptKind Kind() const { return kind_; }

    // Insert Image.
    void SetSelectedFrameIndex(int index);   // Before is disabled for frame 0; After is chosen
    TInsertChoice InsertChoice() const;
    // Frame Size Difference: trim the picture (true) or enlarge the animation.
    bool TrimChosen() const;
    // Resize Animation.
    void SetCurrentSize(int height, int width);
    int NewHeight() const;
    int NewWidth() const;
    // Animation Information.
    void SetAnimationFacts(int frameCount, qint64 encodedBytes, unsigned totalDelay, int playCount);
    TLoopChoice LoopChoice() const;
    // Image Properties: filled by the caller, nothing read back.
    void SetPictureInfo(const QString& fileName, const QString& fileSize,
                        const QString& dimensions, const QImage& picture);
    // HTML Tag.
    void SetHtmlSource(const QString& fileName, int height, int width);
    QString HtmlCode() const;
    // Global Change: offsets limited to the animation, captions from the selected frame.
    void SetOffsetLimits(int maxX, int maxY);
    void SetFrameProperties(bool transparent, bool interlaced, bool hasLocalPalette);
    // "&Select": picks a transparent colour, starting from the last pick; false on Cancel.
    std::function<bool(int& index, gif::TColor& colour)> PickTransparentColor;
    TGlobalChange GlobalChange() const;

    // The controls, by their names, for the callers that preset them and for tests.
    QTabWidget* tabPrompt = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QRadioButton *optStart = nullptr, *optBefore = nullptr, *optAfter = nullptr;
    QRadioButton *optClip = nullptr, *optChange = nullptr;
    QCheckBox* chkDefault = nullptr;
    QRadioButton *optPalOptimzed = nullptr, *optPalNetcape = nullptr, *optPalLocal = nullptr,
                 *optPalQuality = nullptr;
    QRadioButton *optNearest = nullptr, *optFloyd = nullptr;
    QComboBox *cbMaxColors = nullptr, *cbMaxDither = nullptr;
    QCheckBox* chkDefaultPal = nullptr;
    QLineEdit *txtCurrH = nullptr, *txtCurrW = nullptr;
    TNumberField *udHeight = nullptr, *udWidth = nullptr, *txtHPercent = nullptr, *txtWPercent = nullptr;
    QCheckBox* chkConstrain = nullptr;
    QLabel *lblFrameCount = nullptr, *lblCurrentSize = nullptr, *lblRunningTime = nullptr;
    QLineEdit* txtCurrLoop = nullptr;
    QRadioButton *optLoopInfinite = nullptr, *optLoopPlay = nullptr;
    TNumberField* udLoop = nullptr;
    QLabel *lblFileName = nullptr, *lblFileSize = nullptr, *lblDimensions = nullptr, *imgXprops = nullptr;
    QScrollArea* sbxImageProps = nullptr;
    QLineEdit *txtFileName = nullptr, *txtLink = nullptr, *txtHint = nullptr;
    TNumberField* udBorder = nullptr;
    QPlainTextEdit* txtHTML = nullptr;
    QPushButton* btnCopy = nullptr;
    TNumberField *udX = nullptr, *udY = nullptr, *udDelay = nullptr;
    QCheckBox *chkInterlaced = nullptr, *chkTransparent = nullptr, *chkLocalPal = nullptr;
    QPushButton *btnTransparent = nullptr, *btnReset = nullptr;
    QComboBox* cbDisposal = nullptr;

    void done(int result) override;

private:
    QWidget* BuildInsertPage();
    QWidget* BuildFrameSizePage();
    QWidget* BuildPalettesPage();
    QWidget* BuildResizePage();
    QWidget* BuildLoopPage();
    QWidget* BuildPropertiesPage();
    QWidget* BuildHtmlPage();
    QWidget* BuildGlobalPage();

    void LoadFrameSizeSettings();
    void SaveFrameSizeSettings();
    void LoadPaletteSettings();
    void SavePaletteSettings();

    void HeightTyped();
    void WidthTyped();
    void HeightPercentTyped();
    void WidthPercentTyped();
    void ConstrainClicked();
    void RebuildHtml();
    void CopyHtml();
    void ResetGlobal();
    void TransparentClicked(bool checked);
    void SelectTransparentColor();
    void UpdateAnyFieldSet();

    TPromptKind kind_;
    editor::Settings& settings_;
    editor::IPrompter& prompter_;
    int currentHeight_ = 0, currentWidth_ = 0;
    int resizePercent_ = 100;
    bool updating_ = false;   // the reentry guard of the resize linkage
    int currentPlayCount_ = 1;
    int htmlHeight_ = 0, htmlWidth_ = 0;
    TGlobalChange global_;
};

} // namespace dialogs
