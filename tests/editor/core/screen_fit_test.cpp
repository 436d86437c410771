// Window places from the settings, fitted to the screen.
#include <gtest/gtest.h>

#include "editor/core/screen_fit.h"

using editor::FitOnScreen;

TEST(FitOnScreen, SizesAreCappedAndPlacesMovedOntoTheScreen) {
    const QRect screen(0, 0, 1280, 800);
    EXPECT_EQ(FitOnScreen({60, 40, 1120, 720}, screen), QRect(60, 40, 1120, 720));   // fits: kept
    EXPECT_EQ(FitOnScreen({0, 0, 100000, 100000}, screen), screen);
    EXPECT_EQ(FitOnScreen({100000, 50, 300, 200}, screen), QRect(980, 50, 300, 200));
    EXPECT_EQ(FitOnScreen({-5000, -9000, 300, 200}, screen), QRect(0, 0, 300, 200));
    // A second screen to the right keeps its own coordinates.
    EXPECT_EQ(FitOnScreen({1300, 10, 400, 300}, {1280, 0, 1024, 768}), QRect(1300, 10, 400, 300));
    // The minimum wins on a screen smaller than it.
    EXPECT_EQ(FitOnScreen({0, 0, 50, 50}, {0, 0, 100, 100}, {175, 325}), QRect(0, 0, 175, 325));
}
