// The pages of the prompts dialog: one builder each.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "dialogs/common/number_field.h"
#include "dialogs/prompts/prompts.h"
#include "editor/core/messages.h"

namespace dialogs {

namespace {

QLabel* Wrapped(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QLineEdit* ReadOnlyEdit() {
    auto* edit = new QLineEdit;
    edit->setReadOnly(true);
    return edit;
}

QComboBox* ColourCountBox() {
    auto* box = new QComboBox;
    box->addItems({"256", "128", "64", "32", "16", "8"});
    return box;
}

} // namespace

QWidget* TfrmPrompts::BuildInsertPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlDropFrame");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Wrapped("Where would you like to place this image in the animation?"));
    optStart = new QRadioButton("At the &start");
    optBefore = new QRadioButton("&Before the current selected frame");
    optAfter = new QRadioButton("&After the current selected frame");
    optStart->setChecked(true);
    for (QRadioButton* b : {optStart, optBefore, optAfter}) layout->addWidget(b);
    layout->addStretch();
    return page;
}

QWidget* TfrmPrompts::BuildFrameSizePage() {
    auto* page = new QWidget;
    page->setObjectName("pnlFrameDiff");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        Wrapped("Frame dimensions are larger than the animation. How should this be handled?"));
    optClip = new QRadioButton("&Trim frame to the animation size");
    optChange = new QRadioButton("&Change animation to match frame size.");
    chkDefault = new QCheckBox("Make this the &Default");
    layout->addWidget(optClip);
    layout->addWidget(optChange);
    layout->addSpacing(8);
    layout->addWidget(chkDefault);
    return page;
}

QWidget* TfrmPrompts::BuildPalettesPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlPalettes");
    auto* layout = new QVBoxLayout(page);
    auto* palettes = new QGroupBox("Animation Palette(s)");
    auto* paletteLayout = new QVBoxLayout(palettes);
    optPalOptimzed = new QRadioButton("Use self-&adapting global palette (Optimized)");
    optPalNetcape = new QRadioButton("Use &Netscape (216 colors) web safe color cube");
    optPalLocal = new QRadioButton("Use &local palette for new frames");
    optPalQuality = new QRadioButton("Use least-error global palette (&quality, slower)");
    for (QRadioButton* b : {optPalOptimzed, optPalNetcape, optPalLocal, optPalQuality})
        paletteLayout->addWidget(b);
    cbMaxColors = ColourCountBox();
    auto* maxColors = new QFormLayout;
    auto* maxColorsLabel = new QLabel("&Maximum number of colors:");
    maxColorsLabel->setBuddy(cbMaxColors);
    maxColors->addRow(maxColorsLabel, cbMaxColors);
    paletteLayout->addLayout(maxColors);
    layout->addWidget(palettes);

    auto* import = new QGroupBox("Importing hi-color images (24bit)");
    auto* importLayout = new QVBoxLayout(import);
    importLayout->addWidget(new QLabel("Dither Method"));
    optNearest = new QRadioButton("N&earest (no error diffusion)");
    optFloyd = new QRadioButton("&FloydSteinberg  (high quality color mapping)");
    importLayout->addWidget(optNearest);
    importLayout->addWidget(optFloyd);
    cbMaxDither = ColourCountBox();
    auto* maxDither = new QFormLayout;
    auto* maxDitherLabel = new QLabel("Ma&ximum number of colors:");
    maxDitherLabel->setBuddy(cbMaxDither);
    maxDither->addRow(maxDitherLabel, cbMaxDither);
    importLayout->addLayout(maxDither);
    layout->addWidget(import);
    chkDefaultPal = new QCheckBox("Make this the &Default");
    layout->addWidget(chkDefaultPal);
    return page;
}

QWidget* TfrmPrompts::BuildResizePage() {
    auto* page = new QWidget;
    page->setObjectName("pnlResize");
    auto* grid = new QGridLayout(page);
    txtCurrH = ReadOnlyEdit();
    txtCurrW = ReadOnlyEdit();
    udHeight = new TNumberField(1, 32767, 5, true);
    udWidth = new TNumberField(1, 32767, 5, true);
    txtHPercent = new TNumberField(1, 9999, 4, false);
    txtWPercent = new TNumberField(1, 9999, 4, false);
    txtHPercent->SetText("100");
    txtWPercent->SetText("100");
    chkConstrain = new QCheckBox("&Constrain Size");
    const auto label = [](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label("Current H&eight:", txtCurrH), 0, 0);
    grid->addWidget(txtCurrH, 0, 1);
    grid->addWidget(label("Current Wi&dth:", txtCurrW), 1, 0);
    grid->addWidget(txtCurrW, 1, 1);
    grid->addWidget(label("&Height:", udHeight), 2, 0);
    grid->addWidget(udHeight, 2, 1);
    grid->addWidget(txtHPercent, 2, 2);
    grid->addWidget(new QLabel("%"), 2, 3);
    grid->addWidget(label("&Width:", udWidth), 3, 0);
    grid->addWidget(udWidth, 3, 1);
    grid->addWidget(txtWPercent, 3, 2);
    grid->addWidget(new QLabel("%"), 3, 3);
    grid->addWidget(chkConstrain, 4, 0, 1, 4);
    connect(udHeight, &TNumberField::Edited, this, &TfrmPrompts::HeightTyped);
    connect(udWidth, &TNumberField::Edited, this, &TfrmPrompts::WidthTyped);
    connect(txtHPercent, &TNumberField::Edited, this, &TfrmPrompts::HeightPercentTyped);
    connect(txtWPercent, &TNumberField::Edited, this, &TfrmPrompts::WidthPercentTyped);
    connect(chkConstrain, &QCheckBox::clicked, this, &TfrmPrompts::ConstrainClicked);
    return page;
}

QWidget* TfrmPrompts::BuildLoopPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlLoop");
    auto* layout = new QVBoxLayout(page);
    auto* facts = new QFormLayout;
    lblFrameCount = new QLabel;
    lblCurrentSize = new QLabel;
    lblRunningTime = new QLabel;
    facts->addRow("Number of frames:", lblFrameCount);
    facts->addRow("Current Size:", lblCurrentSize);
    facts->addRow("Total Running Time:", lblRunningTime);
    layout->addLayout(facts);
    auto* current = new QHBoxLayout;
    txtCurrLoop = ReadOnlyEdit();
    txtCurrLoop->setMaximumWidth(60);
    auto* currentLabel = new QLabel("Current L&oop:");
    currentLabel->setBuddy(txtCurrLoop);
    current->addWidget(currentLabel);
    current->addWidget(txtCurrLoop);
    current->addWidget(new QLabel("(0 = Infinite)"));
    current->addStretch();
    layout->addLayout(current);
    optLoopInfinite = new QRadioButton("Looped &infinitely");
    optLoopPlay = new QRadioButton("&Played");
    udLoop = new TNumberField(1, 32767, 5, true);
    optLoopInfinite->setChecked(true);
    udLoop->setEnabled(false);
    layout->addWidget(optLoopInfinite);
    auto* play = new QHBoxLayout;
    play->addWidget(optLoopPlay);
    play->addWidget(udLoop);
    play->addWidget(new QLabel("time(s)"));
    play->addStretch();
    layout->addLayout(play);
    connect(optLoopPlay, &QRadioButton::toggled, udLoop, &QWidget::setEnabled);
    return page;
}

QWidget* TfrmPrompts::BuildPropertiesPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlProperties");
    auto* layout = new QVBoxLayout(page);
    auto* facts = new QFormLayout;
    lblFileName = new QLabel;
    lblFileSize = new QLabel;
    lblDimensions = new QLabel;
    facts->addRow("Filename:", lblFileName);
    facts->addRow("File Size:", lblFileSize);
    facts->addRow("Dimensions:", lblDimensions);
    layout->addLayout(facts);
    sbxImageProps = new QScrollArea;
    imgXprops = new QLabel;
    imgXprops->setAlignment(Qt::AlignCenter);
    sbxImageProps->setWidget(imgXprops);
    sbxImageProps->setWidgetResizable(true);
    sbxImageProps->setMinimumSize(320, 240);
    layout->addWidget(sbxImageProps);
    return page;
}

QWidget* TfrmPrompts::BuildHtmlPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlHTML");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Wrapped(
        "Fill in any extra image tag attributes you would like to include into the HTML code, "
        "then select the Copy button which will copy the HTML to the clipboard."));
    auto* form = new QFormLayout;
    txtFileName = ReadOnlyEdit();
    txtLink = new QLineEdit;
    txtHint = new QLineEdit;
    udBorder = new TNumberField(0, 32767, 5, true);
    udBorder->SetText("0");
    const auto row = [form](const QString& text, QWidget* field) {
        auto* label = new QLabel(text);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row("&File Name:", txtFileName);
    row("&Link:", txtLink);
    row("Hin&t (Alt tag):", txtHint);
    row("&Border:", udBorder);
    layout->addLayout(form);
    txtHTML = new QPlainTextEdit;
    auto* codeLabel = new QLabel("&HTML Code");
    codeLabel->setBuddy(txtHTML);
    layout->addWidget(codeLabel);
    layout->addWidget(txtHTML);
    btnCopy = new QPushButton("&Copy");
    layout->addWidget(btnCopy, 0, Qt::AlignRight);
    connect(txtLink, &QLineEdit::textChanged, this, &TfrmPrompts::RebuildHtml);
    connect(txtHint, &QLineEdit::textChanged, this, &TfrmPrompts::RebuildHtml);
    connect(udBorder, &TNumberField::Edited, this, &TfrmPrompts::RebuildHtml);
    connect(btnCopy, &QPushButton::clicked, this, &TfrmPrompts::CopyHtml);
    return page;
}

QWidget* TfrmPrompts::BuildGlobalPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlGlobal");
    auto* layout = new QVBoxLayout(page);
    auto* offsets = new QGroupBox("Frame Offsets");
    auto* offsetForm = new QFormLayout(offsets);
    udX = new TNumberField(0, 65535, 4, true);
    udY = new TNumberField(0, 65535, 4, true);
    auto* xLabel = new QLabel("&X Offset:");
    xLabel->setBuddy(udX);
    auto* yLabel = new QLabel("&Y Offset:");
    yLabel->setBuddy(udY);
    offsetForm->addRow(xLabel, udX);
    offsetForm->addRow(yLabel, udY);
    layout->addWidget(offsets);

    auto* display = new QGroupBox("Display Settings");
    auto* displayLayout = new QGridLayout(display);
    chkInterlaced = new QCheckBox("Make &Interlaced");
    chkTransparent = new QCheckBox("Make &Transparent");
    btnTransparent = new QPushButton("&Select");
    chkLocalPal = new QCheckBox("Make &Local Palette");
    cbDisposal = new QComboBox;
    for (const char* name : editor::msg::DisposalNames) cbDisposal->addItem(name);
    displayLayout->addWidget(chkInterlaced, 0, 0);
    displayLayout->addWidget(chkTransparent, 1, 0);
    displayLayout->addWidget(btnTransparent, 1, 1);
    displayLayout->addWidget(chkLocalPal, 2, 0);
    auto* disposalLabel = new QLabel("Disposal &Method (before drawing next frame)");
    disposalLabel->setBuddy(cbDisposal);
    displayLayout->addWidget(disposalLabel, 3, 0, 1, 2);
    displayLayout->addWidget(cbDisposal, 4, 0, 1, 2);
    layout->addWidget(display);

    auto* animation = new QGroupBox("Animation");
    auto* delayRow = new QHBoxLayout(animation);
    udDelay = new TNumberField(1, 32767, 5, true);
    udDelay->SetStep(10);
    auto* delayLabel = new QLabel("&Delay:");
    delayLabel->setBuddy(udDelay);
    delayRow->addWidget(delayLabel);
    delayRow->addWidget(udDelay);
    delayRow->addWidget(new QLabel("(1/100th sec)"));
    delayRow->addStretch();
    layout->addWidget(animation);
    btnReset = new QPushButton("&Reset");
    layout->addWidget(btnReset, 0, Qt::AlignLeft);

    connect(btnReset, &QPushButton::clicked, this, &TfrmPrompts::ResetGlobal);
    connect(btnTransparent, &QPushButton::clicked, this, &TfrmPrompts::SelectTransparentColor);
    connect(chkTransparent, &QCheckBox::clicked, this, &TfrmPrompts::TransparentClicked);
    connect(chkInterlaced, &QCheckBox::clicked, this,
            [this](bool checked) { global_.Interlaced.Clicked = checked; });
    connect(chkLocalPal, &QCheckBox::clicked, this,
            [this](bool checked) { global_.LocalPalette.Clicked = checked; });
    for (TNumberField* field : {udX, udY, udDelay})
        connect(field, &TNumberField::Edited, this, &TfrmPrompts::UpdateAnyFieldSet);
    connect(cbDisposal, &QComboBox::activated, this, [this] { global_.AnyFieldSet = true; });
    return page;
}

} // namespace dialogs
