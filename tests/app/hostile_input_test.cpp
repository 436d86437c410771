// Files crafted to cost far more than their size, and damaged files that used to pass in
// silence: every verb ends within its budget (20 s, 600 MB of address space) and says
// which file is wrong and why.
#include "cli_util.h"
#include "gif/hostile_files.h"
#include "gif/test_util.h"

#include <fstream>
#include <gtest/gtest.h>

using clitest::Quote;
using clitest::TempDir;

namespace {

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Runs the tool under the budget; a run that overstays it is killed (status 124 or a
// signal), one that asks for more memory fails to get it.
clitest::Result RunWithinBudget(const std::string& args) {
    return clitest::RunProgram("ulimit -v 614400; exec timeout -s KILL 20 " + std::string(LOOPWRIGHT_CLI),
                               args);
}

bool Says(const clitest::Result& r, const std::string& text) {
    return r.Output.find(text) != std::string::npos;
}

} // namespace

TEST(CliHostileInput, OversizedPicturesAreRefusedWithinBudget) {
    TempDir dir;
    WriteFile(dir / "tiny.lwmf", hostile::Metafile(16384, 16384, 1));           // 44 bytes
    WriteFile(dir / "busy.lwmf", hostile::Metafile(5000, 6000, 1000));          // 24 KB
    WriteFile(dir / "huge.bmp", hostile::RunLengthBitmap(16384, 16384));        // < 1 KB
    const struct {
        const char* File;
        const char* Cause;
    } cases[] = {{"tiny.lwmf", "Bitmap dimensions exceed"},
                 {"busy.lwmf", "Metafile drawing exceeds"},
                 {"huge.bmp", "Bitmap dimensions exceed"}};
    for (const auto& c : cases) {
        for (const char* reduction : {"", " --reduction quality"}) {
            clitest::Result r = RunWithinBudget("import " + Quote(dir / c.File) + " -o " +
                                                Quote(dir / "out.gif") + reduction);
            EXPECT_EQ(r.Status, 1) << c.File << reduction << "\n" << r.Output;
            EXPECT_TRUE(Says(r, std::string(c.File) + ": " + c.Cause)) << r.Output;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.gif"));
}

TEST(CliHostileInput, LargestAllowedRunLengthBitmapStaysWithinBudget) {
    TempDir dir;
    WriteFile(dir / "large.bmp", hostile::RunLengthBitmap(8192, 4096)); // 32 Mi pixels
    clitest::Result r =
        RunWithinBudget("import " + Quote(dir / "large.bmp") + " -o " + Quote(dir / "out.gif"));
    EXPECT_EQ(r.Status, 0) << r.Output;
}

TEST(CliHostileInput, BestOptimiseOfManyTinyFramesStaysWithinBudget) {
    TempDir dir;
    std::vector<uint8_t> bytes = hostile::TinyFramesOnALargeScreen(200, 4000);
    EXPECT_LT(bytes.size(), 5000u);
    WriteFile(dir / "tiny.gif", bytes);
    clitest::Result r =
        RunWithinBudget("optimize " + Quote(dir / "tiny.gif") + " " + Quote(dir / "out.gif") + " --best");
    EXPECT_EQ(r.Status, 0) << r.Output;
    EXPECT_TRUE(std::filesystem::exists(dir / "out.gif"));
}

TEST(CliHostileInput, GifCutBetweenSubBlocksWarnsInEveryVerb) {
    TempDir dir;
    std::vector<uint8_t> pixels(600);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t((i * 7 / 5) % 4);
    giftest::GifBuilder gif(30, 20, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00});
    gif.Image(0, 0, 30, 20, pixels).Trailer();
    gif.Bytes.resize(13 + 12 + 10 + 1 + 256); // right behind the first sub-block
    WriteFile(dir / "cut.gif", gif.Bytes);
    const std::string in = Quote(dir / "cut.gif");
    for (const std::string& verb : {"info " + in, "copy " + in + " " + Quote(dir / "copy.gif"),
                                    "optimize " + in + " " + Quote(dir / "opt.gif"),
                                    "frames " + in + " " + Quote(dir / "frames")}) {
        clitest::Result r = clitest::Run(verb);
        EXPECT_EQ(r.Status, 0) << verb << "\n" << r.Output;
        EXPECT_TRUE(Says(r, "cut.gif: warning: Image data without block terminator")) << verb << "\n"
                                                                                      << r.Output;
        EXPECT_TRUE(Says(r, "cut.gif: warning: Missing Image trailer")) << verb;
    }
}

TEST(CliHostileInput, MessagesNameTheFileAndTheCause) {
    TempDir dir;
    const std::vector<uint32_t> four = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00};
    giftest::GifBuilder empty(10, 10, four);
    empty.Trailer();
    WriteFile(dir / "empty.gif", empty.Bytes);
    giftest::GifBuilder zero(0, 0, four);
    zero.Image(0, 0, 0, 0, {}).Trailer();
    WriteFile(dir / "zero.gif", zero.Bytes);
    giftest::GifBuilder beyond(1, 1, four);
    beyond.Image(0, 0, 1, 1, {7}, 3).Trailer(); // colour 7 of a 4-entry table
    WriteFile(dir / "beyond.gif", beyond.Bytes);
    giftest::GifBuilder bare(1, 1);
    bare.Image(0, 0, 1, 1, {1}).Trailer(); // no table anywhere
    WriteFile(dir / "bare.gif", bare.Bytes);

    const struct {
        const char* File;
        const char* Verb;
        const char* Says;
    } cases[] = {
        {"empty.gif", "copy", "empty.gif: the file holds no frames"},
        {"empty.gif", "optimize", "empty.gif: the file holds no frames"},
        {"zero.gif", "copy", "zero.gif: no frame of the file holds a picture and its logical screen is 0 x 0"},
        {"beyond.gif", "copy", "beyond.gif: frame 0 uses colour 7 of a table of 4 entries (Color not in color table)"},
        {"beyond.gif", "optimize --best", "beyond.gif: frame 0 uses colour 7 of a table of 4 entries"},
        {"bare.gif", "copy", "bare.gif: frame 0 has no colour table, and the file no global one"},
        {"bare.gif", "frames", "bare.gif: frame 0 has no colour table, and the file no global one"},
    };
    for (const auto& c : cases) {
        const std::string verb = c.Verb;
        const std::string space = verb.find(' ') == std::string::npos ? verb : verb.substr(0, verb.find(' '));
        const std::string rest = verb.size() > space.size() ? verb.substr(space.size()) : "";
        clitest::Result r = clitest::Run(space + " " + Quote(dir / c.File) + " " +
                                         Quote(dir / ("out-" + std::string(c.File))) + rest);
        EXPECT_EQ(r.Status, 1) << c.File << " " << verb << "\n" << r.Output;
        EXPECT_TRUE(Says(r, c.Says)) << c.File << " " << verb << "\n" << r.Output;
        EXPECT_FALSE(Says(r, "Unsupported GIF version")) << r.Output;
    }
}

TEST(CliImport, DoubleDashEndsTheOptions) {
    TempDir dir;
    std::vector<uint8_t> picture = hostile::RunLengthBitmap(8, 4);
    WriteFile(dir / "-odd name.bmp", picture);
    WriteFile(dir / "plain.bmp", picture);
    // A picture whose name starts with "-" is taken after "--", also right after the verb.
    clitest::Result r = clitest::Run("import -o " + Quote(dir / "out.gif") + " -- " +
                                     Quote(dir / "plain.bmp") + " '-odd name.bmp'");
    EXPECT_EQ(r.Status, 1); // the second name is relative: not found, but taken as a picture
    EXPECT_TRUE(Says(r, "-odd name.bmp")) << r.Output;
    EXPECT_FALSE(Says(r, "unknown option")) << r.Output;
    r = clitest::RunProgram("cd " + Quote(dir.Path) + " && " + std::string(LOOPWRIGHT_CLI),
                            "import -o out.gif -- '-odd name.bmp' plain.bmp");
    EXPECT_EQ(r.Status, 0) << r.Output;
    // Without "--" such a name is still an unknown option, and "--" alone is no picture.
    r = clitest::RunProgram("cd " + Quote(dir.Path) + " && " + std::string(LOOPWRIGHT_CLI),
                            "import -o out.gif '-odd name.bmp'");
    EXPECT_EQ(r.Status, 2);
    EXPECT_TRUE(Says(r, "unknown option")) << r.Output;
    r = clitest::Run("import -o " + Quote(dir / "out.gif") + " --");
    EXPECT_EQ(r.Status, 2);
    EXPECT_TRUE(Says(r, "no picture given")) << r.Output;
}
