// The web page of an animation.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/export/html_page.h"
#include "io/io_test_util.h"

namespace {

TEST(HtmlPage, ByteForByte) {
    iotest::TempDir dir;
    const std::string gif = dir / "art/logo.gif";
    io::WriteHtmlPage(dir / "page.htm", io::HtmlPageText(gif, 40, 120));
    const std::string expected =
        "<HTML>\r\n"
        "<HEAD>\r\n"
        "  <META NAME=\"GENERATOR\" CONTENT=\"Quillmark GIF Loopwright\">\r\n"
        "  <TITLE></TITLE>\r\n"
        "</HEAD>\r\n"
        "\r\n"
        "<BODY BGCOLOR=\"#FFFFFF\">\r\n"
        "<IMG SRC=\"" + gif + "\" ALT=\"Animated Image\" HEIGHT=\"40\" WIDTH=\"120\">\r\n"
        "</BODY></HTML>\r\n";
    const std::vector<uint8_t> bytes = iotest::ReadBytes(dir / "page.htm");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
}

TEST(HtmlPage, MarkupInTheFileNameCannotBreakThePage) {
    const std::string page = io::HtmlPageText("/p/Tom & \"Jerry\" <b>.gif", 1, 2);
    EXPECT_NE(page.find("SRC=\"/p/Tom &amp; &quot;Jerry&quot; &lt;b&gt;.gif\""), std::string::npos)
        << page;
}

TEST(HtmlPage, UnwritablePlaceRaisesAndLeavesNothing) {
    iotest::TempDir dir;
    EXPECT_ANY_THROW(io::WriteHtmlPage(dir / "missing/page.htm", "x"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path));
}

} // namespace
