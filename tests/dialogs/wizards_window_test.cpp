// The wizards window driven through its buttons: every mode's pages and enabling, the
// welcome setting, the recent files, Help, and closing while an estimate runs.
#include "dialogs/common/number_field.h"
#include "dialogs/wizards/wizards_window.h"
#include "editor/document/workspace_fixture.h"
#include "editor/window/player.h"
#include "io/picture_filters.h"
#include "support/thread_count.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

using namespace dialogs;
using editor::TWizardMode;
using namespace editortest;

namespace {

class WizardsWindow : public WorkspaceTest {
  protected:
    TWizardEnvironment Environment() {
        TWizardEnvironment environment;
        environment.Workspace = &workspace;
        environment.Config = &settings;
        environment.Prompter = &prompter;
        environment.TipsFile = tipsFile;
        environment.ProgramFolder = dir.path();
        environment.HelpPage = dir.filePath("help.html");
        environment.PictureFolder = dir.path();
        environment.HideStartupAnimation = [this] { ++hidden; };
        return environment;
    }
    void WriteTips(const QByteArray& text) {
        tipsFile = dir.filePath("Tips.txt");
        QFile file(tipsFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    // Back enabled, Next enabled, Next's text.
    static QString Buttons(TfrmWizards& window) {
        return QString(window.BackButton()->isEnabled() ? "B" : "-") +
               (window.NextButton()->isEnabled() ? "N " : "- ") + window.NextButton()->text();
    }
    static void WaitForEstimate(TfrmWizards& window) {
        for (int i = 0; i < 3000 && window.Session()->Estimator().State().Running; ++i)
            QTest::qWait(2);
        QTest::qWait(60); // the line under the boxes follows on its timer
    }

    QString tipsFile;
    int hidden = 0;
};

} // namespace

TEST_F(WizardsWindow, AnimationWizardPagesButtonsAndFinish) {
    TfrmWizards window(TWizardMode::Animation, Environment());
    TWizardControls& c = window.Controls();
    EXPECT_EQ(window.windowTitle(), "Animation Wizard");
    EXPECT_FALSE(window.OkButton()->isVisibleTo(&window));
    EXPECT_TRUE(window.HelpButton()->isVisibleTo(&window));
    EXPECT_FALSE(c.pnlTips->isVisibleTo(&window));
    EXPECT_EQ(window.HeadingTitle(), "Animation Dimensions");
    EXPECT_EQ(Buttons(window), "-N &Next >");

    // Page 0: the size fields follow the custom choice and start again at 100.
    EXPECT_TRUE(c.optSizeFirst->isChecked());
    EXPECT_FALSE(c.udWidth->isEnabled());
    c.optSizeCustom->setChecked(true);
    EXPECT_TRUE(c.udWidth->isEnabled());
    c.udWidth->SetText("120");
    c.udHeight->SetText("80");
    window.btnNextClick();
    EXPECT_EQ(window.HeadingTitle(), "Frame Position and Size");
    EXPECT_EQ(Buttons(window), "BN &Next >");
    EXPECT_TRUE(c.optTopLeft->isChecked());
    c.optCenter->setChecked(true);
    window.btnNextClick();
    // Page 2: the play count field follows "Play it" and starts again at 1.
    EXPECT_TRUE(c.optLoopInfinite->isChecked());
    EXPECT_FALSE(c.udLoop->isEnabled());
    EXPECT_EQ(c.udDelay->Text(), "100");
    c.optLoopPlay->setChecked(true);
    EXPECT_TRUE(c.udLoop->isEnabled());
    EXPECT_EQ(c.udLoop->Text(), "1");
    c.udLoop->SetText("3");
    window.btnNextClick();
    // Page 3: Next only with pictures.
    EXPECT_EQ(window.HeadingTitle(), "Frame Images");
    EXPECT_EQ(Buttons(window), "B- &Next >");
    window.btnNextClick(); // disabled: nothing happens
    EXPECT_EQ(window.Pages().Page(), 3);
    const QStringList files = {WriteBmp("a.bmp", 200, 100), WriteBmp("b.bmp"), WriteBmp("c.bmp")};
    prompter.ThenFiles(files);
    QTest::mouseClick(c.btnAddImage, Qt::LeftButton);
    ASSERT_EQ(prompter.FileDialogs.size(), 1u);
    EXPECT_TRUE(prompter.FileDialogs[0].Multiple);
    EXPECT_EQ(prompter.FileDialogs[0].Filter, QString::fromStdString(io::PictureFilterString()));
    EXPECT_EQ(c.lbImages->count(), 3);
    EXPECT_EQ(c.lbImages->currentRow(), 0);
    EXPECT_TRUE(c.btnRemoveImage->isEnabled());
    EXPECT_FALSE(c.btnMoveUp->isEnabled());
    EXPECT_TRUE(c.btnMoveDown->isEnabled());
    EXPECT_EQ(Buttons(window), "BN &Next >");
    QTest::mouseClick(c.btnMoveDown, Qt::LeftButton);
    EXPECT_EQ(c.lbImages->item(1)->text(), files[0]);
    EXPECT_EQ(c.lbImages->currentRow(), 1);
    QTest::mouseClick(c.btnMoveUp, Qt::LeftButton);
    EXPECT_EQ(window.Images().Paths(), files);
    // Cancelling the file dialog adds nothing.
    prompter.ThenFiles({});
    window.btnAddImageClick();
    EXPECT_EQ(c.lbImages->count(), 3);

    window.btnNextClick();
    EXPECT_EQ(window.HeadingTitle(), "Finish Wizard");
    EXPECT_EQ(Buttons(window), "BN &Finish");
    window.btnBackClick();
    EXPECT_EQ(Buttons(window), "BN &Next >");
    window.btnNextClick();

    window.btnHelpClick();
    ASSERT_EQ(prompter.Opened.size(), 1);
    EXPECT_TRUE(prompter.Opened[0].endsWith("help.html#context-301"));

    window.btnNextClick(); // Finish
    EXPECT_EQ(window.result(), QDialog::Accepted);
    host.Pump();
    ASSERT_EQ(workspace.DocumentCount(), 1);
    gif::TGIFImage& built = workspace.WorkingImage();
    EXPECT_EQ(built.FrameCount(), 3);
    EXPECT_EQ(built.Width(), 120);
    EXPECT_EQ(built.Height(), 80);
    EXPECT_EQ(editor::GetPlayCount(built), 3);
}

TEST_F(WizardsWindow, OptimizationWizardShowsTheEstimateAndTheResults) {
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("a.gif", 6, 40, 30)));
    const int history = Active().History().Count();
    TfrmWizards window(TWizardMode::Optimization, Environment());
    TWizardControls& c = window.Controls();
    EXPECT_EQ(window.windowTitle(), "Optimization Wizard");
    EXPECT_EQ(window.HeadingTitle(), "Animation Output ");
    EXPECT_EQ(Buttons(window), "-N &Next >");
    EXPECT_TRUE(c.optCurAni->isChecked());
    window.btnNextClick();
    EXPECT_EQ(window.HeadingTitle(), "Palettes");
    EXPECT_TRUE(c.chkPaletteSort->isChecked());
    EXPECT_TRUE(c.chkOptAll->isEnabled());
    EXPECT_FALSE(c.chkRemoveLocal->isEnabled()); // no frame has a local table
    ASSERT_TRUE(window.Session()->EstimateStarted());
    WaitForEstimate(window);
    EXPECT_TRUE(c.lblEstimate[0]->text().startsWith("Estimated size: ")) << c.lblEstimate[0]->text().toStdString();
    window.btnNextClick();
    EXPECT_EQ(window.HeadingTitle(), "Frames");
    c.chkTrim->setChecked(true);
    c.chkDupPixels->setChecked(true);
    c.chkNonVisible->setChecked(true);
    WaitForEstimate(window);
    const auto estimate = window.Session()->Estimator().State().Size;
    ASSERT_TRUE(estimate.has_value());
    EXPECT_TRUE(c.lblEstimate[1]->text().contains(editor::BytesText(*estimate)));
    window.btnNextClick();
    EXPECT_EQ(window.HeadingTitle(), "Finish Wizard");
    EXPECT_EQ(Buttons(window), "BN &Finish");
    const int64_t current = window.Session()->CurrentSize();
    EXPECT_EQ(c.lblCurrentSize->text(), editor::BytesText(current));
    EXPECT_EQ(c.lblOptimizedSize->text(), editor::BytesText(*estimate));
    EXPECT_EQ(c.lblSavings->text(), editor::SavingsText(current, *estimate));
    EXPECT_EQ(c.cbBps->currentText(), "28.8");
    EXPECT_EQ(c.lblDownload->text(), editor::DownloadText(current, "28.8"));
    c.cbBps->setCurrentIndex(0);
    EXPECT_EQ(c.lblDownload->text(), editor::DownloadText(current, "14.4"));
    ASSERT_NE(c.imgPreview->Picture(), nullptr); // the optimised copy plays beside them
    window.btnHelpClick();
    EXPECT_TRUE(prompter.Opened.value(0).endsWith("#context-302"));

    window.btnNextClick(); // Finish: replace
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(Active().History().Count(), history + 1);
    EXPECT_EQ(editor::EncodedSize(workspace.WorkingImage()), *estimate);
}

TEST_F(WizardsWindow, ClosingWhileAnEstimateRunsLeavesNoThreadOrFile) {
    // Large enough that the estimate is still running when the window closes.
    ASSERT_TRUE(workspace.OpenGifDocument(WriteGif("big.gif", 40, 300, 200)));
    const QStringList temps = TempFiles();
    const int threads = testsupport::ThreadCount();
    for (int round = 0; round < 2; ++round) {
        TfrmWizards window(TWizardMode::Optimization, Environment());
        window.btnNextClick();
        window.btnNextClick();
        window.Controls().chkSmallest->setChecked(round == 1);
        window.Controls().chkDupPixels->setChecked(true);
        EXPECT_TRUE(window.Session()->Estimator().State().Running);
        window.reject();
        EXPECT_EQ(window.Session(), nullptr);
        EXPECT_TRUE(testsupport::ThreadsDownTo(threads));
    }
    EXPECT_EQ(TempFiles(), temps);
    EXPECT_EQ(workspace.DocumentCount(), 1);
    EXPECT_FALSE(Active().Modified());
}

TEST_F(WizardsWindow, WelcomeRemembersItsCheckBoxAndOffersRecentFiles) {
    WriteTips("One\nTwo\n");
    const QString recent = WriteGif("recent.gif", 2);
    TWizardEnvironment environment = Environment();
    environment.RecentCaptions = {"&0 " + recent};
    {
        TfrmWizards window(TWizardMode::Welcome, environment);
        TWizardControls& c = window.Controls();
        EXPECT_EQ(window.windowTitle(), "Welcome to GIF Loopwright");
        EXPECT_TRUE(c.pnlTips->isVisibleTo(&window));
        EXPECT_FALSE(window.NextButton()->isVisibleTo(&window));
        EXPECT_FALSE(c.btnRecent->isEnabled()); // the recent-files menu is hidden
        EXPECT_FALSE(c.chkShowAtStartup->isChecked());
        EXPECT_EQ(c.lblTip->text(), "One");
        QTest::mouseClick(c.btnNextTip, Qt::LeftButton);
        EXPECT_EQ(c.lblTip->text(), "Two");
        QTest::mouseClick(c.btnNextTip, Qt::LeftButton);
        EXPECT_EQ(c.lblTip->text(), "One");
        c.chkShowAtStartup->setChecked(true);
        window.reject();
    }
    EXPECT_EQ(settings.Value(editor::keys::WelcomeDialog), 1);

    environment.RecentVisible = true;
    TfrmWizards window(TWizardMode::Welcome, environment);
    TWizardControls& c = window.Controls();
    EXPECT_TRUE(c.chkShowAtStartup->isChecked());
    ASSERT_TRUE(c.btnRecent->isEnabled());
    QTest::mouseClick(c.btnRecent, Qt::LeftButton);
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(window.windowTitle(), "Recent Files");
    ASSERT_EQ(c.lbRecent->count(), 1);
    EXPECT_EQ(c.lbRecent->item(0)->text(), recent);
    EXPECT_FALSE(window.OkButton()->isEnabled());
    c.lbRecent->setCurrentRow(0);
    EXPECT_TRUE(window.OkButton()->isEnabled());
    EXPECT_FALSE(c.imgRecent->pixmap().isNull()); // the still preview
    c.chkShowAtStartup->setChecked(false);
    QTest::mouseClick(window.OkButton(), Qt::LeftButton);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.WelcomeChoice(), wcRecent);
    EXPECT_EQ(window.RecentPath(), recent);
    EXPECT_EQ(settings.Value(editor::keys::WelcomeDialog), 0);
}

TEST_F(WizardsWindow, WelcomeNewBecomesTheAnimationWizardAndOpenClosesWithItsChoice) {
    {
        TfrmWizards window(TWizardMode::Welcome, Environment());
        QTest::mouseClick(window.Controls().btnNew, Qt::LeftButton);
        EXPECT_EQ(window.windowTitle(), "Animation Wizard");
        EXPECT_EQ(window.Pages().Page(), 0);
        EXPECT_TRUE(window.NextButton()->isVisibleTo(&window));
        EXPECT_FALSE(window.Controls().pnlTips->isVisibleTo(&window));
    }
    TfrmWizards window(TWizardMode::Welcome, Environment());
    QTest::mouseClick(window.Controls().btnOpen, Qt::LeftButton);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.WelcomeChoice(), wcOpen);
    EXPECT_EQ(hidden, 2);
}

TEST_F(WizardsWindow, TipOfTheDayWithoutATipsFileSaysWhereItShouldBe) {
    tipsFile = dir.filePath("missing/Tips.txt");
    TfrmWizards window(TWizardMode::Tips, Environment());
    TWizardControls& c = window.Controls();
    EXPECT_EQ(window.windowTitle(), "Tip of the Day");
    EXPECT_TRUE(window.OkButton()->isVisibleTo(&window));
    EXPECT_FALSE(window.CancelButton()->isVisibleTo(&window));
    EXPECT_TRUE(c.lblTip->text().startsWith("Could not load tips file!"));
    EXPECT_FALSE(c.btnNextTip->isEnabled());
    EXPECT_TRUE(prompter.Asked.empty()); // no error box
}
