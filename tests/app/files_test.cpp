// loopwright-cli and unusual paths: links, pipes, standard input and output, folders,
// empty pictures, full disks, signals during a save, and the pixel limit.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "cli_util.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/test_util.h"

using clitest::Quote;
using clitest::TempDir;
namespace fs = std::filesystem;

namespace {

// A small animation: `frames` frames of 8 x 8.
void WriteAnimation(const fs::path& path, int frames = 3) {
    gif::TGIFImage image;
    image.GlobalColorMap().AppendColor(gif::clBlack);
    image.GlobalColorMap().AppendColor(gif::clWhite);
    for (int i = 0; i < frames; ++i) {
        std::vector<uint8_t> pixels(64);
        for (size_t p = 0; p < pixels.size(); ++p) pixels[p] = uint8_t((p + size_t(i)) % 3 == 0);
        giftest::AddFrame(image, 0, 0, 8, 8, pixels);
    }
    image.SaveToFile(path.string());
}

// `frames` frames of size x size random pixels in 256 colours.
void WriteNoise(const fs::path& path, int frames, int size) {
    gif::TGIFImage image;
    for (int i = 0; i < 256; ++i) image.GlobalColorMap().AppendColor(gif::TColor(i * 0x010101));
    uint32_t seed = 1;
    for (int f = 0; f < frames; ++f) {
        std::vector<uint8_t> pixels(size_t(size) * size);
        for (uint8_t& p : pixels) p = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
        giftest::AddFrame(image, 0, 0, size, size, pixels);
    }
    image.SaveToFile(path.string());
}

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

int Lines(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(CliFiles, CopyOntoLinksFifosAndPrivateFiles) {
    TempDir dir;
    WriteAnimation(dir / "in.gif");
    const std::string in = Contents(dir / "in.gif");

    std::ofstream(dir / "target.gif") << "old";
    chmod((dir / "target.gif").c_str(), 0600);
    fs::create_symlink("target.gif", dir / "link.gif");
    clitest::Result r = clitest::Run("copy " + Quote(dir / "in.gif") + " " + Quote(dir / "link.gif"));
    ASSERT_EQ(r.Status, 0) << r.Output;
    EXPECT_TRUE(fs::is_symlink(dir / "link.gif"));
    EXPECT_EQ(Contents(dir / "target.gif"), in);
    EXPECT_EQ(fs::status(dir / "target.gif").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    ASSERT_EQ(mkfifo((dir / "fifo.gif").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = Contents(dir / "fifo.gif"); });
    r = clitest::Run("copy " + Quote(dir / "in.gif") + " " + Quote(dir / "fifo.gif"));
    reader.join();
    EXPECT_EQ(r.Status, 0) << r.Output;
    EXPECT_EQ(received, in);
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.gif"));
}

TEST(CliFiles, DashIsStandardInputAndOutput) {
    TempDir dir;
    WriteAnimation(dir / "in.gif");
    const std::string in = Contents(dir / "in.gif");
    // Through pipes both ways.
    clitest::Result r = clitest::Run("copy - - < " + Quote(dir / "in.gif") + " | cat > " +
                                     Quote(dir / "out.gif"));
    EXPECT_EQ(r.Status, 0) << r.Output;
    EXPECT_EQ(Contents(dir / "out.gif"), in);
    r = clitest::Run("info - < " + Quote(dir / "in.gif"));
    EXPECT_EQ(r.Status, 0);
    EXPECT_NE(r.Output.find("frames: 3"), std::string::npos) << r.Output;
    r = clitest::Run("info /dev/stdin < /dev/null");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Output, "loopwright-cli info: /dev/stdin: Premature end of data\n");
    // optimize reports the sizes on stderr when the GIF goes to standard output.
    r = clitest::Run("optimize " + Quote(dir / "in.gif") + " - 2>/dev/null > " + Quote(dir / "o.gif"));
    EXPECT_EQ(r.Status, 0);
    gif::TGIFImage optimized;
    optimized.LoadFromFile((dir / "o.gif").string());
    EXPECT_EQ(optimized.FrameCount(), 3);
    // import, whichever way it reduces the colours.
    gif::TBitmap(2, 2, gif::pf24bit).SaveToFile((dir / "in.bmp").string());
    for (const char* options : {"", "--reduction quality"}) {
        r = clitest::Run("import " + Quote(dir / "in.bmp") + " -o - " + options + " > " +
                         Quote(dir / "i.gif"));
        EXPECT_EQ(r.Status, 0) << options << "\n" << r.Output;
        gif::TGIFImage imported;
        EXPECT_NO_THROW(imported.LoadFromFile((dir / "i.gif").string())) << options;
        EXPECT_EQ(imported.FrameCount(), 1) << options;
    }
}

TEST(CliFiles, FoldersAndEmptyPicturesGiveOneLineAndStatusOne) {
    TempDir dir;
    std::ofstream(dir / "empty.bmp").flush();
    gif::TBitmap picture(2, 2, gif::pf24bit);
    picture.SaveToFile((dir / "good.bmp").string());
    const std::string out = Quote(dir / "out.gif");
    const std::string commands[] = {
        "info " + Quote(dir.Path),
        "copy " + Quote(dir.Path) + " " + out,
        "import " + Quote(dir / "empty.bmp") + " -o " + out,
        "import " + Quote(dir / "good.bmp") + " " + Quote(dir / "empty.bmp") + " -o " + out,
        "import " + Quote(dir.Path) + " -o " + out,
        "copy " + Quote(dir / "empty.bmp") + " " + Quote(dir.Path),
    };
    for (const std::string& command : commands) {
        clitest::Result r = clitest::Run(command);
        EXPECT_EQ(r.Status, 1) << command;
        EXPECT_EQ(Lines(r.Output), 1) << command << "\n" << r.Output;
        EXPECT_EQ(r.Output.find("bad_alloc"), std::string::npos) << r.Output;
        EXPECT_FALSE(fs::exists(dir / "out.gif")) << command;
    }
    clitest::Result r = clitest::Run(commands[0]);
    EXPECT_NE(r.Output.find("Is a directory"), std::string::npos) << r.Output;
    r = clitest::Run(commands[3]);
    EXPECT_NE(r.Output.find("empty.bmp: the picture is empty"), std::string::npos) << r.Output;
}

TEST(CliFiles, FullDiskNamesTheFileAndTheReason) {
    TempDir dir;
    WriteNoise(dir / "in.gif", 1, 300);
    std::ofstream(dir / "out.gif") << "old";
    // A file size limit refuses the bytes as a full disk does (SIGXFSZ ignored).
    std::string command = "sh -c \"trap '' XFSZ; ulimit -f 8; exec " + std::string(LOOPWRIGHT_CLI) +
                          " copy " + Quote(dir / "in.gif") + " " + Quote(dir / "out.gif") +
                          "\" 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    int status = pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 1) << output;
    EXPECT_EQ(output, "loopwright-cli copy: Cannot write file \"" + (dir / "out.gif").string() +
                          "\". File too large\n");
    EXPECT_EQ(Contents(dir / "out.gif"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path), fs::directory_iterator()), 2);
}

TEST(CliFiles, OptimizeInPlaceReportsTheOldSize) {
    TempDir dir;
    {
        // The same one-pixel frame over and over, which optimising folds together.
        gif::TGIFImage image;
        image.GlobalColorMap().AppendColor(gif::clBlack);
        image.GlobalColorMap().AppendColor(gif::clWhite);
        for (int i = 0; i < 100; ++i) giftest::AddFrame(image, 0, 0, 1, 1, {1});
        image.SaveToFile((dir / "a.gif").string());
    }
    const auto before = fs::file_size(dir / "a.gif");
    clitest::Result r = clitest::Run("optimize " + Quote(dir / "a.gif") + " " + Quote(dir / "a.gif"));
    ASSERT_EQ(r.Status, 0) << r.Output;
    const auto after = fs::file_size(dir / "a.gif");
    EXPECT_NE(before, after);
    EXPECT_NE(r.Output.find("Size before: " + std::to_string(before) + " bytes"), std::string::npos)
        << r.Output;
    EXPECT_NE(r.Output.find("Size after: " + std::to_string(after) + " bytes"), std::string::npos)
        << r.Output;
}

TEST(CliFiles, PixelLimitOption) {
    TempDir dir;
    WriteAnimation(dir / "in.gif", 3);   // 192 pixels
    clitest::Result r = clitest::Run("info --max-pixels 191 " + Quote(dir / "in.gif"));
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Output, "loopwright-cli info: " + (dir / "in.gif").string() +
                            ": Image exceeds the limit of 191 decoded pixels\n");
    EXPECT_EQ(clitest::Run("info " + Quote(dir / "in.gif") + " --max-pixels 192").Status, 0);
    for (const char* bad : {"--max-pixels", "--max-pixels 0", "--max-pixels 12x"}) {
        r = clitest::Run(std::string("info ") + Quote(dir / "in.gif") + " " + bad);
        EXPECT_EQ(r.Status, 2) << bad;
        EXPECT_EQ(r.Output, "loopwright-cli: --max-pixels takes a number of pixels\n");
    }
}

TEST(CliFiles, StopSignalsDuringASaveRemoveTheTemporaryFile) {
    TempDir dir;
    // Inputs big enough that writing them takes a while.
    WriteNoise(dir / "in.gif", 6, 2048);
    gif::TBitmap picture(2048, 2048, gif::pf8bit);
    uint32_t seed = 7;
    for (uint8_t& p : picture.Bits()) p = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
    picture.SaveToFile((dir / "in.bmp").string());
    const std::string in = (dir / "in.gif").string(), bmp = (dir / "in.bmp").string(),
                      out = (dir / "out.gif").string();
    // import saves from its own module, which must clean up after itself.
    struct Case {
        std::vector<const char*> Args;
        int Signal;
    };
    const Case cases[] = {{{"copy", in.c_str(), out.c_str()}, SIGINT},
                          {{"copy", in.c_str(), out.c_str()}, SIGTERM},
                          {{"copy", in.c_str(), out.c_str()}, SIGHUP},
                          {{"import", bmp.c_str(), "-o", out.c_str()}, SIGTERM}};
    for (const Case& c : cases) {
        std::ofstream(dir / "out.gif") << "old";
        std::vector<const char*> argv = {LOOPWRIGHT_CLI};
        argv.insert(argv.end(), c.Args.begin(), c.Args.end());
        argv.push_back(nullptr);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execv(LOOPWRIGHT_CLI, const_cast<char* const*>(argv.data()));
            _exit(127);
        }
        // Wait for the temporary file to appear, then stop the save.
        bool seen = false;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!seen && std::chrono::steady_clock::now() < deadline) {
            for (const auto& entry : fs::directory_iterator(dir.Path))
                seen = seen || entry.path().filename().string().starts_with("out.gif.~");
            if (!seen) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ASSERT_TRUE(seen) << c.Args[0];
        kill(child, c.Signal);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.Signal)
            << c.Args[0] << " " << c.Signal << " " << status;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path), fs::directory_iterator()), 3)
            << c.Args[0];
        EXPECT_EQ(Contents(dir / "out.gif"), "old") << c.Args[0];
    }
}
