#include "dialogs/options/options_dialog.h"

#include "dialogs/common/number_field.h"
#include "dialogs/prompts/prompts.h"
#include "editor/core/project_links.h"
#include "editor/core/prompter.h"
#include "editor/core/settings.h"
#include "editor/document/document_messages.h"
#include "io/picture_filters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace dialogs {

namespace {

struct TNamedColor {
    const char* Name;
    uint32_t Value; // red in the low byte
};

// The colour list: white first, then the usual named colours.
constexpr TNamedColor Colors[] = {
    {"White", 0xFFFFFF},  {"Black", 0x000000},   {"Maroon", 0x000080}, {"Green", 0x008000},
    {"Olive", 0x008080},  {"Navy", 0x800000},    {"Purple", 0x800080}, {"Teal", 0x808000},
    {"Gray", 0x808080},   {"Silver", 0xC0C0C0},  {"Red", 0x0000FF},    {"Lime", 0x00FF00},
    {"Yellow", 0x00FFFF}, {"Blue", 0xFF0000},    {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},
};

QColor ToColor(uint32_t value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QIcon Swatch(uint32_t value) {
    QPixmap pixmap(16, 12);
    pixmap.fill(ToColor(value));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 15, 11);
    return QIcon(pixmap);
}

const char* Captions[] = {"Program Options", "Organize Favorites", "About GIF Loopwright"};

} // namespace

TfrmOptions::TfrmOptions(TOptionsMode mode, editor::Settings& settings, editor::IPrompter& prompter,
                         const TOptionsCurrent& current, const QStringList& favorites,
                         const QString& currentFolder, QWidget* parent)
    : QDialog(parent), mode_(mode), settings_(settings), prompter_(prompter), current_(current),
      currentFolder_(currentFolder), favorites_(favorites) {
    setObjectName("frmOptions");
    setWindowTitle(Captions[int(mode)]);
    BrowseFolder = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, "Browse for Folder", start);
    };
    auto* layout = new QVBoxLayout(this);
    tabOptions = new QTabWidget(this);
    tabOptions->setObjectName("tabOptions");
    switch (mode) {
    case TOptionsMode::Options: {
        tabOptions->addTab(BuildProgramPage(), "Program");
        tabOptions->addTab(BuildAnimationPage(), "Animation");
        palettes_ = std::make_unique<TfrmPrompts>(TPromptKind::pkPalettes, settings, prompter);
        palettes_->hide();
        tabOptions->addTab(palettes_->tabPrompt->widget(0), "Palettes");
        tabOptions->addTab(BuildThumbnailsPage(), "Thumbnails");
        tabOptions->addTab(BuildAboutPage(), "About Loopwright");
        LoadValues();
        break;
    }
    case TOptionsMode::Favorites:
        tabOptions->addTab(BuildFavoritesPanel(), "Favorites");
        break;
    case TOptionsMode::About:
        tabOptions->addTab(BuildAboutPage(), "About Loopwright");
        break;
    }
    layout->addWidget(tabOptions);
    auto* buttons = new QDialogButtonBox(this);
    btnOK = buttons->addButton(QDialogButtonBox::Ok);
    btnOK->setDefault(true);
    if (mode != TOptionsMode::About) btnCancel = buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // Not advertised anywhere: the library's warnings are for debugging the program.
    auto* chord = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F12), this);
    connect(chord, &QShortcut::activated, this, &TfrmOptions::WarningsChord);

    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmOptions::~TfrmOptions() = default;

QWidget* TfrmOptions::BuildProgramPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlProgram");
    auto* layout = new QVBoxLayout(page);
    chkFlatTB = new QCheckBox("Use &regular style toolbar buttons (not flat)");
    chkAnimation = new QCheckBox("Show animated &logo on start up");
    chkExplorer = new QCheckBox("Syncronize open file dialog with &Explorer folder");
    chkNoOpenPreview = new QCheckBox("Use open file &dialogs without image preview");
    chkCompatibility = new QCheckBox("&Check animation compatibility when saving");
    for (QCheckBox* box : {chkFlatTB, chkAnimation, chkExplorer, chkNoOpenPreview, chkCompatibility})
        layout->addWidget(box);
    auto* form = new QFormLayout;
    edtMaxUndo = new TNumberField(MinUndo, MaxUndoSteps, 3, true);
    edtMaxUndo->setObjectName("edtMaxUndo");
    // Leaving the field shows the up-down's position: out-of-range text snaps into 5-50.
    // Empty or invalid text returns to the value on entry.
    edtMaxUndo->SetLeaveCheck([this](const QString& text) {
        bool number = false;
        text.trimmed().toLongLong(&number);
        if (!number) return false;
        edtMaxUndo->SetValue(SnapUndo(text, edtMaxUndo->Position()));
        return true;
    });
    auto* undoLabel = new QLabel("Maximum steps of &undo");
    undoLabel->setBuddy(edtMaxUndo->Edit());
    form->addRow(undoLabel, edtMaxUndo);
    cbTransColor = new QComboBox;
    cbTransColor->setObjectName("cbTransColor");
    for (const TNamedColor& colour : Colors)
        cbTransColor->addItem(Swatch(colour.Value), colour.Name, uint(colour.Value));
    auto* colourLabel = new QLabel("&Background color for transparent frames");
    colourLabel->setBuddy(cbTransColor);
    form->addRow(colourLabel, cbTransColor);
    layout->addLayout(form);
    layout->addStretch();
    return page;
}

QWidget* TfrmOptions::BuildAnimationPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlAnimation");
    auto* layout = new QVBoxLayout(page);
    auto* grid = new QGridLayout;
    udDelay = new TNumberField(1, 32767, 5, true);
    udLoop = new TNumberField(0, 32767, 5, true);
    auto* delayLabel = new QLabel("&Frame Delay:");
    delayLabel->setBuddy(udDelay->Edit());
    auto* loopLabel = new QLabel("&Animation Loop:");
    loopLabel->setBuddy(udLoop->Edit());
    grid->addWidget(delayLabel, 0, 0);
    grid->addWidget(udDelay, 0, 1);
    grid->addWidget(new QLabel("1/100 th of a second"), 0, 2);
    grid->addWidget(loopLabel, 1, 0);
    grid->addWidget(udLoop, 1, 1);
    grid->addWidget(new QLabel("(0 = infinite loop)"), 1, 2);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);
    auto* inserting = new QGroupBox("Inserting New Frames");
    auto* insertLayout = new QVBoxLayout(inserting);
    optClip = new QRadioButton("&Trim frame to the animation size");
    optChange = new QRadioButton("&Change animation to match frame size.");
    chkDefault = new QCheckBox("Make this the &Default");
    insertLayout->addWidget(optClip);
    insertLayout->addWidget(optChange);
    insertLayout->addWidget(chkDefault);
    layout->addWidget(inserting);
    layout->addStretch();
    return page;
}

QWidget* TfrmOptions::BuildThumbnailsPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlThumbnails");
    auto* layout = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    cbThumbSize = new QComboBox;
    cbThumbSize->setObjectName("cbThumbSize");
    for (const char* size : {"50", "75", "100", "125", "150", "200"})
        cbThumbSize->addItem(size);
    auto* sizeLabel = new QLabel("Thumbnail image &size");
    sizeLabel->setBuddy(cbThumbSize);
    form->addRow(sizeLabel, cbThumbSize);
    cbFileFilters = new QComboBox;
    cbFileFilters->setObjectName("cbFileFilters");
    // The single kinds of the picture filter, in its order, then every kind.
    for (size_t i = 1; i + 1 < io::PictureFilters.size(); ++i)
        cbFileFilters->addItem(QString::fromUtf8(io::PictureFilters[i].Caption.data(),
                                                 qsizetype(io::PictureFilters[i].Caption.size())));
    cbFileFilters->addItem(AllSupportedFilterCaption);
    auto* filterLabel = new QLabel("&File search filter type");
    filterLabel->setBuddy(cbFileFilters);
    form->addRow(filterLabel, cbFileFilters);
    layout->addLayout(form);
    chkDropDefault = new QCheckBox("&Open GIFs dragged from thumbnails as an animation");
    layout->addWidget(chkDropDefault);
    auto* note = new QLabel("Note: If this option is NOT checked then all images in the GIF will "
                            "be inserted into the active document.");
    note->setWordWrap(true);
    layout->addWidget(note);
    chkAutoLoad = new QCheckBox("&Auto-load thumbnails to current folder on start up");
    layout->addWidget(chkAutoLoad);
    layout->addWidget(BuildFavoritesPanel(), 1);
    return page;
}

QWidget* TfrmOptions::BuildFavoritesPanel() {
    auto* box = new QGroupBox("Favorites Folders");
    box->setObjectName("pnlFavorites");
    auto* layout = new QHBoxLayout(box);
    lvFavorites = new QTreeWidget;
    lvFavorites->setObjectName("lvFavorites");
    lvFavorites->setHeaderLabels({"Folder Location"});
    lvFavorites->setRootIsDecorated(false);
    lvFavorites->setMinimumSize(320, 120);
    layout->addWidget(lvFavorites, 1);
    auto* buttons = new QVBoxLayout;
    btnMoveUp = new QPushButton("Move Up");
    btnMoveDown = new QPushButton("Move Down");
    btnAddFolder = new QPushButton("Add Folder");
    btnRemoveFolder = new QPushButton("Remove Folder");
    for (QPushButton* button : {btnMoveUp, btnMoveDown, btnAddFolder, btnRemoveFolder}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(btnMoveUp, &QPushButton::clicked, this, &TfrmOptions::MoveUpClick);
    connect(btnMoveDown, &QPushButton::clicked, this, &TfrmOptions::MoveDownClick);
    connect(btnAddFolder, &QPushButton::clicked, this, &TfrmOptions::AddFolderClick);
    connect(btnRemoveFolder, &QPushButton::clicked, this, &TfrmOptions::RemoveFolderClick);
    connect(lvFavorites, &QTreeWidget::currentItemChanged, this, [this] {
        favorites_.Select(lvFavorites->indexOfTopLevelItem(lvFavorites->currentItem()));
        btnMoveUp->setEnabled(favorites_.CanMoveUp());
        btnMoveDown->setEnabled(favorites_.CanMoveDown());
        btnRemoveFolder->setEnabled(favorites_.CanRemove());
    });
    RefreshFavorites();
    return box;
}

QWidget* TfrmOptions::BuildAboutPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlAbout");
    auto* layout = new QVBoxLayout(page);
    lblTitle = new QLabel(editor::msg::ApplicationTitle);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = new QLabel("Version 3.0");
    layout->addStretch();
    layout->addWidget(lblTitle, 0, Qt::AlignHCenter);
    layout->addWidget(lblVersion, 0, Qt::AlignHCenter);
    layout->addSpacing(16);
    auto* row = new QHBoxLayout;
    btnWebSite = new QPushButton(editor::WebSite);
    btnMail = new QPushButton(editor::MailAddress);
    for (QPushButton* button : {btnWebSite, btnMail}) {
        button->setAutoDefault(false);
        button->setFlat(true);
        row->addWidget(button);
    }
    layout->addLayout(row);
    layout->addStretch();
    connect(btnWebSite, &QPushButton::clicked, this,
            [this] { prompter_.OpenUrl(editor::WebSite); });
    connect(btnMail, &QPushButton::clicked, this,
            [this] { prompter_.OpenUrl(QString("mailto:") + editor::MailAddress); });
    return page;
}

void TfrmOptions::LoadValues() {
    const TOptionsValues v = LoadOptions(settings_, current_);
    chkFlatTB->setChecked(v.RegularToolbars);
    chkAnimation->setChecked(v.DisplayAnimation);
    chkExplorer->setChecked(v.SyncOpenDialog);
    chkNoOpenPreview->setChecked(v.NoOpenDlgPreview);
    chkCompatibility->setChecked(v.Compatibility);
    edtMaxUndo->SetValue(v.MaxUndo);
    SelectColor(v.TransparentColor);
    udDelay->SetValue(v.DefaultDelay);
    udLoop->SetValue(v.DefaultNSLoop);
    (v.ClipFrame ? optClip : optChange)->setChecked(true);
    chkDefault->setChecked(v.ClipDefault);
    const int sizeRow = cbThumbSize->findText(QString::number(v.ThumbSize));
    cbThumbSize->setCurrentIndex(sizeRow >= 0 ? sizeRow : 1);
    cbFileFilters->setCurrentIndex(v.FilterIndex);
    chkDropDefault->setChecked(v.DropDefault);
    chkAutoLoad->setChecked(v.AutoLoad);
}

void TfrmOptions::SelectColor(uint32_t color) {
    int row = cbTransColor->findData(uint(color));
    if (row < 0) {
        cbTransColor->addItem(Swatch(color), QColor(ToColor(color)).name(), uint(color));
        row = cbTransColor->count() - 1;
    }
    cbTransColor->setCurrentIndex(row);
}

TOptionsValues TfrmOptions::Values() const {
    TOptionsValues v;
    if (mode_ != TOptionsMode::Options) return v;
    v.RegularToolbars = chkFlatTB->isChecked();
    v.DisplayAnimation = chkAnimation->isChecked();
    v.SyncOpenDialog = chkExplorer->isChecked();
    v.NoOpenDlgPreview = chkNoOpenPreview->isChecked();
    v.Compatibility = chkCompatibility->isChecked();
    v.MaxUndo = SnapUndo(edtMaxUndo->Text(), edtMaxUndo->Position());
    v.TransparentColor = cbTransColor->currentData().toUInt();
    v.DefaultDelay = udDelay->Position();
    v.DefaultNSLoop = udLoop->Position();
    v.ClipFrame = optClip->isChecked();
    v.ClipDefault = chkDefault->isChecked();
    v.ThumbSize = cbThumbSize->currentText().toInt();
    v.FilterIndex = cbFileFilters->currentIndex();
    v.DropDefault = chkDropDefault->isChecked();
    v.AutoLoad = chkAutoLoad->isChecked();
    return v;
}

TApplyResult TfrmOptions::Apply(TOptionsCurrent& current, IOptionsHost& host) {
    if (mode_ != TOptionsMode::Options) return {};
    return ApplyOptions(settings_, Values(), current, host, [this] {
        // Closing the prompts dialog with OK writes its palette values.
        palettes_->setResult(QDialog::Accepted);
        palettes_.reset();
    });
}

void TfrmOptions::RefreshFavorites() {
    lvFavorites->blockSignals(true);
    lvFavorites->clear();
    for (const QString& folder : favorites_.Items())
        lvFavorites->addTopLevelItem(new QTreeWidgetItem(QStringList{folder}));
    if (favorites_.Selected() >= 0)
        lvFavorites->setCurrentItem(lvFavorites->topLevelItem(favorites_.Selected()));
    lvFavorites->blockSignals(false);
    btnMoveUp->setEnabled(favorites_.CanMoveUp());
    btnMoveDown->setEnabled(favorites_.CanMoveDown());
    btnRemoveFolder->setEnabled(favorites_.CanRemove());
}

void TfrmOptions::AddFolderClick() {
    const int selected = favorites_.Selected();
    const QString start = selected >= 0 ? favorites_.Items()[selected] : currentFolder_;
    const QString chosen = BrowseFolder ? BrowseFolder(start) : QString();
    if (chosen.isEmpty()) return;
    if (favorites_.Add(chosen)) RefreshFavorites();
}

void TfrmOptions::RemoveFolderClick() {
    const int selected = favorites_.Selected();
    if (selected < 0) return;
    const QString text = QString("Do you want to remove %1 the Favorites list?")
                             .arg(favorites_.Items()[selected]);
    if (prompter_.Message(editor::TMessageKind::Confirmation, text, editor::TButtons::YesNo) !=
        editor::mrYes)
        return;
    favorites_.Remove();
    RefreshFavorites();
}

void TfrmOptions::MoveUpClick() {
    if (favorites_.MoveUp()) RefreshFavorites();
}

void TfrmOptions::MoveDownClick() {
    if (favorites_.MoveDown()) RefreshFavorites();
}

void TfrmOptions::WarningsChord() {
    const bool on = WarningsOn ? WarningsOn() : settings_.Value(editor::keys::Warnings) == 1;
    const int answer = prompter_.Message(editor::TMessageKind::Confirmation, WarningsQuestion(on),
                                         editor::TButtons::YesNoCancel);
    if (answer != editor::mrYes) return;
    // Written at once, whatever button closes the window.
    settings_.SetValue(editor::keys::Warnings, on ? 0 : 1);
    if (SetWarnings) SetWarnings(!on);
}

} // namespace dialogs
