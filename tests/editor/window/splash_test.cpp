// The splash window stays on top while the program starts; a message box or dialog shown
// meanwhile must not open under it.
#include "editor/window/splash.h"

#include <QApplication>
#include <QMessageBox>
#include <gtest/gtest.h>

TEST(SplashScreen, StepsAsideForAnyBoxButNotForOtherWindows) {
    editor::TSplashScreen splash{QPixmap()};
    splash.show();
    QWidget mainWindow;
    mainWindow.show();
    EXPECT_TRUE(splash.isVisible());
    EXPECT_FALSE(splash.CanClose());   // its 2500 ms are not over
    QMessageBox box(QMessageBox::Warning, "Loopwright", "Error loading x.gif! Permission denied.");
    box.setModal(true);
    box.show();
    EXPECT_FALSE(splash.isVisible());
}
