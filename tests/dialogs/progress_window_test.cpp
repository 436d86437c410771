// TfrmProgress: its labels, bar and Cancel, and Cancel hidden for callers that cannot stop.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "dialogs/progress/progress_window.h"

namespace {

TEST(TfrmProgress, ShowsItsLabelsAndBarAndCancelStopsTheCaller) {
    dialogs::TfrmProgress window;
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    window.SetRange(0, 4);
    window.SetFileLabel("Preparing clip.avi for AVI export...");
    window.Show();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.lblProgress->isVisible());
    EXPECT_EQ(window.lblFileName->text(), "Preparing clip.avi for AVI export...");
    EXPECT_EQ(window.lblFileName->alignment(), Qt::AlignCenter);
    window.StepIt();
    window.StepIt();
    EXPECT_EQ(window.prgBar->value(), 2);
    window.SetPosition(4);
    window.StepIt(); // past the end the bar starts again
    EXPECT_EQ(window.prgBar->value(), 0);
    window.SetProgressLabel("3 of 9");
    EXPECT_TRUE(window.lblProgress->isVisible());

    EXPECT_TRUE(window.btnCancel->isDefault());
    EXPECT_FALSE(window.Cancelled());
    QTest::mouseClick(window.btnCancel, Qt::LeftButton);
    window.ProcessEvents();
    EXPECT_TRUE(window.Cancelled());
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_TRUE(window.isVisible()); // the caller frees it
}

TEST(TfrmProgress, WithCancelHiddenEscapeDoesNothing) {
    dialogs::TfrmProgress window;
    window.SetCancelVisible(false);
    window.Show();
    EXPECT_FALSE(window.btnCancel->isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.Cancelled());
    window.SetCancelVisible(true);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.Cancelled());
}

TEST(TfrmProgress, ARangeBackwardsIsEmptyNotInverted) {
    dialogs::TfrmProgress window;
    window.SetRange(0, -1); // an animation without frames
    EXPECT_EQ(window.prgBar->maximum(), 0);
}

} // namespace
