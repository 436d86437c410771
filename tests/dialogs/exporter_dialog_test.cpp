// The Export Images dialog, driven through its controls with scripted answers.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include "dialogs/exporter/exporter_dialog.h"
#include "editor/support/editor_test_util.h"
#include "editor/support/scripted_prompter.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"

using dialogs::TfrmExporter;

namespace {

class ExporterDialogTest : public ::testing::Test {
  protected:
    void Select(std::initializer_list<int> rows) {
        for (int row : rows) dialog.lbExport->item(row)->setSelected(true);
    }

    QTemporaryDir dir;
    std::unique_ptr<gif::TGIFImage> image = editortest::MakeAnimation(3, 12, 8);
    editortest::TScriptedPrompter prompter;
    TfrmExporter dialog{*image, 3, prompter};
};

TEST_F(ExporterDialogTest, StartsWithTheDefaults) {
    EXPECT_EQ(dialog.windowTitle(), "Export Images");
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(dialog.lblInstructions->text(),
              "To export any or all the frames as individual image files simply select the from "
              "the list and choose the image format options, then press OK.");
    ASSERT_EQ(dialog.lbExport->count(), 3);
    EXPECT_EQ(dialog.lbExport->item(2)->text(), "Frame - 2");
    EXPECT_EQ(dialog.lbExport->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(dialog.SelectedFrames().empty());
    EXPECT_EQ(dialog.optGIF->text(), "&Gif Image (*.gif)");
    EXPECT_EQ(dialog.optJpeg->text(), "&Jpeg Image (*.jpg)");
    EXPECT_EQ(dialog.optBitmap->text(), "&Bitmap Image (*.bmp)");
    EXPECT_TRUE(dialog.optGIF->isChecked());
    EXPECT_TRUE(dialog.optGIFNetscape->isChecked());
    EXPECT_EQ(dialog.optGIFMonochrome->text(), "&Monochrome (b&&w)");
    EXPECT_EQ(dialog.cbGIFColors->currentText(), "256");
    EXPECT_EQ(dialog.cbGIFColors->count(), 6);
    EXPECT_TRUE(dialog.chkGIFOptimized->isChecked());
    EXPECT_EQ(dialog.trackbar->value(), 2);
    EXPECT_FALSE(dialog.chkJGrayscale->isChecked());
    EXPECT_FALSE(dialog.chkBMono->isChecked());
    EXPECT_TRUE(dialog.Progress->isHidden());

    const io::TExportOptions options = dialog.Options();
    EXPECT_EQ(options.Format, io::TExportFormat::efGif);
    EXPECT_EQ(options.GifReduction, gif::crWeb216);
    EXPECT_EQ(options.Jpeg.Quality, 50);
    EXPECT_TRUE(options.GifOptimized);
    EXPECT_FALSE(options.Jpeg.Progressive);
    EXPECT_FALSE(options.Jpeg.FastDct);
}

TEST_F(ExporterDialogTest, EachFormatShowsItsOwnPanel) {
    dialog.show();
    QRadioButton* formats[] = {dialog.optGIF, dialog.optJpeg, dialog.optBitmap};
    QWidget* panels[] = {dialog.pnlGIF, dialog.pnlJPEG, dialog.pnlBitmap};
    for (int f = 0; f < 3; ++f) {
        formats[f]->click();
        for (int p = 0; p < 3; ++p) EXPECT_EQ(panels[p]->isVisible(), p == f) << f << " " << p;
        EXPECT_EQ(int(dialog.Options().Format), f);
    }
}

TEST_F(ExporterDialogTest, ChoicesBecomeTheExportOptions) {
    const std::pair<QRadioButton*, uint8_t> palettes[] = {
        {dialog.optGIFGray, gif::crGray256},   {dialog.optGIFMonochrome, gif::crMonochrome},
        {dialog.optGIFWindows, gif::crOptimized}, {dialog.optGIFWinSys20, gif::crSystem20},
        {dialog.optGIFNetscape, gif::crWeb216}};
    for (auto [button, reduction] : palettes) {
        button->click();
        EXPECT_EQ(dialog.Options().GifReduction, reduction);
        // The colour count is only offered with the Windows palette.
        EXPECT_EQ(dialog.cbGIFColors->isEnabled(), reduction == gif::crOptimized);
    }
    dialog.cbGIFColors->setCurrentText("16");
    EXPECT_EQ(dialog.Options().GifColors, 16);
    dialog.chkGIFOptimized->setChecked(false);
    EXPECT_FALSE(dialog.Options().GifOptimized);

    // Slider positions top to bottom.
    const int qualities[] = {100, 75, 50, 25, 1};
    for (int position = 0; position < 5; ++position) {
        dialog.trackbar->setValue(position);
        EXPECT_EQ(dialog.Options().Jpeg.Quality, qualities[position]);
    }
    dialog.chkJGrayscale->setChecked(true);
    dialog.optJBestSpeed->click();
    EXPECT_TRUE(dialog.Options().Jpeg.Grayscale);
    EXPECT_TRUE(dialog.Options().Jpeg.FastDct);

    // Smoothing goes with the progressive display only.
    EXPECT_FALSE(dialog.chkJSmoothing->isEnabled());
    dialog.chkJProgressive->setChecked(true);
    EXPECT_TRUE(dialog.chkJSmoothing->isEnabled());
    dialog.chkJSmoothing->setChecked(true);
    EXPECT_GT(dialog.Options().Jpeg.Smoothing, 0);
    dialog.chkJProgressive->setChecked(false);
    EXPECT_FALSE(dialog.chkJSmoothing->isChecked());
    EXPECT_FALSE(dialog.chkJSmoothing->isEnabled());
    EXPECT_EQ(dialog.Options().Jpeg.Smoothing, 0);

    dialog.chkBMono->setChecked(true);
    EXPECT_TRUE(dialog.Options().BitmapMonochrome);
}

TEST_F(ExporterDialogTest, ClickingALineShowsThatFrame) {
    dialog.show();
    QListWidget* list = dialog.lbExport;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    ASSERT_FALSE(dialog.imgPreview->pixmap().isNull());
    EXPECT_EQ(dialog.imgPreview->pixmap().size(), QSize(12, 8));
    EXPECT_TRUE(dialog.sbPreview->updatesEnabled());
}

TEST_F(ExporterDialogTest, CancelInTheSaveDialogKeepsTheDialogWithItsChoices) {
    dialog.show();
    dialog.optJpeg->click();
    dialog.trackbar->setValue(0);
    Select({0, 2});
    prompter.ThenFiles({});
    dialog.btnOK->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(prompter.FileDialogs.size(), 1u);
    EXPECT_TRUE(dialog.optJpeg->isChecked());
    EXPECT_EQ(dialog.trackbar->value(), 0);
    EXPECT_EQ(dialog.SelectedFrames(), (std::vector<int>{0, 2}));
    EXPECT_TRUE(dialog.Progress->isHidden());

    // OK again with a name: the files are written and the dialog closes.
    prompter.ThenFiles({dir.filePath("x.jpg")});
    dialog.btnOK->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"xGL10.jpg", "xGL12.jpg"}));
    EXPECT_EQ(dialog.Progress->maximum(), 2);
    EXPECT_EQ(dialog.Progress->value(), 2);
}

TEST_F(ExporterDialogTest, OkWithoutSelectionSimplyCloses) {
    dialog.show();
    dialog.btnOK->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(prompter.FileDialogs.empty());
}

} // namespace
