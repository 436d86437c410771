#include "dialogs/openpreview/open_preview.h"

#include "editor/core/bitmap_image.h"
#include "editor/core/settings.h"
#include "gif/graphics/bitmap.h"
#include "io/xpress/xpress.h"

#include <QFileInfo>
#include <QLabel>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

namespace dialogs {

namespace {

// The program's "description|patterns|..." filter as Qt's name filters.
QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        if (patterns == "*.*") patterns = "*";
        QString caption = parts[i];
        const int open = caption.lastIndexOf('(');
        if (open > 0) caption = caption.left(open).trimmed();
        result << QString("%1 (%2)").arg(caption, patterns);
    }
    return result;
}

} // namespace

TPreview PreviewOf(const QString& path) {
    TPreview preview;
    if (path.isEmpty() || !QFileInfo(path).isFile()) return preview;
    io::TXpress xpress;
    xpress.SetFileName(QFile::encodeName(path).toStdString());
    if (xpress.Error() != io::xeNone) {
        preview.Text = "Unabled to load image.";
        return preview;
    }
    preview.Text = QString("Dimensions: (%1 x %2)").arg(xpress.Width32()).arg(xpress.Height32());
    const std::vector<uint8_t> dib = xpress.CopyPicture();
    xpress.Release();
    try {
        gif::TBitmap bitmap;
        bitmap.LoadFromDIB(dib);
        preview.Picture = editor::BitmapImage(bitmap).copy();
    } catch (const std::exception&) {
        preview.Text = "Unabled to load image.";
    }
    return preview;
}

TOpenPreviewDialog::TOpenPreviewDialog(editor::Settings& settings,
                                       const editor::TFileQuestion& question, QWidget* parent)
    : QFileDialog(parent, QString(), question.InitialDir), settings_(settings) {
    setObjectName("dlgOpenPreview");
    // The preview lives inside the dialog's own widgets, so Qt's dialog it must be.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(question.Multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    setNameFilters(QtNameFilters(question.Filter));
    if (!question.FileName.isEmpty()) selectFile(question.FileName);
    if (settings.Value(editor::keys::NoOpenDlgPreview) != 0) return;

    splitter_ = findChild<QSplitter*>("splitter");
    if (!splitter_) return;
    panel_ = new QWidget;
    panel_->setObjectName("pnlPreview");
    auto* layout = new QVBoxLayout(panel_);
    layout->setContentsMargins(4, 0, 0, 0);
    sbxPreview = new QScrollArea(panel_);
    sbxPreview->setObjectName("sbxPreview");
    sbxPreview->setAlignment(Qt::AlignCenter);
    imgPreview = new QLabel;
    imgPreview->setObjectName("imgPreview");
    sbxPreview->setWidget(imgPreview);
    sbxPreview->setWidgetResizable(false);
    lblDimensions = new QLabel(panel_);
    lblDimensions->setObjectName("lblDimensions");
    layout->addWidget(sbxPreview, 1);
    layout->addWidget(lblDimensions);
    splitter_->addWidget(panel_);
    splitter_->setCollapsible(splitter_->indexOf(panel_), false);
    const int stored = settings.Value(editor::keys::SplitterPreviewPos);
    const int width = stored > 40 ? stored : 220;
    QList<int> sizes = splitter_->sizes();
    if (!sizes.isEmpty()) {
        sizes.last() = width;
        splitter_->setSizes(sizes);
    }
    resize(std::max(this->width(), 820), std::max(height(), 460));
    connect(this, &QFileDialog::currentChanged, this, &TOpenPreviewDialog::ShowPreview);
}

TOpenPreviewDialog::~TOpenPreviewDialog() {
    if (panel_ && splitter_) {
        const int width = panel_->width();
        if (width > 0) settings_.SetValue(editor::keys::SplitterPreviewPos, width);
    }
}

void TOpenPreviewDialog::ShowPreview(const QString& path) {
    if (!imgPreview) return;
    const TPreview preview = PreviewOf(path);
    imgPreview->setPixmap(QPixmap::fromImage(preview.Picture));
    imgPreview->resize(preview.Picture.size());
    lblDimensions->setText(preview.Text);
}

QStringList AskOpenFileNamesWithPreview(editor::Settings& settings,
                                        const editor::TFileQuestion& question, QWidget* parent) {
    TOpenPreviewDialog dialog(settings, question, parent);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

} // namespace dialogs
