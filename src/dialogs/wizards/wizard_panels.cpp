// The panels of the wizards window: the nine wizard pages, the welcome and recent-files
// panels and the tips panel, with their texts and defaults.
#include "dialogs/common/number_field.h"
#include "dialogs/wizards/wizard_controls.h"
#include "editor/window/player.h"
#include "editor/wizards/animation_builder.h"
#include "editor/wizards/optimization_results.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace dialogs {

namespace {

template <class T> T* Named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QLabel* Text(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// A page: its question on top, the controls below, room at the bottom.
QWidget* Panel(const char* name, QVBoxLayout*& layout) {
    auto* panel = Named(new QWidget, name);
    layout = new QVBoxLayout(panel);
    layout->setContentsMargins(12, 8, 12, 8);
    return panel;
}

// The live estimate's line under a page's check boxes.
void AddEstimate(TWizardControls& c, int slot, QVBoxLayout* layout, QWidget* panel) {
    layout->addSpacing(12);
    c.lblEstimate[slot] = Named(Text("Estimated size:", panel), "lblEstimate");
    c.prgEstimate[slot] = Named(new QProgressBar(panel), "prgEstimate");
    c.prgEstimate[slot]->setRange(0, 100);
    c.prgEstimate[slot]->setTextVisible(false);
    c.prgEstimate[slot]->setMaximumHeight(12);
    layout->addWidget(c.lblEstimate[slot]);
    layout->addWidget(c.prgEstimate[slot]);
}

void BuildAnimationPages(TWizardControls& c) {
    QVBoxLayout* l = nullptr;
    // 0: dimensions.
    QWidget* p = Panel("pnlWizSize", l);
    l->addWidget(Text("How would you like the dimensions of new animation to be determined?", p));
    c.optSizeFirst = Named(new QRadioButton("&Use the size of the first image in the animation", p),
                           "optSizeFirst");
    c.optSizeCustom = Named(new QRadioButton("&Custom size:", p), "optSizeCustom");
    c.optSizeFirst->setChecked(true);
    c.udHeight = Named(new TNumberField(1, editor::MaxWizardSize, 3, true, p), "udHeight");
    c.udWidth = Named(new TNumberField(1, editor::MaxWizardSize, 3, true, p), "udWidth");
    auto* sizes = new QGridLayout;
    sizes->setContentsMargins(24, 0, 0, 0);
    auto* height = new QLabel("H&eight:", p);
    height->setBuddy(c.udHeight->Edit());
    auto* width = new QLabel("&Width:", p);
    width->setBuddy(c.udWidth->Edit());
    sizes->addWidget(height, 0, 0);
    sizes->addWidget(c.udHeight, 0, 1);
    sizes->addWidget(width, 1, 0);
    sizes->addWidget(c.udWidth, 1, 1);
    sizes->setColumnStretch(2, 1);
    l->addWidget(c.optSizeFirst);
    l->addWidget(c.optSizeCustom);
    l->addLayout(sizes);
    l->addStretch();
    c.WizardPanels[0] = p;

    // 1: position.
    p = Panel("pnlWizPosition", l);
    l->addWidget(Text("New images having different dimensions than that of the animation will "
                      "need to be positioned within the frame boundaries. Where should the "
                      "animation wizard place the image?",
                      p));
    c.optTopLeft = Named(new QRadioButton("&Top left corner of the frame", p), "optTopLeft");
    c.optCenter = Named(new QRadioButton("&Center in the frame", p), "optCenter");
    c.chkScale = Named(new QCheckBox("&Scale frames to fit", p), "chkScale");
    c.optTopLeft->setChecked(true);
    l->addWidget(c.optTopLeft);
    l->addWidget(c.optCenter);
    l->addSpacing(6);
    l->addWidget(c.chkScale);
    l->addStretch();
    c.WizardPanels[1] = p;

    // 2: looping and delay.
    p = Panel("pnlWizLoop", l);
    l->addWidget(Text("Would you like to loop the animation?", p));
    c.optLoopInfinite =
        Named(new QRadioButton("&Yes, play the animation infinitely", p), "optLoopInfinite");
    c.optLoopPlay = Named(new QRadioButton("&Play it", p), "optLoopPlay");
    c.optLoopInfinite->setChecked(true);
    c.udLoop = Named(new TNumberField(1, editor::MaxWizardCount, 5, true, p), "udLoop");
    auto* play = new QHBoxLayout;
    play->addWidget(c.optLoopPlay);
    play->addWidget(c.udLoop);
    play->addWidget(new QLabel("time(s)", p));
    play->addStretch();
    l->addWidget(c.optLoopInfinite);
    l->addLayout(play);
    l->addSpacing(12);
    auto* delayText = Text("How long would you like each frame to be &displayed (in 1/100th of "
                           "a second)?",
                           p);
    c.udDelay = Named(new TNumberField(1, editor::MaxWizardCount, 5, true, p), "udDelay");
    delayText->setBuddy(c.udDelay->Edit());
    l->addWidget(delayText);
    auto* delay = new QHBoxLayout;
    delay->addWidget(c.udDelay);
    delay->addStretch();
    l->addLayout(delay);
    l->addStretch();
    c.WizardPanels[2] = p;

    // 3: images.
    p = Panel("pnlWizImages", l);
    auto* imagesText = Text("&Select the images you would like to include in the animation.", p);
    c.lbImages = Named(new QListWidget(p), "lbImages");
    imagesText->setBuddy(c.lbImages);
    c.btnAddImage = Named(new QPushButton("&Add Image...", p), "btnAddImage");
    c.btnRemoveImage = Named(new QPushButton("&Remove Image", p), "btnRemoveImage");
    c.btnMoveUp = Named(new QPushButton("Move Image Up", p), "btnMoveUp");
    c.btnMoveDown = Named(new QPushButton("Move Image Down", p), "btnMoveDown");
    auto* row = new QHBoxLayout;
    row->addWidget(c.lbImages, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {c.btnAddImage, c.btnRemoveImage, c.btnMoveUp, c.btnMoveDown})
        buttons->addWidget(b);
    buttons->addStretch();
    row->addLayout(buttons);
    l->addWidget(imagesText);
    l->addLayout(row, 1);
    c.WizardPanels[3] = p;

    // 4: finish.
    p = Panel("pnlWizFinish", l);
    l->addWidget(Text("Congradulations! The animation wizard has everything it needs to create "
                      "a new animation. All you have to do is selected the Finish button. It "
                      "will take a few moments for the animation wizard to build the animated "
                      "gif image.",
                      p));
    l->addStretch();
    c.WizardPanels[4] = p;
}

void BuildOptimizationPages(TWizardControls& c, editor::TPlayer* preview) {
    QVBoxLayout* l = nullptr;
    // 5: output.
    QWidget* p = Panel("pnlOpt0", l);
    l->addWidget(Text("Welcome to the optimization wizard! How would you like to the "
                      "optimization wizard to finish?",
                      p));
    c.optCurAni = Named(new QRadioButton("&Replace current animation with optimized version", p),
                        "optCurAni");
    c.optNewToAni = Named(new QRadioButton("&Create a new animation from optimized version", p),
                          "optNewToAni");
    c.optCurAni->setChecked(true);
    l->addWidget(c.optCurAni);
    l->addWidget(c.optNewToAni);
    l->addStretch();
    c.WizardPanels[5] = p;

    // 6: palettes.
    p = Panel("pnlOpt1", l);
    l->addWidget(Text("What would you like to do with the animation color palettes?", p));
    c.chkOptAll = Named(new QCheckBox("&Optimze all palettes (global and local)", p), "chkOptAll");
    c.chkRemoveLocal = Named(
        new QCheckBox("&Remove local palettes (optimizes to global palette)", p), "chkRemoveLocal");
    c.chkPaletteSort =
        Named(new QCheckBox("&Sort palettes and remove unused entries", p), "chkPaletteSort");
    c.chkPaletteSort->setChecked(true);
    for (QCheckBox* b : {c.chkOptAll, c.chkRemoveLocal, c.chkPaletteSort}) l->addWidget(b);
    AddEstimate(c, 0, l, p);
    l->addStretch();
    c.WizardPanels[6] = p;

    // 7: frames.
    p = Panel("pnlOpt2", l);
    l->addWidget(Text("How should the frames be optimized?", p));
    c.chkTrim = Named(new QCheckBox("&Trim frames to smallest rectangle needed", p), "chkTrim");
    c.chkDupPixels =
        Named(new QCheckBox("Remove &duplicate pixels with transparency", p), "chkDupPixels");
    c.chkNonVisible = Named(new QCheckBox("&Remove all non-visible elements (eg. comments)", p),
                            "chkNonVisible");
    c.chkSmallest = Named(new QCheckBox("Smallest &lossless (slower)", p), "chkSmallest");
    c.chkSmallest->setToolTip("Tries every lossless way of writing each frame and keeps the "
                              "smallest; what the animation shows never changes");
    for (QCheckBox* b : {c.chkTrim, c.chkDupPixels, c.chkNonVisible, c.chkSmallest})
        l->addWidget(b);
    AddEstimate(c, 1, l, p);
    l->addStretch();
    c.WizardPanels[7] = p;

    // 8: results.
    p = Panel("pnlOpt3", l);
    auto* grid = new QGridLayout;
    c.lblCurrentSize = Named(new QLabel(p), "lblCurrentSize");
    c.lblOptimizedSize = Named(new QLabel(p), "lblOptimizedSize");
    c.lblSavings = Named(new QLabel(p), "lblSavings");
    c.lblDownload = Named(new QLabel("Using a", p), "lblDownload");
    c.cbBps = Named(new QComboBox(p), "cbBps");
    c.cbBps->addItems(editor::ModemSpeeds());
    c.cbBps->setCurrentIndex(editor::DefaultModemSpeed);
    grid->addWidget(new QLabel("Current Size:", p), 0, 0);
    grid->addWidget(c.lblCurrentSize, 0, 1);
    grid->addWidget(new QLabel("Optimzed Size:", p), 1, 0);
    grid->addWidget(c.lblOptimizedSize, 1, 1);
    grid->addWidget(new QLabel("Total Savings:", p), 2, 0);
    grid->addWidget(c.lblSavings, 2, 1);
    grid->addWidget(new QLabel("Estimated Download Time:", p), 3, 0, 1, 2);
    auto* download = new QHBoxLayout;
    download->setContentsMargins(16, 0, 0, 0);
    download->addWidget(c.lblDownload);
    download->addWidget(c.cbBps);
    download->addWidget(new QLabel("modem.", p));
    download->addStretch();
    grid->addLayout(download, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(grid, 1);
    if (preview) {
        // The copy plays at its own size, so that what it shows is what the file shows;
        // a large one scrolls.
        auto* frame = Named(new QScrollArea(p), "sbPreview");
        frame->setWidget(preview);
        frame->setAlignment(Qt::AlignCenter);
        frame->setFixedSize(156, 124);
        preview->setObjectName("imgPreview");
        top->addWidget(frame, 0, Qt::AlignTop);
    }
    c.imgPreview = preview;
    l->addLayout(top);
    l->addSpacing(10);
    l->addWidget(Text("Wow! Here are the optimized animation results. If you are satisfied with "
                      "the results, select the finish button to continue.",
                      p));
    l->addStretch();
    c.WizardPanels[8] = p;
}

void BuildWelcome(TWizardControls& c) {
    QVBoxLayout* l = nullptr;
    QWidget* p = Panel("pnlWelcome", l);
    auto* product = new QLabel("<b>GIF Loopwright 3.0</b>", p);
    product->setObjectName("lblProduct");
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    product->setFont(big);
    l->addWidget(product);
    l->addWidget(Text("How would you like to start GIF Loopwright?", p));
    c.btnNew = Named(new QPushButton("New", p), "btnNew");
    c.btnOpen = Named(new QPushButton("Open", p), "btnOpen");
    c.btnRecent = Named(new QPushButton("Recent", p), "btnRecent");
    c.btnNew->setToolTip("Build a new animation from pictures with the animation wizard");
    c.btnOpen->setToolTip("Open an animation");
    c.btnRecent->setToolTip("Reopen a previous animation");
    auto* row = new QHBoxLayout;
    for (QPushButton* b : {c.btnNew, c.btnOpen, c.btnRecent}) {
        b->setMinimumWidth(90);
        row->addWidget(b);
    }
    row->addStretch();
    l->addLayout(row);
    l->addStretch();
    c.pnlWelcome = p;

    p = Panel("pnlRecent", l);
    l->addWidget(Text("<b>Reopen a previous animation</b>", p));
    auto* select = Text("&Select a file from the list below", p);
    c.lbRecent = Named(new QListWidget(p), "lbRecent");
    select->setBuddy(c.lbRecent);
    c.imgRecent = Named(new QLabel(p), "imgRecent");
    c.imgRecent->setFixedSize(120, 120);
    c.imgRecent->setAlignment(Qt::AlignCenter);
    c.imgRecent->setFrameShape(QFrame::StyledPanel);
    auto* row2 = new QHBoxLayout;
    row2->addWidget(c.lbRecent, 1);
    row2->addWidget(c.imgRecent, 0, Qt::AlignTop);
    l->addWidget(select);
    l->addLayout(row2, 1);
    c.pnlRecent = p;
}

void BuildTips(TWizardControls& c, QWidget* parent) {
    auto* p = Named(new QFrame(parent), "pnlTips");
    static_cast<QFrame*>(p)->setFrameShape(QFrame::StyledPanel);
    auto* l = new QVBoxLayout(p);
    auto* heading = new QLabel("<b>Did you know...</b>", p);
    c.lblTip = Named(Text(QString(), p), "lblTip");
    c.lblTip->setMinimumHeight(48);
    c.lblTip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    c.btnNextTip = Named(new QPushButton("&Next Tip", p), "btnNextTip");
    auto* row = new QHBoxLayout;
    row->addWidget(c.lblTip, 1);
    row->addWidget(c.btnNextTip, 0, Qt::AlignBottom);
    l->addWidget(heading);
    l->addLayout(row);
    c.pnlTips = p;
}

} // namespace

void BuildWizardPanels(TWizardControls& c, QWidget* parent, editor::TPlayer* preview) {
    c.Pages = Named(new QStackedWidget(parent), "Pages");
    BuildAnimationPages(c);
    BuildOptimizationPages(c, preview);
    BuildWelcome(c);
    for (QWidget* panel : c.WizardPanels) c.Pages->addWidget(panel);
    c.Pages->addWidget(c.pnlWelcome);
    c.Pages->addWidget(c.pnlRecent);
    BuildTips(c, parent);
    c.chkShowAtStartup = Named(new QCheckBox("&Don't show at start up", parent), "chkShowAtStartup");
}

} // namespace dialogs
