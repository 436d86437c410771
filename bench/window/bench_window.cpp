// The editor window with a 100-frame 960 x 540 animation, offscreen. Each measurement is
// taken against its peer in the same run:
//   BM_OpenAndShow   opening the file as a document in the main window (load, frame list
//                    items with thumbnails, document window, frame 0 shown), against
//                    BM_BareLoad, TGIFImage::LoadFromFile of the same file.
//   BM_EditDelay     one edit of a frame's delay as the commands make it (undo command,
//                    the change, SetModified rewriting the backing file), against
//                    BM_Save, one SaveToFile of the same animation.
// Counters of BM_OpenAndShow: peak_vs_pixels, the resident memory the open animation adds
// at its peak against its decoded pixel bytes.
//   build/bench/window/bench_window
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <malloc.h>
#include <string>

#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/support/scripted_prompter.h"
#include "editor/undo/command.h"
#include "editor/window/main_window.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace {

constexpr int Frames = 100, Width = 960, Height = 540;

// A moving gradient with a ball and a little noise: compresses like a screen recording.
void WriteAnimation(const QString& path) {
    gif::TGIFImage image;
    for (int c = 0; c < 256; ++c)
        image.GlobalColorMap().AppendColor(gif::RGB(uint8_t(c), uint8_t(255 - c), uint8_t(c * 7)));
    uint32_t seed = 12345;
    for (int f = 0; f < Frames; ++f) {
        auto frame = std::make_unique<gif::TGIFSubImage>(&image);
        frame->SetPlacement(0, 0, Width, Height);
        const int bx = (f * 9) % Width, by = Height / 2;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                seed = seed * 1103515245 + 12345;
                const int noise = (seed >> 28) == 0 ? int(seed >> 20 & 7) : 0;
                const bool ball = (x - bx) * (x - bx) + (y - by) * (y - by) < 60 * 60;
                frame->Pixels()[y * Width + x] = ball ? 255 : uint8_t((x + y + f * 3) / 8 + noise);
            }
        auto control = std::make_unique<gif::TGIFGraphicControlExtension>(frame.get());
        control->SetDelayTime(4);
        frame->Blocks().Add(std::move(control));
        image.AddFrame(std::move(frame));
    }
    image.SaveToFile(editor::NativePath(path));
}

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    return 0;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

struct TFixture {
    TFixture() : settings(sandbox.filePath("settings.ini")) {
        qputenv("TMPDIR", sandbox.path().toUtf8());
        path = sandbox.filePath("animation.gif");
        WriteAnimation(path);
        settings.SetValue(editor::keys::DisplayAnimation, 0);
        settings.SetValue(editor::keys::Compatibility, editor::mrNo);
    }
    QTemporaryDir sandbox;
    editor::Settings settings;
    editortest::TScriptedPrompter prompter;
    QString path;
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

void BM_BareLoad(benchmark::State& state) {
    TFixture& f = Fixture();
    for (auto _ : state) {
        gif::TGIFImage image;
        image.LoadFromFile(editor::NativePath(f.path));
        benchmark::DoNotOptimize(image.FrameCount());
    }
}

void BM_OpenAndShow(benchmark::State& state) {
    TFixture& f = Fixture();
    editor::TfrmMain window(f.settings, &f.prompter);
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    editor::TWorkspace& workspace = window.Workspace();
    // Memory freed by earlier runs goes back to the system first; the peak is taken against
    // the resident size before the first open.
    malloc_trim(0);
    const long before = StatusKb("VmRSS:");
    ResetPeak();
    for (auto _ : state) {
        if (!workspace.OpenGifDocument(f.path)) state.SkipWithError("open failed");
        QApplication::processEvents();
        state.PauseTiming();
        workspace.CloseDocumentNow(*workspace.ActiveDocument());
        QApplication::processEvents();
        state.ResumeTiming();
    }
    const double peak = double(StatusKb("VmHWM:") - before) * 1024;
    state.counters["peak_vs_pixels"] = peak / (double(Frames) * Width * Height);
}

void BM_Save(benchmark::State& state) {
    TFixture& f = Fixture();
    gif::TGIFImage image;
    image.LoadFromFile(editor::NativePath(f.path));
    const QString target = f.sandbox.filePath("saved.gif");
    for (auto _ : state) image.SaveToFile(editor::NativePath(target));
}

void BM_EditDelay(benchmark::State& state) {
    TFixture& f = Fixture();
    editor::TfrmMain window(f.settings, &f.prompter);
    window.show();
    editor::TWorkspace& workspace = window.Workspace();
    if (!workspace.OpenGifDocument(f.path)) state.SkipWithError("open failed");
    editor::TDocument& document = *workspace.ActiveDocument();
    int delay = 5;
    for (auto _ : state) {
        document.PushCommand(editor::ckGraphicControl, 3, -1, -1, 7, "Change Delay");
        workspace.WorkingImage().Frame(7)->ControlBlock()->SetDelayTime(uint16_t(delay++ % 90 + 5));
        document.SetModified(true);
    }
    workspace.CloseDocumentNow(document);
}

} // namespace

BENCHMARK(BM_BareLoad)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_OpenAndShow)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_EditDelay)->Unit(benchmark::kMillisecond)->MinTime(2);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
