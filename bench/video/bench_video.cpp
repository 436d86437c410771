// A 10-second 640 x 480 H.264 clip at 30 frames per second (made with ffmpeg's mandelbrot
// source on first use) turned into an animated GIF by:
//   loopwright/web216   loopwright-cli import clip.mp4 -o out.gif (the editor's import:
//                       216-colour web palette, Floyd-Steinberg)
//   loopwright/quality  the same with --reduction quality (one least-error palette)
//   ffmpeg/gif          ffmpeg -i clip.mp4 out.gif
//   ffmpeg/palette      ffmpeg palettegen, then ffmpeg paletteuse (two passes)
// Each iteration runs the commands as child processes; the time is their wall time. The
// counters: bytes of the GIF, PSNR of its frames against the clip's (decoded by ffmpeg to
// RGB, frame by frame in order), peak resident memory of the heaviest process, and that
// peak as a ratio to the clip's frames as 8-bit pixels (width x height x frames).
// run.sh prints the times as ratios to the ffmpeg routes of the same run.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int Width = 640, Height = 480, Rate = 30, Seconds = 10;
constexpr int64_t FrameBytes = int64_t(Width) * Height;

fs::path DataDir() {
    const char* dir = std::getenv("LOOPWRIGHT_VIDEO_DATA");
    return dir ? fs::path(dir) : fs::temp_directory_path() / "loopwright-bench-video";
}

fs::path Clip() {
    const fs::path clip = DataDir() / "clip.mp4";
    if (!fs::exists(clip)) {
        fs::create_directories(DataDir());
        const std::string make = "ffmpeg -nostdin -v error -y -f lavfi -i mandelbrot=size=" +
                                 std::to_string(Width) + "x" + std::to_string(Height) +
                                 ":rate=" + std::to_string(Rate) + " -t " +
                                 std::to_string(Seconds) +
                                 " -c:v libx264 -preset medium -pix_fmt yuv420p '" +
                                 clip.string() + "'";
        if (std::system(make.c_str()) != 0) std::abort();
    }
    return clip;
}

struct TRun {
    double Seconds = 0;
    long PeakKiB = 0;
};

// Runs the commands one after the other; wall time of all, the largest peak memory.
TRun RunAll(const std::vector<std::vector<std::string>>& commands) {
    TRun run;
    const auto start = std::chrono::steady_clock::now();
    for (const auto& command : commands) {
        const pid_t pid = fork();
        if (pid == 0) {
            std::vector<char*> argv;
            for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            freopen("/dev/null", "w", stderr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
        run.PeakKiB = std::max(run.PeakKiB, usage.ru_maxrss);
    }
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

// Frames of a file decoded by ffmpeg to RGB, one at a time, in order.
class TFrames {
  public:
    explicit TFrames(const fs::path& file) {
        const std::string command = "ffmpeg -nostdin -v error -i '" + file.string() +
                                    "' -fps_mode passthrough -f rawvideo -pix_fmt rgb24 -";
        pipe_ = popen(command.c_str(), "r");
    }
    ~TFrames() {
        if (pipe_) pclose(pipe_);
    }
    bool Next(std::vector<uint8_t>& frame) {
        frame.resize(size_t(FrameBytes) * 3);
        return pipe_ && fread(frame.data(), 1, frame.size(), pipe_) == frame.size();
    }

  private:
    FILE* pipe_ = nullptr;
};

// PSNR over all frames the two files have in common (mean squared error of all their
// pixels); the number of frames compared goes to `frames`.
double Psnr(const fs::path& gif, int& frames) {
    TFrames a(gif), b(Clip());
    std::vector<uint8_t> fa, fb;
    double sum = 0;
    int64_t count = 0;
    frames = 0;
    while (a.Next(fa) && b.Next(fb)) {
        for (size_t i = 0; i < fa.size(); ++i) {
            const double d = double(fa[i]) - double(fb[i]);
            sum += d * d;
        }
        count += int64_t(fa.size());
        ++frames;
    }
    const double mse = count ? sum / double(count) : 0;
    return mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99;
}

void Measure(benchmark::State& state, const std::string& name,
             const std::vector<std::vector<std::string>>& commands, const fs::path& out) {
    Clip();
    TRun last;
    for (auto _ : state) {
        last = RunAll(commands);
        state.SetIterationTime(last.Seconds);
    }
    int frames = 0;
    state.counters["psnr"] = Psnr(out, frames);
    state.counters["frames"] = frames;
    state.counters["bytes"] = double(fs::file_size(out));
    state.counters["peak_MiB"] = double(last.PeakKiB) / 1024;
    state.counters["peak_per_8bit_frames"] =
        double(last.PeakKiB) * 1024 / double(FrameBytes * Rate * Seconds);
    state.SetLabel(name);
}

void BM_LoopwrightWeb216(benchmark::State& state) {
    const fs::path out = DataDir() / "loopwright-web216.gif";
    Measure(state, "loopwright/web216",
            {{LOOPWRIGHT_CLI, "import", Clip().string(), "-o", out.string()}}, out);
}

void BM_LoopwrightQuality(benchmark::State& state) {
    const fs::path out = DataDir() / "loopwright-quality.gif";
    Measure(state, "loopwright/quality",
            {{LOOPWRIGHT_CLI, "import", Clip().string(), "-o", out.string(), "--reduction",
              "quality"}},
            out);
}

void BM_FfmpegGif(benchmark::State& state) {
    const fs::path out = DataDir() / "ffmpeg.gif";
    Measure(state, "ffmpeg/gif",
            {{"ffmpeg", "-nostdin", "-v", "error", "-y", "-threads", "1", "-i",
              Clip().string(), out.string()}},
            out);
}

void BM_FfmpegPalette(benchmark::State& state) {
    const fs::path out = DataDir() / "ffmpeg-palette.gif";
    const fs::path palette = DataDir() / "palette.png";
    Measure(state, "ffmpeg/palette",
            {{"ffmpeg", "-nostdin", "-v", "error", "-y", "-threads", "1", "-i",
              Clip().string(), "-vf", "palettegen", palette.string()},
             {"ffmpeg", "-nostdin", "-v", "error", "-y", "-threads", "1", "-i",
              Clip().string(), "-i", palette.string(), "-lavfi", "paletteuse", out.string()}},
            out);
}

BENCHMARK(BM_LoopwrightWeb216)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LoopwrightQuality)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FfmpegGif)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FfmpegPalette)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
