// Saving through TSafeFileWriter onto what may already be at the target path, and
// reading files that are not plain files.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "gif/base/exception.h"
#include "gif/base/stream.h"
#include "gif/base/temp_files.h"

using namespace gif;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path Path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "lwsave-XXXXXX").string();
        Path = mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(Path); }
    fs::path operator/(const std::string& name) const { return Path / name; }
    // Every name in the folder, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(Path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

void Save(const fs::path& target, const std::string& contents) {
    TSafeFileWriter writer(target.string());
    writer.Stream().WriteBuffer(contents.data(), contents.size());
    writer.Commit();
}

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

mode_t Mode(const fs::path& path) {
    struct stat st;
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st.st_mode;
}

} // namespace

TEST(SafeSave, SymbolicLinksAreFollowedToTheFileTheyName) {
    TempDir dir;
    fs::create_directory(dir / "real");
    std::ofstream(dir / "real" / "a.gif") << "old";
    // A relative link in another folder, a chain of two links, and a dangling link.
    fs::create_symlink("real/a.gif", dir / "link.gif");
    fs::create_symlink("link.gif", dir / "chain.gif");
    fs::create_symlink("real/new.gif", dir / "dangling.gif");

    Save(dir / "link.gif", "one");
    EXPECT_TRUE(fs::is_symlink(dir / "link.gif"));
    EXPECT_EQ(Contents(dir / "real" / "a.gif"), "one");
    Save(dir / "chain.gif", "two");
    EXPECT_TRUE(fs::is_symlink(dir / "chain.gif"));
    EXPECT_EQ(Contents(dir / "real" / "a.gif"), "two");
    Save(dir / "dangling.gif", "three");
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.gif"));
    EXPECT_EQ(Contents(dir / "real" / "new.gif"), "three");
    // No temporary file stays behind, in either folder.
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"chain.gif", "dangling.gif", "link.gif", "real"}));
    EXPECT_EQ(fs::directory_entry(dir / "real").exists(), true);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 2);

    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    EXPECT_THROW(Save(dir / "loop1", "x"), EStreamError);
}

TEST(SafeSave, ReplacementKeepsThePermissionBits) {
    TempDir dir;
    for (mode_t mode : {0600, 0640, 0755, 0444}) {
        fs::path target = dir / "private.gif";
        std::ofstream(target) << "old";
        ASSERT_EQ(chmod(target.c_str(), mode), 0);
        Save(target, "new");
        EXPECT_EQ(Mode(target) & 07777, mode);
        EXPECT_EQ(Contents(target), "new");
        fs::remove(target);
    }
    // A new file gets what the umask allows.
    mode_t mask = umask(022);
    Save(dir / "fresh.gif", "x");
    umask(mask);
    EXPECT_EQ(Mode(dir / "fresh.gif") & 07777, mode_t(0644));
}

TEST(SafeSave, FifoIsWrittenInPlace) {
    TempDir dir;
    fs::path fifo = dir / "pipe.gif";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = Contents(fifo); });
    Save(fifo, "through the pipe");
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(S_ISFIFO(Mode(fifo)));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"pipe.gif"});
}

TEST(SafeSave, DescriptorNamesWriteToTheOpenFile) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    for (const std::string& name :
         {"/dev/fd/" + std::to_string(fds[1]), "/proc/self/fd/" + std::to_string(fds[1])})
        Save(name, "[" + name.substr(1, 3) + "]");
    close(fds[1]);
    char buffer[64] = {};
    ASSERT_EQ(read(fds[0], buffer, sizeof buffer), 10);
    close(fds[0]);
    EXPECT_STREQ(buffer, "[dev][pro]");
    EXPECT_EQ(StandardDescriptor("/dev/stdout"), 1);
    EXPECT_EQ(StandardDescriptor("/dev/fd/12x"), -1);
    EXPECT_EQ(StandardDescriptor("/dev/stdout2"), -1);
}

TEST(SafeSave, WriteFailureNamesTheFileAndTheReasonAndKeepsTheOldFile) {
    TempDir dir;
    fs::path target = dir / "big.gif";
    std::ofstream(target) << "old";
    // A file size limit makes writes fail as a full disk would.
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        Save(target, std::string(100000, 'x'));
    } catch (const EStreamError& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, "Cannot write file \"" + target.string() + "\". File too large");
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"big.gif"});

    EXPECT_THROW(Save(dir.Path, "x"), EStreamError);   // a folder is not replaced
    EXPECT_TRUE(fs::is_directory(dir.Path));
}

TEST(SafeSave, RegisteredTempFilesAreRemovedOnRequest) {
    TempDir dir;
    std::ofstream(dir / "mine.tmp") << "x";
    std::ofstream(dir / "done.tmp") << "x";
    int mine = RegisterTempFile((dir / "mine.tmp").c_str());
    int done = RegisterTempFile((dir / "done.tmp").c_str());
    ASSERT_GE(mine, 0);
    ASSERT_NE(mine, done);
    UnregisterTempFile(done);
    RemoveRegisteredTempFiles();
    UnregisterTempFile(mine);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"done.tmp"});
    EXPECT_EQ(RegisterTempFile(std::string(5000, 'a').c_str()), -1);
}

TEST(SafeSave, SignalDuringSaveRemovesTheTemporaryFile) {
    TempDir dir;
    fs::path target = dir / "kept.gif";
    std::ofstream(target) << "old";
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The handler a program installs, as temp_files.h shows.
            std::signal(sig, [](int s) {
                RemoveRegisteredTempFiles();
                std::signal(s, SIG_DFL);
                raise(s);
            });
            TSafeFileWriter writer(target.string());
            writer.Stream().WriteBuffer("half", 4);
            raise(sig);
            _exit(0);   // not reached
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"kept.gif"});
        EXPECT_EQ(Contents(target), "old");
    }
}

TEST(FileInput, FoldersPipesAndEmptyFiles) {
    TempDir dir;
    TMemoryStream stream;
    try {
        stream.LoadFromFile(dir.Path.string());
        FAIL() << "a folder loaded";
    } catch (const EStreamError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + dir.Path.string() + "\". Is a directory");
    }

    // A pipe has no size: it is read until it ends.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string sent(200000, 'p');
    std::thread writer([&] {
        for (size_t done = 0; done < sent.size();)
            done += size_t(write(fds[1], sent.data() + done, sent.size() - done));
        close(fds[1]);
    });
    stream.LoadFromFile("/dev/fd/" + std::to_string(fds[0]));
    writer.join();
    close(fds[0]);
    EXPECT_EQ(stream.Size(), int64_t(sent.size()));
    EXPECT_EQ(stream.Position(), 0);

    std::ofstream(dir / "empty.gif").flush();
    stream.LoadFromFile((dir / "empty.gif").string());
    EXPECT_EQ(stream.Size(), 0);
}
