#include "dialogs/exporter/exporter_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include "editor/core/bitmap_image.h"
#include "editor/document/export_commands.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"

namespace dialogs {

namespace {

constexpr const char* Instructions =
    "To export any or all the frames as individual image files simply select the from the "
    "list and choose the image format options, then press OK.";

QRadioButton* Radio(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    return button;
}

QCheckBox* Check(const QString& caption, const char* name, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

TfrmExporter::TfrmExporter(gif::TGIFImage& image, int frameCount, editor::IPrompter& prompter,
                           QWidget* parent)
    : QDialog(parent), image_(image), prompter_(prompter) {
    setObjectName("frmExporter");
    setWindowTitle("Export Images");
    setModal(true);

    lblInstructions = new QLabel(Instructions, this);
    lblInstructions->setWordWrap(true);

    lbExport = new QListWidget(this);
    lbExport->setObjectName("lbExport");
    lbExport->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (int i = 0; i < frameCount; ++i)
        lbExport->addItem(QStringLiteral("Frame") + " - " + QString::number(i));
    lbExport->setCurrentRow(-1);
    lbExport->clearSelection();
    lbExport->setFixedWidth(130);
    connect(lbExport, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { lbExportClick(lbExport->row(item)); });
    // The preview follows the keyboard too.
    connect(lbExport, &QListWidget::currentRowChanged, this, &TfrmExporter::lbExportClick);

    sbPreview = new QScrollArea(this);
    sbPreview->setObjectName("sbPreview");
    imgPreview = new QLabel(sbPreview);
    imgPreview->setObjectName("imgPreview");
    imgPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sbPreview->setWidget(imgPreview);
    sbPreview->setWidgetResizable(true);
    sbPreview->setMinimumSize(220, 160);

    auto* formats = new QGroupBox("Export Image(s) as", this);
    optGIF = Radio("&Gif Image (*.gif)", "optGIF", formats);
    optJpeg = Radio("&Jpeg Image (*.jpg)", "optJpeg", formats);
    optBitmap = Radio("&Bitmap Image (*.bmp)", "optBitmap", formats);
    auto* formatLayout = new QVBoxLayout(formats);
    for (QRadioButton* button : {optGIF, optJpeg, optBitmap}) {
        formatLayout->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) FormatClick();
        });
    }
    formatLayout->addStretch();

    pnlGIF = CreateGifPanel();
    pnlJPEG = CreateJpegPanel();
    pnlBitmap = CreateBitmapPanel();
    auto* panels = new QHBoxLayout;
    panels->addWidget(pnlGIF);
    panels->addWidget(pnlJPEG);
    panels->addWidget(pnlBitmap);

    Progress = new QProgressBar(this);
    Progress->setObjectName("Progress");
    Progress->setTextVisible(false);
    Progress->hide();

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOK, &QPushButton::clicked, this, &TfrmExporter::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmExporter::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(lbExport);
    top->addWidget(sbPreview, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(formats);
    options->addLayout(panels, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Progress, 1);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblInstructions);
    layout->addLayout(top, 1);
    layout->addLayout(options);
    layout->addLayout(buttons);

    optGIF->setChecked(true);
    FormatClick();
}

QWidget* TfrmExporter::CreateGifPanel() {
    auto* panel = new QGroupBox("Color Palette", this);
    panel->setObjectName("pnlGIF");
    optGIFNetscape = Radio("&Netscape (216 colors)", "optGIFNetscape", panel);
    optGIFGray = Radio("G&rayscale (255 shades)", "optGIFGray", panel);
    optGIFMonochrome = Radio("&Monochrome (b&&w)", "optGIFMonochrome", panel);
    optGIFWindows = Radio("&Windows", "optGIFWindows", panel);
    optGIFWinSys20 = Radio("Windows &System (20 colors)", "optGIFWinSys20", panel);
    cbGIFColors = new QComboBox(panel);
    cbGIFColors->setObjectName("cbGIFColors");
    cbGIFColors->addItems({"256", "128", "64", "32", "16", "8"});
    cbGIFColors->setCurrentIndex(0);
    chkGIFOptimized = Check("&Optimized", "chkGIFOptimized", panel);
    chkGIFOptimized->setChecked(true);
    optGIFNetscape->setChecked(true);
    // The colour count belongs to the Windows palette only.
    cbGIFColors->setEnabled(false);
    connect(optGIFWindows, &QRadioButton::toggled, cbGIFColors, &QComboBox::setEnabled);

    auto* layout = new QGridLayout(panel);
    layout->addWidget(optGIFNetscape, 0, 0, 1, 3);
    layout->addWidget(optGIFGray, 1, 0, 1, 3);
    layout->addWidget(optGIFMonochrome, 2, 0, 1, 3);
    layout->addWidget(optGIFWindows, 3, 0);
    layout->addWidget(cbGIFColors, 3, 1);
    layout->addWidget(new QLabel("(colors)", panel), 3, 2);
    layout->addWidget(optGIFWinSys20, 4, 0, 1, 3);
    layout->addWidget(chkGIFOptimized, 5, 0, 1, 3);
    layout->setColumnStretch(2, 1);
    return panel;
}

QWidget* TfrmExporter::CreateJpegPanel() {
    auto* panel = new QGroupBox("JPEG Options", this);
    panel->setObjectName("pnlJPEG");
    auto* quality = new QLabel("&Compresson Quality", panel);
    trackbar = new QSlider(Qt::Vertical, panel);
    trackbar->setObjectName("trackbar");
    trackbar->setRange(0, 4);
    trackbar->setPageStep(1);
    trackbar->setInvertedAppearance(true);   // position 0 ("Excellent") at the top
    trackbar->setInvertedControls(true);
    trackbar->setTickPosition(QSlider::TicksRight);
    trackbar->setTickInterval(1);
    trackbar->setValue(2);
    trackbar->setFixedHeight(90);
    quality->setBuddy(trackbar);
    chkJGrayscale = Check("G&rayscale", "chkJGrayscale", panel);
    optJBestQuality = Radio("Best &Quality", "optJBestQuality", panel);
    optJBestSpeed = Radio("Best &Speed", "optJBestSpeed", panel);
    optJBestQuality->setChecked(true);
    chkJProgressive = Check("&Progressive Display", "chkJProgressive", panel);
    chkJSmoothing = Check("S&moothing", "chkJSmoothing", panel);
    chkJSmoothing->setEnabled(false);
    connect(chkJProgressive, &QCheckBox::toggled, this, [this](bool on) {
        chkJSmoothing->setEnabled(on);
        if (!on) chkJSmoothing->setChecked(false);
    });

    auto* scale = new QVBoxLayout;
    scale->addWidget(new QLabel("Excellent", panel));
    scale->addStretch();
    scale->addWidget(new QLabel("Poor", panel));
    auto* slider = new QHBoxLayout;
    slider->addWidget(trackbar);
    slider->addLayout(scale);
    auto* left = new QVBoxLayout;
    left->addWidget(quality);
    left->addLayout(slider);
    auto* right = new QVBoxLayout;
    right->addWidget(chkJGrayscale);
    right->addWidget(optJBestQuality);
    right->addWidget(optJBestSpeed);
    right->addWidget(chkJProgressive);
    right->addWidget(chkJSmoothing);
    right->addStretch();
    auto* layout = new QHBoxLayout(panel);
    layout->addLayout(left);
    layout->addSpacing(12);
    layout->addLayout(right, 1);
    return panel;
}

QWidget* TfrmExporter::CreateBitmapPanel() {
    auto* panel = new QGroupBox("Bitmap Options", this);
    panel->setObjectName("pnlBitmap");
    chkBMono = Check("&Monochrome (b&&w)", "chkBMono", panel);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(chkBMono);
    layout->addStretch();
    return panel;
}

void TfrmExporter::FormatClick() {
    pnlGIF->setVisible(optGIF->isChecked());
    pnlJPEG->setVisible(optJpeg->isChecked());
    pnlBitmap->setVisible(optBitmap->isChecked());
}

void TfrmExporter::lbExportClick(int row) {
    // The picture changes without a redraw in between.
    sbPreview->setUpdatesEnabled(false);
    QPixmap picture;
    if (row >= 0 && row < image_.FrameCount() && !image_.Frame(row)->IsBlank()) {
        if (const gif::TBitmap* bitmap = image_.Frame(row)->FrameBitmap())
            picture = QPixmap::fromImage(editor::BitmapImage(*bitmap));
    }
    imgPreview->setPixmap(picture);
    sbPreview->setUpdatesEnabled(true);
}

io::TExportOptions TfrmExporter::Options() const {
    io::TExportOptions options;
    options.Format = optJpeg->isChecked()     ? io::TExportFormat::efJpeg
                     : optBitmap->isChecked() ? io::TExportFormat::efBitmap
                                              : io::TExportFormat::efGif;
    options.GifReduction = optGIFGray->isChecked()         ? gif::crGray256
                           : optGIFMonochrome->isChecked() ? gif::crMonochrome
                           : optGIFWindows->isChecked()    ? gif::crOptimized
                           : optGIFWinSys20->isChecked()   ? gif::crSystem20
                                                           : gif::crWeb216;
    options.GifColors = cbGIFColors->currentText().toInt();
    options.GifOptimized = chkGIFOptimized->isChecked();
    options.Jpeg.Quality = Qualities[qBound(0, trackbar->value(), 4)];
    options.Jpeg.Grayscale = chkJGrayscale->isChecked();
    options.Jpeg.FastDct = optJBestSpeed->isChecked();
    options.Jpeg.Progressive = chkJProgressive->isChecked();
    options.Jpeg.Smoothing = chkJSmoothing->isChecked() ? SmoothingFactor : 0;
    options.BitmapMonochrome = chkBMono->isChecked();
    return options;
}

std::vector<int> TfrmExporter::SelectedFrames() const {
    std::vector<int> frames;
    for (int row = 0; row < lbExport->count(); ++row)
        if (lbExport->item(row)->isSelected()) frames.push_back(row);
    return frames;
}

void TfrmExporter::accept() {
    editor::TExportProgress progress;
    progress.Start = [this](int maximum) {
        Progress->setRange(0, maximum);
        Progress->setValue(0);
        Progress->show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    progress.Step = [this] {
        Progress->setValue(Progress->value() + 1);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    if (editor::ExportImagesOnOk(prompter_, image_, SelectedFrames(), Options(), {}, progress))
        QDialog::accept();
}

} // namespace dialogs
