// loopwright-cli starts without Qt and ImageMagick: `import` runs in a module loaded only for
// that verb, beside the program or where it is installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "cli_util.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/test_util.h"

using clitest::Quote;
using clitest::TempDir;
namespace fs = std::filesystem;

namespace {

const std::string ModuleName = fs::path(LOOPWRIGHT_CLI_IMPORT_MODULE).filename().string();

// The shared libraries an ELF file names as needed, as readelf shows them.
std::vector<std::string> NeededLibraries(const std::string& file) {
    std::vector<std::string> needed;
    FILE* pipe = popen(("readelf -d " + Quote(file)).c_str(), "r");
    if (!pipe) return needed;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text = line;
        size_t open = text.find('[');
        size_t close = text.find(']', open);
        if (text.find("(NEEDED)") != std::string::npos && close != std::string::npos)
            needed.push_back(text.substr(open + 1, close - open - 1));
    }
    pclose(pipe);
    return needed;
}

// A GIF of one frame and a bitmap, the inputs of `info` and `import`.
void WriteInputs(const TempDir& dir) {
    gif::TGIFImage image;
    image.GlobalColorMap().AppendColor(gif::clBlack);
    image.GlobalColorMap().AppendColor(gif::clWhite);
    giftest::AddFrame(image, 0, 0, 2, 2, {0, 1, 1, 0});
    image.SaveToFile((dir / "in.gif").string());
    gif::TBitmap(3, 2, gif::pf24bit).SaveToFile((dir / "in.bmp").string());
}

int Lines(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(CliStartup, ExecutableNeedsNeitherQtNorImageMagick) {
    const std::vector<std::string> needed = NeededLibraries(LOOPWRIGHT_CLI);
    ASSERT_NE(std::find(needed.begin(), needed.end(), "libc.so.6"), needed.end())
        << "readelf did not list the C library";
    for (const std::string& library : needed) {
        EXPECT_FALSE(library.starts_with("libMagick")) << library;
        EXPECT_FALSE(library.starts_with("libQt")) << library;
    }
}

TEST(CliStartup, ImportWithoutAWorkingModuleFailsWhileOtherVerbsRun) {
    TempDir dir;
    WriteInputs(dir);
    struct Case {
        const char* Folder;
        const char* Module; // what the module file holds; none when null
        std::string Expected;
    };
    const fs::path broken = dir / "broken" / ModuleName;
    const Case cases[] = {
        {"absent", nullptr,
         ModuleName + ": found neither beside the program (" + (dir / "absent").string() + ")"},
        {"broken", "this is no shared object, only some text long enough to be read as one\n",
         broken.string() + ": invalid ELF header"},
    };
    for (const Case& c : cases) {
        const fs::path program = dir / c.Folder / "loopwright-cli";
        fs::create_directories(program.parent_path());
        fs::copy_file(LOOPWRIGHT_CLI, program);
        if (c.Module) std::ofstream(program.parent_path() / ModuleName) << c.Module;

        clitest::Result r = clitest::RunProgram(
            Quote(program), "import " + Quote(dir / "in.bmp") + " -o " + Quote(dir / "out.gif"));
        EXPECT_EQ(r.Status, 1) << c.Folder << "\n" << r.Output;
        EXPECT_EQ(Lines(r.Output), 1) << c.Folder << "\n" << r.Output;
        EXPECT_TRUE(r.Output.starts_with("loopwright-cli import: cannot load " + c.Expected))
            << c.Folder << "\n" << r.Output;
        EXPECT_FALSE(fs::exists(dir / "out.gif")) << c.Folder;

        r = clitest::RunProgram(Quote(program), "info " + Quote(dir / "in.gif"));
        EXPECT_EQ(r.Status, 0) << c.Folder << "\n" << r.Output;
        EXPECT_NE(r.Output.find("frames: 1"), std::string::npos) << c.Folder << "\n" << r.Output;
    }
}

TEST(CliStartup, ImportFindsItsModuleWhereInstalled) {
    TempDir dir;
    WriteInputs(dir);
    const fs::path prefix = dir / "prefix";
    const std::string install = std::string(LOOPWRIGHT_CMAKE) + " --install " +
                                Quote(LOOPWRIGHT_BUILD_DIR) + " --component cli --prefix " +
                                Quote(prefix) + " > /dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0) << install;
    fs::path program;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(prefix))
        if (entry.path().filename() == "loopwright-cli") program = entry.path();
    ASSERT_FALSE(program.empty());
    ASSERT_FALSE(fs::exists(program.parent_path() / ModuleName)) << "installed beside the program";

    // Started through a link, from another folder, with a common option.
    fs::create_symlink(program, dir / "link");
    fs::create_directories(dir / "elsewhere");
    clitest::Result r = clitest::RunProgram(
        "cd " + Quote(dir / "elsewhere") + " && " + Quote(dir / "link"),
        "import " + Quote(dir / "in.bmp") + " -o " + Quote(dir / "out.gif") + " --max-pixels 100");
    ASSERT_EQ(r.Status, 0) << r.Output;
    gif::TGIFImage image;
    image.LoadFromFile((dir / "out.gif").string());
    EXPECT_EQ(image.FrameCount(), 1);
}
