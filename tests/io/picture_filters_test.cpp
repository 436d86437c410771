// The open dialog's picture filter, in both forms it is handed out.
#include "io/picture_filters.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

TEST(PictureFilters, QtFormListsPatternsTheWayQtSplitsThem) {
    std::string qt = io::PictureQtFilterString();
    EXPECT_TRUE(qt.starts_with("Image Files (*.gif *.jpg *.jpeg *.bmp *.jif *.dcx *.ico *.pbm "
                               "*.pcx *.ljp *.pgm *.pic *.png *.ppm *.rle *.tga *.tif *.wmf "
                               "*.wpg);;GIF Images (*.gif);;Jpeg Images (*.jpg *.jpeg);;"))
        << qt;
    EXPECT_TRUE(qt.ends_with(";;Word Perfect Graphics (*.wpg);;All Files (*)")) << qt;
    EXPECT_EQ(qt.find(','), std::string::npos) << "Qt would take \"*.jpg,\" as a pattern";
}

TEST(PictureFilters, BarFormKeepsTheCaptionsAsShown) {
    std::string bar = io::PictureFilterString();
    EXPECT_TRUE(bar.starts_with("Image Files|*.gif;*.jpg;*.jpeg;*.bmp;")) << bar;
    EXPECT_NE(bar.find("|Jpeg Images (*.jpg, *.jpeg)|*.jpg;*.jpeg|"), std::string::npos) << bar;
    EXPECT_TRUE(bar.ends_with("|All Files (*.*)|*.*")) << bar;
    EXPECT_EQ(std::count(bar.begin(), bar.end(), '|'), 2 * 20 - 1);
}

TEST(PictureFilters, EveryKindIsAmongTheImageFiles) {
    std::vector<std::string> all = io::PictureExtensions();
    EXPECT_EQ(all.size(), 19u);
    for (size_t i = 1; i + 1 < io::PictureFilters.size(); ++i) {
        std::string_view patterns = io::PictureFilters[i].Patterns;
        std::string first(patterns.substr(1, patterns.find(';') - 1));
        EXPECT_NE(std::find(all.begin(), all.end(), first), all.end()) << first;
    }
}

} // namespace
