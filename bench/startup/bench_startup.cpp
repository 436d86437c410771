// loopwright-cli against gifsicle where starting the process is most of the work: the usage
// text, `info` on a small file and `optimize --best` on a small animation (against -O3), and
// `import` of one small bitmap against ImageMagick's convert. Both programs run as
// processes, taking turns so that a busy spell on the machine falls on both alike; each
// benchmark reports the best wall time of each and ours divided by the peer's.
//   bench_startup [--cli=PATH] [benchmark options]     (PATH: another build of the tool)
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Command = std::vector<std::string>;

constexpr int Turns = 20;
const char* const Gifsicle = "/usr/bin/gifsicle";
const char* const Convert = "/usr/bin/convert";

// Seconds from starting `command` to its end, its output thrown away; negative when it
// could not start or failed.
double TimeRun(const Command& command) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = -1;
    bool ran = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
               waitpid(child, &status, 0) == child;
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!ran || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double>(end - start).count();
}

void BM_Start(benchmark::State& state, const Command& ours, const Command& peer,
              const std::string& peerLabel) {
    for (auto _ : state) {
        double best[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
        for (int turn = 0; turn < Turns; ++turn) {
            for (int k = 0; k < 2; ++k) {
                double seconds = TimeRun(k == 0 ? ours : peer);
                if (seconds < 0) {
                    state.SkipWithError(((k == 0 ? ours : peer)[0] + " failed").c_str());
                    return;
                }
                best[k] = std::min(best[k], seconds);
            }
        }
        state.SetIterationTime(best[0]);
        state.counters["ours_ms"] = best[0] * 1e3;
        state.counters["peer_ms"] = best[1] * 1e3;
        state.counters["ratio"] = best[0] / best[1];
    }
    state.SetLabel(peerLabel);
}

// A picture of 32 x 32 in 16 colours, one frame.
void WriteStill(const fs::path& path) {
    gif::TGIFImage image;
    gif::TBitmap picture(32, 32, gif::pf24bit);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            picture.SetPixels(x, y, gif::RGB(uint8_t(x / 8 * 64), uint8_t(y / 8 * 64), 128));
    image.AddFrame(&picture);
    image.SaveToFile(path.string());
}

// Ten full frames of 64 x 64: a square moving over a still background, as a naive exporter
// writes them.
void WriteAnimation(const fs::path& path) {
    gif::TGIFImage image;
    for (int frame = 0; frame < 10; ++frame) {
        gif::TBitmap picture(64, 64, gif::pf24bit);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                bool square = x >= frame * 4 && x < frame * 4 + 16 && y >= 20 && y < 36;
                picture.SetPixels(x, y,
                                  square
                                      ? gif::RGB(255, 0, 0)
                                      : gif::RGB(uint8_t(x / 16 * 60), 90, uint8_t(y / 16 * 60)));
            }
        image.AddFrame(&picture);
    }
    image.SaveToFile(path.string());
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string cli = LOOPWRIGHT_CLI;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.starts_with("--cli="))
            cli = arg.substr(6);
        else {
            std::fprintf(
                stderr,
                "unknown option %s\nusage: bench_startup [--cli=PATH] [benchmark options]\n",
                argv[i]);
            return 2;
        }
    }
    std::string pattern = (fs::temp_directory_path() / "bench-startup-XXXXXX").string();
    const fs::path work = mkdtemp(pattern.data());
    const std::string still = (work / "still.gif").string(),
                      animation = (work / "animation.gif").string(),
                      bitmap = (work / "still.bmp").string(), out = (work / "out.gif").string();
    WriteStill(still);
    WriteAnimation(animation);
    gif::TBitmap(32, 32, gif::pf24bit).SaveToFile(bitmap);

    struct TCase {
        const char* Name;
        Command Ours, Peer;
        const char* PeerLabel;
    };
    static const std::vector<TCase> cases = {
        {"help", {cli, "--help"}, {Gifsicle, "--help"}, "gifsicle --help"},
        {"info", {cli, "info", still}, {Gifsicle, "--info", still}, "gifsicle --info"},
        {"optimize_best",
         {cli, "optimize", animation, out, "--best"},
         {Gifsicle, "-O3", animation, "-o", out},
         "gifsicle -O3"},
        {"import", {cli, "import", bitmap, "-o", out}, {Convert, bitmap, out}, "convert BMP GIF"},
    };
    for (const TCase& c : cases)
        benchmark::RegisterBenchmark((std::string("BM_Start/") + c.Name).c_str(), BM_Start, c.Ours,
                                     c.Peer, c.PeerLabel)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(work);
    return 0;
}
