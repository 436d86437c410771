// Whole-animation undo snapshots (TActiveAnimation) of the animations of
// bench_animations.h (argument 0: 100 frames of 960 x 540; 1: a 1,000-frame 640 x 480 screen
// recording).
//   BM_SnapshotPushes: 50 pushes of the unchanged animation into one history, each timed
//     against one full save of it (every frame encoded) in the same run. Counters:
//       push_vs_save   time of one push / time of one save
//       peak_vs_pixels peak resident memory added while pushing / decoded pixel bytes
//       disk_vs_gif    bytes of all snapshot files / bytes of the GIF
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <fstream>
#include <string>

#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/scripted_prompter.h"
#include "editor/undo/history.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "support/bench_animations.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Snapshots = 50;

// Peak resident set (kB) since the last ResetPeak.
long PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}
long CurrentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_SnapshotPushes(benchmark::State& state) {
    QTemporaryDir sandbox;
    qputenv("TMPDIR", sandbox.path().toUtf8());
    const auto kind = benchsupport::TAnimationKind(state.range(0));
    const auto size = benchsupport::SizeOf(kind);
    auto image = benchsupport::MakeAnimation(kind);
    editortest::TFakeFrameList list(size.Frames);
    editortest::TScriptedPrompter prompter;
    editor::Settings settings(sandbox.filePath("settings.ini"));
    editor::TEditContext context{*image, list, prompter, settings};
    const QString gifPath = sandbox.filePath("animation.gif");
    image->SaveToFile(editor::NativePath(gifPath));
    const double gifBytes = double(QFileInfo(gifPath).size());
    double pushSeconds = 0, saveSeconds = 0, peakRatio = 0, diskRatio = 0;
    gif::TGIFImage saved;
    saved.Assign(image.get());
    for (auto _ : state) {
        editor::THistoryList history;
        const long baseline = CurrentKb();
        ResetPeak();
        for (int i = 0; i < Snapshots; ++i) {
            auto t0 = Clock::now();
            history.Push(context, editor::ckActiveAnimation, 8, -1, -1, -1, "Snapshot");
            auto t1 = Clock::now();
            // A copy, so that the animation pushed keeps the image data of its frames.
            benchsupport::ForgetKeptData(saved);
            saved.SaveToFile(editor::NativePath(gifPath));
            auto t2 = Clock::now();
            pushSeconds += std::chrono::duration<double>(t1 - t0).count();
            saveSeconds += std::chrono::duration<double>(t2 - t1).count();
        }
        peakRatio = double(PeakKb() - baseline) * 1024.0 /
                    (double(size.Frames) * size.Width * size.Height);
        qint64 disk = 0;
        for (const QFileInfo& file : QDir(sandbox.path()).entryInfoList({"~GL*"}, QDir::Files))
            disk += file.size();
        diskRatio = double(disk) / gifBytes;
    }
    state.counters["push_vs_save"] = pushSeconds / saveSeconds;
    state.counters["peak_vs_pixels"] = peakRatio;
    state.counters["disk_vs_gif"] = diskRatio;
    state.counters["gif_MB"] = gifBytes / 1e6;
    state.counters["push_ms"] = pushSeconds * 1e3 / Snapshots;
    state.counters["save_ms"] = saveSeconds * 1e3 / Snapshots;
}
BENCHMARK(BM_SnapshotPushes)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
