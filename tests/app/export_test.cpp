// loopwright-cli export-frames and export-html, checked with ImageMagick's identify and our
// own info.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

#include "app/cli_util.h"

// The verbs exist only in builds with the single-picture export (not the library-only one).
#ifdef LOOPWRIGHT_WITH_EXPORT

using clitest::Quote;
using clitest::TempDir;
namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ExportCliTest : public ::testing::Test {
  protected:
    ExportCliTest() {
        // Three colourful frames; the middle one is smaller and placed inside the screen.
        const std::string command =
            "/usr/bin/convert -size 48x32 gradient:red-blue "
            "\\( -size 20x12 gradient:yellow-green -set page +4+6 \\) "
            "\\( -size 48x32 gradient:white-purple \\) -set delay 10 " +
            Quote(input) + " 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
    std::string Identify(const std::string& format, const fs::path& file) {
        return clitest::RunProgram("/usr/bin/identify", "-format " + Quote(format) + " " + Quote(file)).Output;
    }
    // The colours of the first table `info --colors` lists for `file`.
    std::vector<std::string> Colors(const fs::path& file, int& entries) {
        const clitest::Result info = clitest::Run("info " + Quote(file) + " --colors");
        std::smatch match;
        EXPECT_TRUE(std::regex_search(info.Output, match,
                                      std::regex("local color table: (\\d+) entries")))
            << info.Output;
        entries = match.empty() ? -1 : std::stoi(match[1]);
        std::vector<std::string> colors;
        std::istringstream lines(info.Output);
        for (std::string line; std::getline(lines, line);) {
            if (line.find("colors:") == std::string::npos) continue;
            std::istringstream words(line.substr(line.find(':') + 1));
            for (std::string word; words >> word;) colors.push_back(word);
        }
        return colors;
    }

    TempDir dir;
    fs::path input = dir / "in.gif";
};

TEST_F(ExportCliTest, JpegFramesZeroAndTwoUnderXJpg) {
    clitest::Result result =
        clitest::Run("export-frames " + Quote(input) + " " + Quote(dir / "x.jpg") +
            " --format jpeg --frames 0,2 --quality 75");
    ASSERT_EQ(result.Status, 0) << result.Output;
    EXPECT_TRUE(fs::exists(dir / "xGL10.jpg"));
    EXPECT_TRUE(fs::exists(dir / "xGL12.jpg"));
    EXPECT_FALSE(fs::exists(dir / "xGL11.jpg"));
    EXPECT_EQ(Identify("%m %w %h %[jpeg:sampling-factor]", dir / "xGL10.jpg"),
              "JPEG 48 32 2x2,1x1,1x1");
    EXPECT_EQ(Identify("%Q", dir / "xGL12.jpg"), "75");

    result = clitest::Run("export-frames " + Quote(input) + " " + Quote(dir / "g.jpg") +
                 " --format jpeg --frames 1-2 --gray --progressive");
    ASSERT_EQ(result.Status, 0) << result.Output;
    // The frame's own size, one component.
    EXPECT_EQ(Identify("%w %h %[jpeg:sampling-factor] %[interlace]", dir / "gGL11.jpg"),
              "20 12 1x1 JPEG");
}

TEST_F(ExportCliTest, ShortNameAndBitmaps) {
    const fs::path shortName = dir / "ab";
    const clitest::Result result = clitest::Run("export-frames " + Quote(input) + " " + Quote(shortName) +
                                       " --format bmp --frames 2 --mono");
    ASSERT_EQ(result.Status, 0) << result.Output;
    EXPECT_EQ(Identify("%w %h %z", dir / "GL12ab"), "48 32 1");
}

TEST_F(ExportCliTest, EachGifPaletteGivesTheTableItNames) {
    int entries = 0;
    auto exportWith = [&](const std::string& palette, const std::string& extra = "") {
        const fs::path name = dir / (palette + ".gif");
        const clitest::Result result =
            clitest::Run("export-frames " + Quote(input) + " " + Quote(name) +
                " --format gif --frames 0 --no-optimize --palette " + palette + " " + extra);
        EXPECT_EQ(result.Status, 0) << result.Output;
        return Colors(dir / (palette + "GL10.gif"), entries);
    };
    // The web cube: 216 colours, each component a multiple of 0x33; the table is padded to
    // 256 entries with black.
    std::vector<std::string> colors = exportWith("web");
    EXPECT_EQ(entries, 256);
    std::set<std::string> distinct(colors.begin(), colors.end());
    EXPECT_EQ(distinct.size(), 216u);
    for (const std::string& c : colors)
        for (int i = 0; i < 6; i += 2) EXPECT_EQ(std::stoi(c.substr(size_t(i), 2), nullptr, 16) % 0x33, 0) << c;
    // 256 greys.
    colors = exportWith("gray");
    EXPECT_EQ(entries, 256);
    distinct = {colors.begin(), colors.end()};
    EXPECT_EQ(distinct.size(), 256u);
    for (const std::string& c : colors) EXPECT_TRUE(c.substr(0, 2) == c.substr(2, 2) && c.substr(2, 2) == c.substr(4, 2)) << c;
    // Black and white.
    colors = exportWith("mono");
    EXPECT_EQ(entries, 2);
    EXPECT_EQ(std::set<std::string>(colors.begin(), colors.end()),
              (std::set<std::string>{"000000", "FFFFFF"}));
    // The 20 system colours, padded to 32 entries.
    colors = exportWith("system20");
    EXPECT_EQ(entries, 32);
    distinct = {colors.begin(), colors.end()};
    EXPECT_TRUE(distinct.count("C0DCC0")) << "money green";
    EXPECT_TRUE(distinct.count("A6CAF0")) << "sky blue";
    // The optimised palette: the count asked for.
    colors = exportWith("optimized", "--colors 8");
    EXPECT_EQ(entries, 8);
    colors = exportWith("optimized", "--colors 64");
    EXPECT_GT(entries, 8);
    EXPECT_LE(entries, 64);
}

TEST_F(ExportCliTest, HostileArgumentsAreRefused) {
    const std::string base = "export-frames " + Quote(input) + " " + Quote(dir / "x.gif") + " ";
    for (const std::string& args :
         {std::string("--format png"), std::string(""), std::string("--format gif --frames 3"),
          std::string("--format gif --frames -1"), std::string("--format gif --frames 2-1"),
          std::string("--format gif --frames a"), std::string("--format jpeg --quality 0"),
          std::string("--format jpeg --quality 101"), std::string("--format gif --colors 7"),
          std::string("--format gif --palette rainbow"), std::string("--format gif --bogus")}) {
        const clitest::Result result = clitest::Run(base + args);
        EXPECT_EQ(result.Status, 2) << args << "\n" << result.Output;
    }
    EXPECT_TRUE(fs::is_empty(dir.Path) || fs::directory_iterator(dir.Path)->path() == input);
    // A missing input, a damaged one.
    EXPECT_EQ(clitest::Run("export-frames " + Quote(dir / "none.gif") + " x --format gif").Status, 1);
    std::ofstream(dir / "bad.gif") << "GIF89a junk";
    EXPECT_NE(clitest::Run("export-frames " + Quote(dir / "bad.gif") + " x --format gif").Status, 0);
}

TEST_F(ExportCliTest, UnwritableFolderIsReported) {
    const clitest::Result result = clitest::Run("export-frames " + Quote(input) + " " +
                                       Quote(dir / "missing" / "x.gif") + " --format gif");
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Output.find("xGL10.gif"), std::string::npos) << result.Output;
    EXPECT_NE(result.Output.find("xGL12.gif"), std::string::npos) << result.Output;
}

TEST_F(ExportCliTest, HtmlPageOfA40By120AnimationByteForByte) {
    fs::create_directory(dir / "art");
    const fs::path logo = dir / "art" / "logo.gif";
    ASSERT_EQ(std::system(("/usr/bin/convert -size 120x40 gradient:red-blue " + Quote(logo)).c_str()), 0);
    const clitest::Result result = clitest::Run("export-html " + Quote(logo) + " " + Quote(dir / "page.htm"));
    ASSERT_EQ(result.Status, 0) << result.Output;
    const std::string expected =
        "<HTML>\r\n"
        "<HEAD>\r\n"
        "  <META NAME=\"GENERATOR\" CONTENT=\"Quillmark GIF Loopwright\">\r\n"
        "  <TITLE></TITLE>\r\n"
        "</HEAD>\r\n"
        "\r\n"
        "<BODY BGCOLOR=\"#FFFFFF\">\r\n"
        "<IMG SRC=\"" + logo.string() + "\" ALT=\"Animated Image\" HEIGHT=\"40\" WIDTH=\"120\">\r\n"
        "</BODY></HTML>\r\n";
    EXPECT_EQ(ReadText(dir / "page.htm"), expected);

    // A relative name becomes the full path.
    const clitest::Result relative = clitest::RunProgram(
        "cd " + Quote(dir.Path) + " && " LOOPWRIGHT_CLI, "export-html art/logo.gif rel.htm");
    EXPECT_NE(ReadText(dir / "rel.htm").find("SRC=\"" + logo.string() + "\""), std::string::npos)
        << relative.Output;
    // No page for a missing or damaged animation, nor into a missing folder.
    EXPECT_NE(clitest::Run("export-html " + Quote(dir / "none.gif") + " " + Quote(dir / "n.htm")).Status, 0);
    EXPECT_FALSE(fs::exists(dir / "n.htm"));
    EXPECT_NE(clitest::Run("export-html " + Quote(logo) + " " + Quote(dir / "no" / "p.htm")).Status, 0);
}

} // namespace

#endif // LOOPWRIGHT_WITH_EXPORT
