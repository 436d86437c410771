// What the pages of the prompts dialog do while the user works in them: the linked resize
// fields, the loop choice, the HTML tag, the palette settings and the global change.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "dialogs/common/number_field.h"
#include "dialogs/prompts/prompt_logic.h"
#include "dialogs/prompts/prompts.h"
#include "editor/core/prompter.h"
#include "editor/core/settings.h"

namespace dialogs {

namespace {

// Guards the resize fields against the updates their own writes would start.
class TReentryGuard {
public:
    explicit TReentryGuard(bool& flag) : flag_(flag), entered_(!flag) { flag_ = true; }
    ~TReentryGuard() {
        if (entered_) flag_ = false;
    }
    bool Entered() const { return entered_; }

private:
    bool& flag_;
    bool entered_;
};

void SelectCount(QComboBox* box, int count) {
    const int index = box->findText(QString::number(count));
    box->setCurrentIndex(index >= 0 ? index : 0);   // anything else: "256"
}

// An empty field counts as 1.
int FieldValue(TNumberField* field) {
    if (field->Text().isEmpty()) field->SetText("1");
    return field->Text().toInt();
}

} // namespace

// ---- Resize Animation

void TfrmPrompts::SetCurrentSize(int height, int width) {
    currentHeight_ = height;
    currentWidth_ = width;
    txtCurrH->setText(QString::number(height));
    txtCurrW->setText(QString::number(width));
    udHeight->SetValue(height);
    udWidth->SetValue(width);
}

int TfrmPrompts::NewHeight() const { return udHeight->Position(); }
int TfrmPrompts::NewWidth() const { return udWidth->Position(); }

void TfrmPrompts::HeightTyped() {
    TReentryGuard guard(updating_);
    if (!guard.Entered()) return;
    resizePercent_ = PercentOf(FieldValue(udHeight), currentHeight_);
    txtHPercent->SetValue(resizePercent_);
    if (chkConstrain->isChecked()) {
        txtWPercent->SetValue(resizePercent_);
        udWidth->SetValue(SizeFromPercent(currentWidth_, resizePercent_));
    }
}

void TfrmPrompts::WidthTyped() {
    TReentryGuard guard(updating_);
    if (!guard.Entered()) return;
    resizePercent_ = PercentOf(FieldValue(udWidth), currentWidth_);
    txtWPercent->SetValue(resizePercent_);
    if (chkConstrain->isChecked()) {
        txtHPercent->SetValue(resizePercent_);
        udHeight->SetValue(SizeFromPercent(currentHeight_, resizePercent_));
    }
}

void TfrmPrompts::HeightPercentTyped() {
    TReentryGuard guard(updating_);
    if (!guard.Entered()) return;
    resizePercent_ = FieldValue(txtHPercent);
    udHeight->SetValue(SizeFromPercent(currentHeight_, resizePercent_));
    if (chkConstrain->isChecked()) {
        txtWPercent->SetValue(resizePercent_);
        udWidth->SetValue(SizeFromPercent(currentWidth_, resizePercent_));
    }
}

void TfrmPrompts::WidthPercentTyped() {
    TReentryGuard guard(updating_);
    if (!guard.Entered()) return;
    resizePercent_ = FieldValue(txtWPercent);
    udWidth->SetValue(SizeFromPercent(currentWidth_, resizePercent_));
    if (chkConstrain->isChecked()) {
        txtHPercent->SetValue(resizePercent_);
        udHeight->SetValue(SizeFromPercent(currentHeight_, resizePercent_));
    }
}

void TfrmPrompts::ConstrainClicked() {
    if (!chkConstrain->isChecked()) return;
    if (udHeight->Position() != currentHeight_) HeightTyped();
    if (udWidth->Position() != currentWidth_) WidthTyped();
}

// ---- Animation Information

void TfrmPrompts::SetAnimationFacts(int frameCount, qint64 encodedBytes, unsigned totalDelay,
                                    int playCount) {
    currentPlayCount_ = playCount;
    lblFrameCount->setText(QString::number(frameCount));
    lblCurrentSize->setText(QString::number(encodedBytes) + " bytes");
    lblRunningTime->setText(RunningTimeText(totalDelay));
    txtCurrLoop->setText(QString::number(playCount));
    if (playCount != 0) {
        optLoopPlay->setChecked(true);
        udLoop->SetValue(playCount);
    }
}

TLoopChoice TfrmPrompts::LoopChoice() const {
    return {optLoopInfinite->isChecked(), udLoop->Position(), currentPlayCount_};
}

// ---- Image Properties

void TfrmPrompts::SetPictureInfo(const QString& fileName, const QString& fileSize,
                                 const QString& dimensions, const QImage& picture) {
    lblFileName->setText(fileName);
    lblFileSize->setText(fileSize);
    lblDimensions->setText(dimensions);
    imgXprops->setPixmap(QPixmap::fromImage(picture));
}

// ---- HTML Tag

void TfrmPrompts::SetHtmlSource(const QString& fileName, int height, int width) {
    txtFileName->setText(fileName);
    htmlHeight_ = height;
    htmlWidth_ = width;
    RebuildHtml();
}

QString TfrmPrompts::HtmlCode() const { return txtHTML->toPlainText(); }

void TfrmPrompts::RebuildHtml() {
    txtHTML->setPlainText(BuildHtmlTag(txtFileName->text(), htmlHeight_, htmlWidth_,
                                       txtLink->text(), txtHint->text(), udBorder->Text()));
}

void TfrmPrompts::CopyHtml() {
    const QString code = txtHTML->toPlainText();
    if (code.isEmpty()) return;
    QApplication::clipboard()->setText(code);
    prompter_.Message(editor::TMessageKind::Information, "HTML Code successfully copied to clipboard.");
}

// ---- Palettes

void TfrmPrompts::LoadPaletteSettings() {
    using namespace editor;
    chkDefaultPal->setChecked(settings_.Value(keys::PaletteDefaults) != 0);
    switch (settings_.Value(keys::PaletteType)) {
    case ptWeb: optPalNetcape->setChecked(true); break;
    case ptOptimizedKeepLocal: optPalLocal->setChecked(true); break;
    case ptQuality: optPalQuality->setChecked(true); break;
    default: optPalOptimzed->setChecked(true); break;
    }
    SelectCount(cbMaxColors, settings_.Value(keys::MaxColorCount));
    (settings_.Value(keys::DitherMethod) == 1 ? optFloyd : optNearest)->setChecked(true);
    SelectCount(cbMaxDither, settings_.Value(keys::MaxImportCount));
}

void TfrmPrompts::SavePaletteSettings() {
    using namespace editor;
    const int defaults = chkDefaultPal->isChecked() ? 1 : 0;
    if (defaults != settings_.Value(keys::PaletteDefaults)) settings_.SetValue(keys::PaletteDefaults, defaults);
    settings_.SetValue(keys::PaletteType, optPalNetcape->isChecked() ? ptWeb
                                          : optPalLocal->isChecked()   ? ptOptimizedKeepLocal
                                          : optPalQuality->isChecked() ? ptQuality
                                                                       : ptOptimized);
    settings_.SetValue(keys::MaxColorCount, cbMaxColors->currentText().toInt());
    settings_.SetValue(keys::DitherMethod, optFloyd->isChecked() ? 1 : 0);
    settings_.SetValue(keys::MaxImportCount, cbMaxDither->currentText().toInt());
}

// ---- Global Change

void TfrmPrompts::SetOffsetLimits(int maxX, int maxY) {
    udX->SetRange(0, maxX);
    udY->SetRange(0, maxY);
}

void TfrmPrompts::SetFrameProperties(bool transparent, bool interlaced, bool hasLocalPalette) {
    const auto caption = [](bool has, const char* name) {
        return QString(has ? "Remove " : "Make ") + name;
    };
    chkTransparent->setText(caption(transparent, "&Transparent"));
    chkInterlaced->setText(caption(interlaced, "&Interlaced"));
    chkLocalPal->setText(caption(hasLocalPalette, "&Local Palette"));
    global_.Transparent.MakeCaption = !transparent;
    global_.Interlaced.MakeCaption = !interlaced;
    global_.LocalPalette.MakeCaption = !hasLocalPalette;
}

void TfrmPrompts::ResetGlobal() {
    for (TNumberField* field : {udX, udY, udDelay}) field->SetText("");
    cbDisposal->setCurrentIndex(-1);
    for (QCheckBox* box : {chkTransparent, chkInterlaced, chkLocalPal}) box->setChecked(false);
    global_.Transparent.Clicked = global_.Interlaced.Clicked = global_.LocalPalette.Clicked = false;
    global_.AnyFieldSet = false;
}

void TfrmPrompts::TransparentClicked(bool checked) {
    global_.Transparent.Clicked = checked;
    if (!checked || !global_.Transparent.MakeCaption) return;
    const int answer = prompter_.Message(
        editor::TMessageKind::Confirmation,
        "For correct display of the animation, it is recommended to also set the disposal \r\n"
        "method to Background. Would you like to set the disposal to Background?",
        editor::TButtons::YesNoCancel);
    if (answer == editor::mrYes) {
        cbDisposal->setCurrentIndex(2);
    } else if (answer == editor::mrCancel) {
        chkTransparent->setChecked(false);
        global_.Transparent.Clicked = false;
    }
}

void TfrmPrompts::SelectTransparentColor() {
    if (!PickTransparentColor) return;
    int index = global_.TransparentIndex;
    gif::TColor colour = global_.TransparentColor;
    if (PickTransparentColor(index, colour)) {
        global_.TransparentIndex = index;
        global_.TransparentColor = colour;
    }
}

void TfrmPrompts::UpdateAnyFieldSet() {
    auto* field = qobject_cast<TNumberField*>(sender());
    if (field) global_.AnyFieldSet = !field->Text().isEmpty();
}

TGlobalChange TfrmPrompts::GlobalChange() const {
    TGlobalChange change = global_;
    change.XOffset = udX->Text();
    change.YOffset = udY->Text();
    change.Delay = udDelay->Text();
    change.Transparent.Checked = chkTransparent->isChecked();
    change.Interlaced.Checked = chkInterlaced->isChecked();
    change.LocalPalette.Checked = chkLocalPal->isChecked();
    change.Disposal = cbDisposal->currentIndex();
    return change;
}

} // namespace dialogs
