// TfrmExporter ("Export Images"): chooses frames of the working image and the format and
// options to write them in. Closing it with OK writes the files (editor::ExportImagesOnOk);
// a cancelled save dialog keeps it open with its choices.
#pragma once

#include <QDialog>
#include <vector>

#include "io/export/frame_export.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;

namespace editor {
class IPrompter;
}
namespace gif {
class TGIFImage;
}

namespace dialogs {

class TfrmExporter : public QDialog {
    Q_OBJECT
public:
    // One line "Frame - N" for each of `frameCount` entries of the frame list; the preview
    // and the export read `image`, which must outlive the dialog.
    TfrmExporter(gif::TGIFImage& image, int frameCount, editor::IPrompter& prompter,
                 QWidget* parent = nullptr);

    // The choices as the export takes them.
    io::TExportOptions Options() const;
    // The selected lines' indices, in list order.
    std::vector<int> SelectedFrames() const;
    // The quality of each slider position, top to bottom.
    static constexpr int Qualities[5] = {100, 75, 50, 25, 1};
    // The smoothing of "S&moothing" (libjpeg's factor, 0 to 100): enough to soften dithering
    // noise without blurring edges much.
    static constexpr int SmoothingFactor = 30;

    // Runs the export; closes the dialog unless the save dialog was cancelled.
    void accept() override;

    QLabel* lblInstructions = nullptr;
    QListWidget* lbExport = nullptr;
    QScrollArea* sbPreview = nullptr;
    QLabel* imgPreview = nullptr;
    QRadioButton* optGIF = nullptr;
    QRadioButton* optJpeg = nullptr;
    QRadioButton* optBitmap = nullptr;
    QWidget* pnlGIF = nullptr;
    QRadioButton* optGIFNetscape = nullptr;
    QRadioButton* optGIFGray = nullptr;
    QRadioButton* optGIFMonochrome = nullptr;
    QRadioButton* optGIFWindows = nullptr;
    QRadioButton* optGIFWinSys20 = nullptr;
    QComboBox* cbGIFColors = nullptr;
    QCheckBox* chkGIFOptimized = nullptr;
    QWidget* pnlJPEG = nullptr;
    QSlider* trackbar = nullptr;
    QCheckBox* chkJGrayscale = nullptr;
    QRadioButton* optJBestQuality = nullptr;
    QRadioButton* optJBestSpeed = nullptr;
    QCheckBox* chkJProgressive = nullptr;
    QCheckBox* chkJSmoothing = nullptr;
    QWidget* pnlBitmap = nullptr;
    QCheckBox* chkBMono = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    QWidget* CreateGifPanel();
    QWidget* CreateJpegPanel();
    QWidget* CreateBitmapPanel();
    // Shows the options panel of the chosen format and hides the other two.
    void FormatClick();
    void lbExportClick(int row);

    gif::TGIFImage& image_;
    editor::IPrompter& prompter_;
};

} // namespace dialogs
