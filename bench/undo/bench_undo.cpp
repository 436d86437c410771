// Whole-animation undo snapshots (TActiveAnimation) of a 100-frame 480 x 270 animation.
//   BM_SnapshotPushes: 50 pushes into one history, each timed against one SaveToFile of
//     the same animation in the same run. Counters:
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

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Frames = 100, Width = 480, Height = 270, Snapshots = 50;

// A moving gradient with a little noise: compresses like a real screen recording.
std::unique_ptr<gif::TGIFImage> MakeAnimation() {
    auto image = std::make_unique<gif::TGIFImage>();
    for (int c = 0; c < 256; ++c)
        image->GlobalColorMap().AppendColor(gif::RGB(uint8_t(c), uint8_t(255 - c), uint8_t(c * 7)));
    uint32_t seed = 12345;
    for (int f = 0; f < Frames; ++f) {
        auto frame = std::make_unique<gif::TGIFSubImage>(image.get());
        frame->SetPlacement(0, 0, Width, Height);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                seed = seed * 1103515245 + 12345;
                const int noise = (seed >> 28) == 0 ? int(seed >> 20 & 7) : 0;
                frame->Pixels()[y * Width + x] = uint8_t((x + y + f * 3) / 4 + noise);
            }
        auto control = std::make_unique<gif::TGIFGraphicControlExtension>(frame.get());
        control->SetDelayTime(4);
        frame->Blocks().Add(std::move(control));
        image->AddFrame(std::move(frame));
    }
    return image;
}

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
    auto image = MakeAnimation();
    editortest::TFakeFrameList list(Frames);
    editortest::TScriptedPrompter prompter;
    editor::Settings settings(sandbox.filePath("settings.ini"));
    editor::TEditContext context{*image, list, prompter, settings};
    const QString gifPath = sandbox.filePath("animation.gif");
    image->SaveToFile(editor::NativePath(gifPath));
    const double gifBytes = double(QFileInfo(gifPath).size());
    double pushSeconds = 0, saveSeconds = 0, peakRatio = 0, diskRatio = 0;
    for (auto _ : state) {
        editor::THistoryList history;
        const long baseline = CurrentKb();
        ResetPeak();
        for (int i = 0; i < Snapshots; ++i) {
            auto t0 = Clock::now();
            history.Push(context, editor::ckActiveAnimation, 8, -1, -1, -1, "Snapshot");
            auto t1 = Clock::now();
            image->SaveToFile(editor::NativePath(gifPath));
            auto t2 = Clock::now();
            pushSeconds += std::chrono::duration<double>(t1 - t0).count();
            saveSeconds += std::chrono::duration<double>(t2 - t1).count();
        }
        peakRatio = double(PeakKb() - baseline) * 1024.0 / double(Frames * Width * Height);
        qint64 disk = 0;
        for (const QFileInfo& file : QDir(sandbox.path()).entryInfoList({"~GL*"}, QDir::Files))
            disk += file.size();
        diskRatio = double(disk) / gifBytes;
    }
    state.counters["push_vs_save"] = pushSeconds / saveSeconds;
    state.counters["peak_vs_pixels"] = peakRatio;
    state.counters["disk_vs_gif"] = diskRatio;
    state.counters["gif_MB"] = gifBytes / 1e6;
}
BENCHMARK(BM_SnapshotPushes)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
