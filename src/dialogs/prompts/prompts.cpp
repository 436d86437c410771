#include "dialogs/prompts/prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editor/core/settings.h"

namespace dialogs {

namespace {

struct PageTitles {
    const char* Window;
    const char* Tab;
};

PageTitles TitlesOf(TPromptKind kind) {
    switch (kind) {
    case TPromptKind::pkInsertPosition: return {"Insert Image", "Position"};
    case TPromptKind::pkFrameSize: return {"Frame Size Difference", "Frame Size"};
    case TPromptKind::pkPalettes: return {"Palettes", "Palettes"};
    case TPromptKind::pkResize: return {"Resize Animation", "Resize"};
    case TPromptKind::pkLoop: return {"Animation Information", "Animation"};
    case TPromptKind::pkProperties: return {"Image Properties", "Properties"};
    case TPromptKind::pkHtml: return {"HTML Tag", "HTML"};
    case TPromptKind::pkGlobalChange: return {"Global Change", "Properties"};
    }
    return {"Prompts", ""};
}

} // namespace

TfrmPrompts::TfrmPrompts(TPromptKind kind, editor::Settings& settings, editor::IPrompter& prompter,
                         QWidget* parent)
    : QDialog(parent), kind_(kind), settings_(settings), prompter_(prompter) {
    setObjectName("frmPrompts");
    const PageTitles titles = TitlesOf(kind);
    setWindowTitle(titles.Window);
    auto* layout = new QVBoxLayout(this);
    tabPrompt = new QTabWidget(this);
    QWidget* page = nullptr;
    switch (kind) {
    case TPromptKind::pkInsertPosition: page = BuildInsertPage(); break;
    case TPromptKind::pkFrameSize: page = BuildFrameSizePage(); break;
    case TPromptKind::pkPalettes: page = BuildPalettesPage(); break;
    case TPromptKind::pkResize: page = BuildResizePage(); break;
    case TPromptKind::pkLoop: page = BuildLoopPage(); break;
    case TPromptKind::pkProperties: page = BuildPropertiesPage(); break;
    case TPromptKind::pkHtml: page = BuildHtmlPage(); break;
    case TPromptKind::pkGlobalChange: page = BuildGlobalPage(); break;
    }
    tabPrompt->addTab(page, titles.Tab);
    layout->addWidget(tabPrompt);
    auto* buttons = new QDialogButtonBox(this);
    btnOK = buttons->addButton(QDialogButtonBox::Ok);
    btnCancel = buttons->addButton(QDialogButtonBox::Cancel);
    btnOK->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (kind == TPromptKind::pkFrameSize) LoadFrameSizeSettings();
    if (kind == TPromptKind::pkPalettes) LoadPaletteSettings();
    if (kind == TPromptKind::pkGlobalChange) ResetGlobal();
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmPrompts::~TfrmPrompts() {
    // Settings are kept only when the user confirmed them.
    if (result() != Accepted) return;
    if (kind_ == TPromptKind::pkFrameSize) SaveFrameSizeSettings();
    if (kind_ == TPromptKind::pkPalettes) SavePaletteSettings();
}

void TfrmPrompts::done(int result) {
    if (result == Accepted && kind_ == TPromptKind::pkGlobalChange) {
        const TGlobalChange change = GlobalChange();
        global_.AnyFieldSet = !change.XOffset.isEmpty() || !change.YOffset.isEmpty() ||
                              change.Transparent.Checked || change.Interlaced.Checked ||
                              change.LocalPalette.Checked || change.Disposal != -1 ||
                              !change.Delay.isEmpty();
    }
    QDialog::done(result);
}

// ---- Frame Size Difference

void TfrmPrompts::LoadFrameSizeSettings() {
    const bool clip = settings_.ReadInt(editor::sections::Settings, "ClipFrame", 0) != 0;
    optClip->setChecked(clip);
    optChange->setChecked(!clip);
    chkDefault->setChecked(settings_.ReadInt(editor::sections::Settings, "ClipDefault", 0) != 0);
}

void TfrmPrompts::SaveFrameSizeSettings() {
    settings_.SetValue(editor::keys::ClipFrame, optClip->isChecked() ? 1 : 0);
    settings_.SetValue(editor::keys::ClipDefault, chkDefault->isChecked() ? 1 : 0);
}

bool TfrmPrompts::TrimChosen() const { return optClip && optClip->isChecked(); }

// ---- Insert Image

void TfrmPrompts::SetSelectedFrameIndex(int index) {
    optBefore->setEnabled(index != 0);
    optAfter->setChecked(true);
}

TInsertChoice TfrmPrompts::InsertChoice() const {
    if (optBefore->isChecked()) return TInsertChoice::Before;
    if (optAfter->isChecked()) return TInsertChoice::After;
    return TInsertChoice::AtStart;
}

} // namespace dialogs
