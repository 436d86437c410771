#include "dialogs/wizards/wizards_window.h"

#include "dialogs/common/number_field.h"
#include "dialogs/wizards/wizard_heading.h"
#include "editor/core/bitmap_image.h"
#include "editor/core/gif_files.h"
#include "editor/core/prompter.h"
#include "editor/core/settings.h"
#include "editor/core/shell.h"
#include "editor/document/workspace.h"
#include "editor/window/player.h"
#include "editor/window/qt_dispatcher.h"
#include "editor/wizards/wizard_finish.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "io/picture_filters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace dialogs {

using editor::TWizardMode;

namespace {

constexpr int WelcomeIndex = 9;
constexpr int RecentIndex = 10;
// Recent-files captions start with "&N ": ampersand, digit, blank.
constexpr int CaptionNumberWidth = 3;
// How often the estimate's line looks at the worker while it runs.
constexpr int EstimatePollMs = 40;

} // namespace

TfrmWizards::TfrmWizards(TWizardMode mode, TWizardEnvironment environment, QWidget* parent)
    : QDialog(parent), environment_(std::move(environment)), pages_(mode) {
    setObjectName("frmWizards");
    setModal(true);
    openedAsWelcome_ = mode == TWizardMode::Welcome;
    tips_.Load(environment_.TipsFile, environment_.ProgramFolder);
    if (mode == TWizardMode::Optimization && environment_.Workspace)
        session_ = std::make_unique<editor::TOptimizationSession>(
            environment_.Workspace->WorkingImage(), environment_.Workspace->Defaults());
    BuildLayout();
    Connect();
    if (environment_.Config)
        c_.chkShowAtStartup->setChecked(environment_.Config->Value(editor::keys::WelcomeDialog) != 0);
    c_.lblTip->setText(tips_.Current());
    c_.btnNextTip->setEnabled(tips_.CanGoNext());
    c_.btnRecent->setEnabled(environment_.RecentVisible);
    if (session_) {
        c_.chkOptAll->setEnabled(session_->OptimizeAllEnabled());
        c_.chkRemoveLocal->setEnabled(session_->RemoveLocalEnabled());
        c_.lblCurrentSize->setText(editor::BytesText(session_->CurrentSize()));
    }
    ShowMode();
}

TfrmWizards::~TfrmWizards() {
    // The worker and the preview's renderer end before the controls they report to.
    if (c_.imgPreview) c_.imgPreview->DropPicture();
    session_.reset();
}

void TfrmWizards::BuildLayout() {
    auto dispatcher = editor::TQtDispatcher::Create();
    BuildWizardPanels(c_, this, new editor::TPlayer(dispatcher, this));
    heading_ = new TWizardHeading(this);
    picture_ = new QLabel(this);
    picture_->setObjectName("imgWizard");
    picture_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    btnBack_ = new QPushButton("< &Back", this);
    btnNext_ = new QPushButton("&Next >", this);
    btnCancel_ = new QPushButton("Cancel", this);
    btnHelp_ = new QPushButton("&Help", this);
    btnOK_ = new QPushButton("OK", this);
    btnBack_->setObjectName("btnBack");
    btnNext_->setObjectName("btnNext");
    btnCancel_->setObjectName("btnCancel");
    btnHelp_->setObjectName("btnHelp");
    btnOK_->setObjectName("btnOK");
    for (QPushButton* b : {btnBack_, btnNext_, btnCancel_, btnHelp_, btnOK_}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(80);
    }

    auto* body = new QHBoxLayout;
    body->addWidget(picture_);
    body->addWidget(c_.Pages, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(c_.chkShowAtStartup);
    buttons->addStretch();
    for (QPushButton* b : {btnBack_, btnNext_, btnOK_, btnCancel_, btnHelp_}) buttons->addWidget(b);
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 8);
    main->addWidget(heading_);
    auto* inner = new QVBoxLayout;
    inner->setContentsMargins(8, 4, 8, 0);
    inner->addLayout(body, 1);
    inner->addWidget(c_.pnlTips);
    inner->addLayout(buttons);
    main->addLayout(inner, 1);

    estimateTimer_ = new QTimer(this);
    estimateTimer_->setInterval(EstimatePollMs);
}

void TfrmWizards::Connect() {
    connect(btnBack_, &QPushButton::clicked, this, &TfrmWizards::btnBackClick);
    connect(btnNext_, &QPushButton::clicked, this, &TfrmWizards::btnNextClick);
    connect(btnHelp_, &QPushButton::clicked, this, &TfrmWizards::btnHelpClick);
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(c_.btnNew, &QPushButton::clicked, this, &TfrmWizards::btnNewClick);
    connect(c_.btnOpen, &QPushButton::clicked, this, &TfrmWizards::btnOpenClick);
    connect(c_.btnRecent, &QPushButton::clicked, this, &TfrmWizards::btnRecentClick);
    connect(c_.btnNextTip, &QPushButton::clicked, this, &TfrmWizards::btnNextTipClick);
    connect(c_.btnAddImage, &QPushButton::clicked, this, &TfrmWizards::btnAddImageClick);
    connect(c_.lbRecent, &QListWidget::currentRowChanged, this, [this] { ShowRecentPreview(); });
    connect(c_.lbRecent, &QListWidget::itemDoubleClicked, this, [this] { accept(); });

    // Custom size and play count: their fields follow the choice and start over.
    connect(c_.optSizeCustom, &QRadioButton::toggled, this, [this](bool custom) {
        c_.udHeight->setEnabled(custom);
        c_.udWidth->setEnabled(custom);
        c_.udHeight->SetText("100");
        c_.udWidth->SetText("100");
    });
    connect(c_.optLoopPlay, &QRadioButton::toggled, this, [this](bool play) {
        c_.udLoop->setEnabled(play);
        c_.udLoop->SetText("1");
    });
    c_.udHeight->SetText("100");
    c_.udWidth->SetText("100");
    c_.udLoop->SetText("1");
    c_.udDelay->SetText("100");
    c_.udHeight->setEnabled(false);
    c_.udWidth->setEnabled(false);
    c_.udLoop->setEnabled(false);

    connect(c_.lbImages, &QListWidget::currentRowChanged, this, [this](int row) {
        images_.Select(row);
        UpdateImageButtons();
    });
    connect(c_.btnRemoveImage, &QPushButton::clicked, this, [this] {
        images_.RemoveSelected();
        UpdateImageButtons();
    });
    connect(c_.btnMoveUp, &QPushButton::clicked, this, [this] {
        images_.MoveUp();
        UpdateImageButtons();
    });
    connect(c_.btnMoveDown, &QPushButton::clicked, this, [this] {
        images_.MoveDown();
        UpdateImageButtons();
    });

    for (QCheckBox* box : {c_.chkOptAll, c_.chkRemoveLocal, c_.chkPaletteSort, c_.chkTrim,
                           c_.chkDupPixels, c_.chkNonVisible, c_.chkSmallest})
        connect(box, &QCheckBox::toggled, this, [this] { ChoicesChanged(); });
    connect(estimateTimer_, &QTimer::timeout, this, [this] { ShowEstimate(); });
    connect(c_.cbBps, &QComboBox::currentTextChanged, this, [this] { ShowDownloadTime(); });
}

QString TfrmWizards::RecentPath() const {
    const QListWidgetItem* item = c_.lbRecent->currentItem();
    return item ? item->text() : QString();
}

QString TfrmWizards::HeadingTitle() const {
    return heading_->Title();
}

void TfrmWizards::ShowMode() {
    const TWizardMode mode = pages_.Mode();
    setWindowTitle(editor::WizardCaption(mode));
    const bool wizard = pages_.IsWizard();
    for (QPushButton* b : {btnBack_, btnNext_, btnHelp_}) b->setVisible(wizard);
    btnOK_->setVisible(mode == TWizardMode::Tips);
    btnCancel_->setVisible(mode != TWizardMode::Tips);
    btnNext_->setDefault(wizard);
    btnOK_->setDefault(mode == TWizardMode::Tips);
    c_.pnlTips->setVisible(mode == TWizardMode::Welcome || mode == TWizardMode::Tips);
    c_.chkShowAtStartup->setVisible(mode == TWizardMode::Welcome);
    c_.Pages->setVisible(mode != TWizardMode::Tips);
    // The tip of the day is the tips panel alone: a small window.
    setMinimumSize(mode == TWizardMode::Tips ? QSize(440, 0) : QSize(560, 380));
    const char* picture = mode == TWizardMode::Animation      ? ":/ANI_WIZ"
                          : mode == TWizardMode::Optimization ? ":/OPT_WIZ"
                                                               : nullptr;
    picture_->setPixmap(picture ? QPixmap(picture) : QPixmap());
    picture_->setVisible(picture != nullptr);
    if (wizard) {
        ShowPage();
        return;
    }
    heading_->SetTitle(mode == TWizardMode::Welcome ? "Welcome" : "Tip of the Day");
    if (mode == TWizardMode::Welcome) c_.Pages->setCurrentIndex(WelcomeIndex);
}

void TfrmWizards::ShowPage() {
    const int page = pages_.Page();
    c_.Pages->setCurrentIndex(page);
    heading_->SetTitle(pages_.Title());
    if (page == editor::ImagesPage) UpdateImageButtons();
    if (page == editor::PalettesPage || page == editor::FramesPage) {
        ChoicesChanged();
    } else {
        if (session_) session_->StopEstimate();
        estimateTimer_->stop();
    }
    if (page == editor::LastOptimizationPage)
        ShowResults();
    else if (c_.imgPreview)
        c_.imgPreview->DropPicture();
    UpdateButtons();
}

void TfrmWizards::UpdateButtons() {
    btnBack_->setEnabled(pages_.BackEnabled());
    btnNext_->setEnabled(pages_.NextEnabled(images_.Count()));
    btnNext_->setText(pages_.NextCaption());
}

void TfrmWizards::UpdateImageButtons() {
    // The list widget mirrors the model; its signals would only echo the selection back.
    const QSignalBlocker block(c_.lbImages);
    c_.lbImages->clear();
    c_.lbImages->addItems(images_.Paths());
    c_.lbImages->setCurrentRow(images_.Selected());
    c_.btnRemoveImage->setEnabled(images_.CanRemove());
    c_.btnMoveUp->setEnabled(images_.CanMoveUp());
    c_.btnMoveDown->setEnabled(images_.CanMoveDown());
    UpdateButtons();
}

void TfrmWizards::AddImages(const QStringList& paths) {
    if (paths.isEmpty()) return;
    images_.Add(paths);
    environment_.PictureFolder = QFileInfo(paths.first()).absolutePath();
    UpdateImageButtons();
}

editor::TAnimationChoices TfrmWizards::AnimationChoices() const {
    editor::TAnimationChoices choices;
    choices.CustomSize = c_.optSizeCustom->isChecked();
    choices.Height = c_.udHeight->Position();
    choices.Width = c_.udWidth->Position();
    choices.Center = c_.optCenter->isChecked();
    choices.Scale = c_.chkScale->isChecked();
    choices.LoopForever = c_.optLoopInfinite->isChecked();
    choices.PlayCount = c_.udLoop->Position();
    choices.Delay = c_.udDelay->Position();
    return choices;
}

editor::TOptimizationChoices TfrmWizards::OptimizationChoices() const {
    editor::TOptimizationChoices choices;
    choices.OptimizeAll = c_.chkOptAll->isChecked() && c_.chkOptAll->isEnabled();
    choices.RemoveLocal = c_.chkRemoveLocal->isChecked() && c_.chkRemoveLocal->isEnabled();
    choices.PaletteSort = c_.chkPaletteSort->isChecked();
    choices.Trim = c_.chkTrim->isChecked();
    choices.DuplicatePixels = c_.chkDupPixels->isChecked();
    choices.NonVisible = c_.chkNonVisible->isChecked();
    choices.Smallest = c_.chkSmallest->isChecked();
    return choices;
}

void TfrmWizards::btnBackClick() {
    if (pages_.Back()) ShowPage();
}

void TfrmWizards::btnNextClick() {
    if (!btnNext_->isEnabled()) return;
    const int page = pages_.Page();
    if (page == editor::LastAnimationPage) {
        if (BuildAnimation()) accept();
        return;
    }
    if (page == editor::LastOptimizationPage) {
        if (FinishOptimization()) accept();
        return;
    }
    if (page == editor::FramesPage && session_ && !session_->Snapshot().Empty()) {
        estimateTimer_->stop();
        editor::TBusyCursor busy(*environment_.Prompter);
        session_->Optimize(OptimizationChoices());
    }
    if (pages_.Next()) ShowPage();
}

void TfrmWizards::btnHelpClick() {
    const QString page = QUrl::fromLocalFile(environment_.HelpPage).toString();
    editor::ShellOpen(*environment_.Prompter,
                      page + QString("#context-%1").arg(editor::HelpContext(pages_.Mode())));
}

void TfrmWizards::btnNewClick() {
    if (environment_.HideStartupAnimation) environment_.HideStartupAnimation();
    welcomeChoice_ = wcNew;
    pages_.SwitchToAnimationWizard();
    ShowMode();
}

void TfrmWizards::btnOpenClick() {
    if (environment_.HideStartupAnimation) environment_.HideStartupAnimation();
    welcomeChoice_ = wcOpen;
    accept();
}

void TfrmWizards::btnRecentClick() {
    if (environment_.HideStartupAnimation) environment_.HideStartupAnimation();
    welcomeChoice_ = wcRecent;
    c_.lbRecent->clear();
    for (const QString& caption : environment_.RecentCaptions)
        c_.lbRecent->addItem(caption.mid(CaptionNumberWidth));
    setWindowTitle("Recent Files");
    heading_->SetTitle("Recent Files");
    c_.Pages->setCurrentIndex(RecentIndex);
    c_.pnlTips->hide();
    c_.chkShowAtStartup->hide();
    btnOK_->show();
    btnOK_->setDefault(true);
    btnOK_->setEnabled(false);
}

void TfrmWizards::ShowRecentPreview() {
    const QString path = RecentPath();
    btnOK_->setEnabled(!path.isEmpty());
    c_.imgRecent->clear();
    if (path.isEmpty() || !environment_.Prompter) return;
    gif::TGIFImage image;
    if (!editor::LoadGifFile(*environment_.Prompter, image, path) || image.Empty()) return;
    // A still picture: the first frame, not played.
    image.SetDrawOptions(image.DrawOptions() & ~(gif::doAnimate | gif::doLoop | gif::doAsync));
    const gif::TBitmap* bitmap = image.Bitmap();
    if (!bitmap) return;
    const QImage picture = editor::BitmapImage(*bitmap).copy();
    c_.imgRecent->setPixmap(QPixmap::fromImage(picture).scaled(
        c_.imgRecent->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TfrmWizards::btnNextTipClick() {
    tips_.Next();
    c_.lblTip->setText(tips_.Current());
}

void TfrmWizards::btnAddImageClick() {
    if (!environment_.Prompter) return;
    editor::TFileQuestion question;
    question.Filter = QString::fromStdString(io::PictureFilterString());
    question.InitialDir = environment_.PictureFolder;
    question.Multiple = true;
    AddImages(environment_.Prompter->AskOpenFileNames(question));
}

void TfrmWizards::ChoicesChanged() {
    if (!session_ || session_->Snapshot().Empty()) return;
    const int page = pages_.Page();
    if (page != editor::PalettesPage && page != editor::FramesPage) return;
    session_->Estimator().Request(OptimizationChoices());
    ShowEstimate();
    estimateTimer_->start();
}

void TfrmWizards::ShowEstimate() {
    if (!session_ || !session_->EstimateStarted()) return;
    const editor::TSizeEstimator::TState state = session_->Estimator().State();
    QString text;
    if (state.Running)
        text = "Estimating the optimized size...";
    else if (state.Size)
        text = "Estimated size: " + editor::BytesText(*state.Size) + ", savings: " +
               editor::SavingsText(session_->CurrentSize(), *state.Size);
    else if (!state.Error.empty())
        text = "Could not estimate the size: " + QString::fromStdString(state.Error);
    for (int i = 0; i < 2; ++i) {
        c_.lblEstimate[i]->setText(text);
        c_.prgEstimate[i]->setValue(state.Running ? state.Percent : 100);
        c_.prgEstimate[i]->setVisible(state.Running);
    }
    if (!state.Running) estimateTimer_->stop();
}

void TfrmWizards::ShowResults() {
    if (!session_) return;
    const int64_t current = session_->CurrentSize();
    const gif::TGIFImage* optimized = session_->Optimized();
    const int64_t size = optimized ? session_->OptimizedSize() : current;
    c_.lblCurrentSize->setText(editor::BytesText(current));
    c_.lblOptimizedSize->setText(editor::BytesText(size));
    c_.lblSavings->setText(editor::SavingsText(current, size));
    ShowDownloadTime();
    if (c_.imgPreview && optimized && !optimized->Empty()) {
        auto copy = std::make_unique<gif::TGIFImage>();
        copy->Assign(optimized);
        c_.imgPreview->resize(copy->Width(), copy->Height());
        c_.imgPreview->SetPicture(std::move(copy));
        c_.imgPreview->update();
    }
}

void TfrmWizards::ShowDownloadTime() {
    if (!session_) return;
    c_.lblDownload->setText(editor::DownloadText(session_->CurrentSize(), c_.cbBps->currentText()));
}

bool TfrmWizards::BuildAnimation() {
    if (!environment_.Workspace) return false;
    std::unique_ptr<gif::TGIFImage> image;
    {
        editor::TBusyCursor busy(*environment_.Prompter);
        image = editor::BuildAnimation(environment_.Workspace->Context(), AnimationChoices(),
                                       images_.Paths());
    }
    if (!image) {
        // The loading routine told about each file; the wizard stays for another choice.
        environment_.Prompter->Message(editor::TMessageKind::Warning,
                                       "None of the images could be loaded.");
        return false;
    }
    return editor::AdoptAsNewDocument(*environment_.Workspace, std::move(image));
}

bool TfrmWizards::FinishOptimization() {
    if (!environment_.Workspace || !session_ || !session_->Optimized()) return true;
    if (c_.imgPreview) c_.imgPreview->DropPicture();
    if (c_.optCurAni->isChecked())
        return editor::ReplaceActiveAnimation(*environment_.Workspace, *session_->Optimized());
    auto copy = std::make_unique<gif::TGIFImage>();
    copy->Assign(session_->Optimized());
    copy->ReductionMethod = session_->Optimized()->ReductionMethod;
    copy->DitherMethod = session_->Optimized()->DitherMethod;
    return editor::AdoptAsNewDocument(*environment_.Workspace, std::move(copy));
}

void TfrmWizards::done(int result) {
    // The welcome setting is written whenever a window opened as the welcome window closes.
    if (openedAsWelcome_ && environment_.Config)
        environment_.Config->SetValue(editor::keys::WelcomeDialog,
                                      c_.chkShowAtStartup->isChecked() ? 1 : 0);
    estimateTimer_->stop();
    if (c_.imgPreview) c_.imgPreview->DropPicture();
    // No estimate outlives the window's use: the worker is cancelled and ended here.
    session_.reset();
    QDialog::done(result);
}

} // namespace dialogs
