#include "dialogs/inspector/frame_inspector.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/inspector/inspected_document.h"
#include "dialogs/inspector/local_palette_grid.h"
#include "dialogs/inspector/property_grid.h"
#include "dialogs/palette/palette_dialog.h"
#include "editor/core/bitmap_image.h"
#include "editor/core/format.h"
#include "editor/core/messages.h"
#include "editor/core/prompter.h"
#include "editor/core/screen_fit.h"
#include "editor/core/settings.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace dialogs {

using editor::Format;

namespace {

constexpr int MaxCommentLength = 255;
constexpr const char* Caption = "Frame Inspector";

} // namespace

TfrmFloat::TfrmFloat(gif::TGIFImage& image, editor::IPrompter& prompter, editor::Settings& settings,
                     QWidget* parent)
    // A tool window of the main window: above it, but not above other programs' windows
    // nor above the editor's own dialogs and message boxes.
    : QWidget(parent, Qt::Tool), image_(image), prompter_(prompter),
      settings_(settings), model_(image, prompter, settings.Value(editor::keys::DefaultDelay)) {
    setObjectName("frmFloat");
    setWindowTitle(Caption);
    setMinimumSize(175, 325);
    ExecDialog = [](QDialog& dialog) { return dialog.exec(); };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    cbFrames = new QComboBox;
    cbFrames->setObjectName("cbFrames");
    layout->addWidget(cbFrames);
    tabImgInfo = new QTabWidget;
    tabImgInfo->setObjectName("tabImgInfo");
    tabImgInfo->setUsesScrollButtons(false);   // all three pages stay in sight
    // Narrower tabs: the three captions fit the inspector's default width of 220.
    tabImgInfo->setStyleSheet("QTabBar::tab { padding: 4px 3px; }");
    tabImgInfo->addTab(BuildPropertiesPage(), "Properties");
    tabImgInfo->addTab(BuildPalettesPage(), "Palettes");
    tabImgInfo->addTab(BuildCommentsPage(), "Comments");
    tabImgInfo->setTabToolTip(0, "Displays the current frames properties");
    tabImgInfo->setTabToolTip(1, "Displays the current frame palette. Double-click a color swatch to edit.");
    tabImgInfo->setTabToolTip(2, "Displays the current animation comments");
    layout->addWidget(tabImgInfo);
    connect(cbFrames, &QComboBox::activated, this, [this](int entry) {
        const QString text = cbFrames->itemText(entry);
        const int index = text.section(' ', 1, 1).chopped(1).toInt();   // "Frame %d: [...]"
        if (document_) document_->SetSelectedFrame(index);
        if (OnFrameSelected) OnFrameSelected(index);
        grdProperties->setFocus();
    });
    connect(tabImgInfo, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 1) ShowPalette();
    });
    ClearInspector();
}

TfrmFloat::~TfrmFloat() = default;

QWidget* TfrmFloat::BuildPropertiesPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    grdProperties = new TPropertyGrid;
    layout->addWidget(grdProperties, 1);
    lblHint = new QLabel;
    lblHint->setObjectName("lblHint");
    lblHint->setWordWrap(true);
    lblHint->setFrameShape(QFrame::StyledPanel);
    lblHint->setMinimumHeight(fontMetrics().height() * 4);
    lblHint->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(lblHint);
    connect(grdProperties, &TPropertyGrid::RowLeaving, this, [this](int row) {
        if (grdProperties->Value(row) != valueAtEditStart_) CommitEdit();
    });
    connect(grdProperties, &TPropertyGrid::RowSelected, this, &TfrmFloat::RowSelected);
    connect(grdProperties, &TPropertyGrid::ChoiceMade, this, &TfrmFloat::ChoiceMade);
    connect(grdProperties, &TPropertyGrid::EditFinished, this, [this](int) { CommitEdit(); });
    connect(grdProperties, &TPropertyGrid::TransparentDoubleClicked, this, [this] { PickTransparentColour(); });
    return page;
}

QWidget* TfrmFloat::BuildPalettesPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlPalettes");
    auto* layout = new QVBoxLayout(page);
    auto* label = new QLabel("&Local Color Palette");
    grdPalette = new TLocalPaletteGrid;
    label->setBuddy(grdPalette);
    layout->addWidget(label);
    layout->addWidget(grdPalette, 1);
    lblColor = new QLabel;
    layout->addWidget(lblColor);
    auto* buttons = new QHBoxLayout;
    btnAddColor = new QPushButton("Add");
    btnEditColor = new QPushButton("Edit");
    btnDeleteColor = new QPushButton("Delete");
    for (QPushButton* b : {btnAddColor, btnEditColor, btnDeleteColor}) buttons->addWidget(b);
    layout->addLayout(buttons);
    grdPalette->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grdPalette, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        QMenu menu(this);
        menu.addAction("&Edit Color...", this, &TfrmFloat::PaletteEdit)->setEnabled(btnEditColor->isEnabled());
        menu.addAction("&Add Color", this, &TfrmFloat::PaletteAdd)->setEnabled(btnAddColor->isEnabled());
        menu.addAction("&Delete Color", this, &TfrmFloat::PaletteDelete)->setEnabled(btnDeleteColor->isEnabled());
        menu.addAction("&Cancel");
        menu.exec(grdPalette->mapToGlobal(at));
    });
    connect(grdPalette, &TLocalPaletteGrid::Picked, this, &TfrmFloat::PalettePicked);
    connect(grdPalette, &TLocalPaletteGrid::DoubleClicked, this, [this] { PaletteEdit(); });
    connect(btnAddColor, &QPushButton::clicked, this, &TfrmFloat::PaletteAdd);
    connect(btnEditColor, &QPushButton::clicked, this, &TfrmFloat::PaletteEdit);
    connect(btnDeleteColor, &QPushButton::clicked, this, &TfrmFloat::PaletteDelete);
    return page;
}

QWidget* TfrmFloat::BuildCommentsPage() {
    auto* page = new QWidget;
    page->setObjectName("pnlComments");
    auto* layout = new QVBoxLayout(page);
    lvComments = new QListWidget;
    lvComments->setObjectName("lvComments");
    mmoComments = new QPlainTextEdit;
    mmoComments->setObjectName("mmoComments");
    mmoComments->installEventFilter(this);
    layout->addWidget(lvComments, 1);
    layout->addWidget(mmoComments, 1);
    auto* buttons = new QHBoxLayout;
    btnAddComment = new QPushButton("Add");
    btnAddComment->setToolTip("Adds new comments to the animation");
    btnRemoveComment = new QPushButton("Remove");
    btnRemoveComment->setToolTip("Removes selected comments from the animation");
    buttons->addWidget(btnAddComment);
    buttons->addWidget(btnRemoveComment);
    layout->addLayout(buttons);
    connect(lvComments, &QListWidget::currentRowChanged, this, &TfrmFloat::CommentSelected);
    connect(btnAddComment, &QPushButton::clicked, this, &TfrmFloat::CommentAdd);
    connect(btnRemoveComment, &QPushButton::clicked, this, &TfrmFloat::CommentRemove);
    connect(mmoComments, &QPlainTextEdit::textChanged, this, [this] {
        // At most 255 characters: the rest is refused as it is typed.
        const QString text = mmoComments->toPlainText();
        if (text.size() > MaxCommentLength) {
            QTextCursor cursor = mmoComments->textCursor();
            const int position = std::min<int>(cursor.position(), MaxCommentLength);
            const QSignalBlocker block(mmoComments);
            mmoComments->setPlainText(text.left(MaxCommentLength));
            cursor = mmoComments->textCursor();
            cursor.setPosition(position);
            mmoComments->setTextCursor(cursor);
        }
    });
    return page;
}

void TfrmFloat::SetDocument(IInspectedDocument* document) { document_ = document; }

int TfrmFloat::FrameIndex() const { return frameIndex_; }

int TfrmFloat::SelectedRow() const { return grdProperties->SelectedRow(); }

void TfrmFloat::SelectRow(int row) {
    if (row < 0) return;
    grdProperties->SelectRow(row, false);
}

void TfrmFloat::ShowFrame(int index) {
    filling_ = true;
    if (document_) setWindowTitle(Format("%s - %s", Caption, document_->ShortName()));
    if (index < 0 || index >= image_.FrameCount()) {
        filling_ = false;
        return;
    }
    frameIndex_ = index;
    model_.SetDefaultDelay(settings_.Value(editor::keys::DefaultDelay));
    tabImgInfo->setEnabled(true);
    grdProperties->setEnabled(true);
    grdProperties->HideDropList();
    grdProperties->SetValues(model_.RowValues(index));
    grdProperties->SetTransparentSwatch(model_.HasTransparency(index) ? model_.TransparentColour(index)
                                                                      : gif::clNone);
    if (grdProperties->SelectedRow() < 0 && grdProperties->isVisible()) grdProperties->SelectRow(irHeight, false);
    valueAtEditStart_ = grdProperties->Value(std::max(int(irHeight), grdProperties->SelectedRow()));
    if (tabImgInfo->currentIndex() == 1) ShowPalette();
    ShowComments();
    // The frame selector mirrors the frame list.
    cbFrames->clear();
    cbFrames->addItems(model_.FrameSelectorEntries());
    for (int entry = 0; entry < cbFrames->count(); ++entry)
        if (cbFrames->itemText(entry).startsWith(Format("Frame %d:", index))) cbFrames->setCurrentIndex(entry);
    filling_ = false;
}

void TfrmFloat::ClearInspector() {
    setWindowTitle(Caption);
    grdProperties->Clear();
    tabImgInfo->setCurrentIndex(0);
    tabImgInfo->setEnabled(false);
    lvComments->clear();
    comments_.clear();
    mmoComments->clear();
    cbFrames->clear();
    grdPalette->SetColors({});
    lblColor->clear();
    lblHint->clear();
    frameIndex_ = -1;
    model_.LocalTableJustCreated = false;
}

void TfrmFloat::RowSelected(int row) {
    valueAtEditStart_ = grdProperties->Value(row);
    lblHint->setText(Format("<b>%s</b><br>%s", editor::msg::InspectorRows[row], RowHint(row)));
}

void TfrmFloat::CommitEdit() {
    // A refused value shows a message box; its own focus and activation changes (and any
    // click around it) call here again, and must not ask a second time.
    if (filling_ || committing_ || !document_) return;
    const QScopedValueRollback guard(committing_, true);
    const int row = grdProperties->SelectedRow() < 0 ? irHeight : grdProperties->SelectedRow();
    const QString text = grdProperties->Value(row);
    if (text == valueAtEditStart_) return;
    const int frame = frameIndex_ < 0 ? 0 : frameIndex_;
    const QString start = valueAtEditStart_;
    // The edit may show the frame again (and refill the grid): keep what was committed.
    const QString shown = model_.CommitEdit(*document_, row, text, start, frame);
    grdProperties->SetValue(row, shown);
    valueAtEditStart_ = shown;
}

void TfrmFloat::ChoiceMade(int row, const QString& text) {
    if (text == "Select Color...") {
        if (PickTransparentColour()) {
            grdProperties->SetValue(irTransparent, "Yes");
            CommitEdit();
        }
        return;
    }
    grdProperties->SetValue(row, text);
    CommitEdit();
}

bool TfrmFloat::PickTransparentColour() {
    grdProperties->HideDropList();
    const int index = frameIndex_;
    if (index < 0 || index >= image_.FrameCount()) return false;
    editor::TBusyCursor busy(prompter_);
    gif::TGIFSubImage& frame = *image_.Frame(index);
    TfrmPalette dialog(pmTransparentColor, prompter_, this);
    dialog.SetTable(frame.EffectiveTable());
    const gif::TBitmap* picture = frame.FrameBitmap();
    dialog.SetFrame(index, picture ? editor::BitmapImage(*picture).copy() : QImage(),
                    frame.IsTransparent() ? frame.TransparentIndex() : -1);
    const bool ok = ExecDialog(dialog) == QDialog::Accepted;
    if (ok && document_ && dialog.SelectedIndex() >= 0 &&
        model_.SetTransparentIndex(*document_, dialog.FrameIndex(), dialog.SelectedIndex()))
        ShowFrame(index);
    return ok;
}

// ---- Palettes page

std::vector<gif::TColor> TfrmFloat::LocalColors() const {
    std::vector<gif::TColor> colors;
    if (frameIndex_ < 0 || frameIndex_ >= image_.FrameCount()) return colors;
    for (const gif::TGIFColor& c : image_.Frame(frameIndex_)->LocalTable().Entries())
        colors.push_back(gif::RGB(c.Red, c.Green, c.Blue));
    return colors;
}

void TfrmFloat::ShowPalette() {
    grdPalette->SetColors(LocalColors());
    PalettePicked(grdPalette->Selected());
}

void TfrmFloat::PalettePicked(int index) {
    const auto colors = LocalColors();
    if (index >= 0 && index < int(colors.size())) {
        const gif::TColor c = colors[size_t(index)];
        lblColor->setText(Format("%d Colors - R: %d, G: %d, B: %d", int(colors.size()), gif::GetRValue(c),
                                 gif::GetGValue(c), gif::GetBValue(c)));
    } else {
        lblColor->clear();
    }
    UpdatePaletteButtons();
}

void TfrmFloat::UpdatePaletteButtons() {
    const int count = int(LocalColors().size());
    const bool valid = grdPalette->Selected() >= 0 && grdPalette->Selected() < count;
    btnAddColor->setEnabled(count < 256);
    btnEditColor->setEnabled(count > 0 && valid);
    btnDeleteColor->setEnabled(count > 2 && valid);
}

void TfrmFloat::PaletteAdd() {
    if (!document_ || frameIndex_ < 0) return;
    const auto colors = LocalColors();
    if (colors.empty()) {
        const int answer = prompter_.Message(editor::TMessageKind::Confirmation,
                                             "Currently there is no local color map. Would you like to add one?",
                                             editor::TButtons::YesNoCancel);
        if (answer == editor::mrYes) model_.AddLocalPalette(*document_, frameIndex_);
    } else if (colors.size() >= 256) {
        btnAddColor->setEnabled(false);
    } else {
        TfrmPalette dialog(pmChangeColor, prompter_, this);
        dialog.SetColour(gif::clWhite);
        if (ExecDialog(dialog) == QDialog::Accepted && dialog.Changed() &&
            model_.AddColour(*document_, frameIndex_, dialog.PreviewColour()))
            grdPalette->SetSelected(int(LocalColors().size()) - 1);
    }
    ShowPalette();
}

void TfrmFloat::PaletteEdit() {
    if (!document_ || frameIndex_ < 0) return;
    const auto colors = LocalColors();
    const int entry = grdPalette->Selected();
    if (entry < 0 || entry >= int(colors.size())) return;
    TfrmPalette dialog(pmChangeColor, prompter_, this);
    dialog.SetColour(colors[size_t(entry)]);
    if (ExecDialog(dialog) == QDialog::Accepted && dialog.Changed())
        model_.ChangeColour(*document_, frameIndex_, entry, dialog.PreviewColour());
    ShowPalette();
}

void TfrmFloat::PaletteDelete() {
    if (!document_ || frameIndex_ < 0 || LocalColors().empty()) return;
    const int entry = grdPalette->Selected();
    if (model_.DeleteColour(*document_, frameIndex_, entry))
        grdPalette->SetSelected(std::max(0, entry - 1));
    ShowPalette();
}

// ---- Comments page

void TfrmFloat::ShowComments() {
    const QSignalBlocker block(lvComments);
    comments_ = model_.Comments();
    lvComments->clear();
    for (const TCommentEntry& entry : comments_) lvComments->addItem(entry.Caption);
    mmoComments->clear();
    mmoComments->document()->setModified(false);
    btnRemoveComment->setEnabled(false);
}

void TfrmFloat::CommentSelected(int row) {
    if (row < 0 || row >= int(comments_.size())) return;
    mmoComments->setPlainText(comments_[size_t(row)].Text);
    mmoComments->document()->setModified(false);
    mmoComments->setFocus();
    btnRemoveComment->setEnabled(true);
}

void TfrmFloat::CommentAdd() {
    if (!document_ || image_.FrameCount() == 0) return;
    const TCommentEntry entry = model_.AddComment(*document_);
    comments_.push_back(entry);
    const QSignalBlocker block(lvComments);
    lvComments->addItem(entry.Caption);
    lvComments->setCurrentRow(lvComments->count() - 1);
    mmoComments->setPlainText(entry.Text);
    mmoComments->document()->setModified(false);
    mmoComments->setFocus();
    btnRemoveComment->setEnabled(true);
}

void TfrmFloat::CommentRemove() {
    const int row = lvComments->currentRow();
    if (!document_ || row < 0 || row >= int(comments_.size())) return;
    model_.RemoveComment(*document_, comments_[size_t(row)]);
    ShowComments();
}

void TfrmFloat::CommentEditorLeft() {
    const int row = lvComments->currentRow();
    if (!document_ || row < 0 || row >= int(comments_.size()) || !mmoComments->document()->isModified())
        return;
    if (model_.ChangeComment(*document_, comments_[size_t(row)], mmoComments->toPlainText()))
        comments_[size_t(row)].Text = mmoComments->toPlainText();
    mmoComments->document()->setModified(false);
}

// ---- window

bool TfrmFloat::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mmoComments && event->type() == QEvent::FocusOut) CommentEditorLeft();
    return QWidget::eventFilter(watched, event);
}

void TfrmFloat::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            if (OnActivated) OnActivated();
            valueAtEditStart_ = grdProperties->Value(std::max(int(irHeight), grdProperties->SelectedRow()));
        } else {
            grdProperties->HideDropList();
            CommitEdit();
        }
    }
    QWidget::changeEvent(event);
}

void TfrmFloat::closeEvent(QCloseEvent* event) {
    // The program ending closes its windows after the main window: that is no choice of
    // the user's, and the inspector is remembered as it was.
    if (parentWidget() && !parentWidget()->isVisible()) {
        event->accept();
        return;
    }
    // Its close box only hides it.
    hide();
    emit Hidden();
    event->ignore();
}

void TfrmFloat::LoadPlacement(const QRect& mainWindow, const QRect& frameList) {
    const QString section = editor::sections::Inspector;
    const int width = settings_.ReadInt(section, "Width", 220);
    const int height = settings_.ReadInt(section, "Height", 430);
    const int top = settings_.ReadInt(section, "Top", mainWindow.top() + 50);
    // By default at the main window's right edge; beside the frame list, not over it, when
    // the list is docked there.
    const int defaultLeft = frameList.isValid() ? frameList.left() - width - 4
                                                : mainWindow.left() + mainWindow.width() - width + 10;
    const int left = settings_.ReadInt(section, "Left", defaultLeft);
    QRect placed(left, top, std::max(width, minimumWidth()), std::max(height, minimumHeight()));
    // A stored place or size from another screen, or typed by hand, must still leave the
    // whole inspector on the screen.
    const QScreen* screen = QGuiApplication::screenAt(mainWindow.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) placed = editor::FitOnScreen(placed, screen->availableGeometry(), minimumSize());
    setGeometry(placed);
}

void TfrmFloat::SavePlacement(bool visible) {
    const QString section = editor::sections::Inspector;
    settings_.WriteInt(section, "Top", geometry().top());
    settings_.WriteInt(section, "Left", geometry().left());
    settings_.WriteInt(section, "Height", geometry().height());
    settings_.WriteInt(section, "Width", geometry().width());
    settings_.SetValue(editor::keys::InspectorVisible, visible ? 1 : 0);
}

} // namespace dialogs
