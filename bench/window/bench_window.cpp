// The editor window, offscreen, with the two animations of bench_animations.h (argument 0:
// 100 frames of 960 x 540; argument 1: a 1,000-frame 640 x 480 screen recording). Each
// measurement is taken against its peer in the same run:
//   BM_OpenAndShow   opening the file as a document in the main window (load, frame list
//                    items with thumbnails, document window, frame 0 shown), against
//                    BM_BareLoad, TGIFImage::LoadFromFile of the same file.
//   BM_EditDelay     one edit of a frame's delay as the commands make it (undo command,
//                    the change, SetModified rewriting the backing file),
//   BM_EditPixel     one edit of one pixel of one frame, the same way,
//   both against BM_Save, one full save: every frame encoded, none copied.
// Counters of BM_OpenAndShow: peak_vs_pixels, the resident memory the open animation adds
// at its peak against its decoded pixel bytes.
//   build/bench/window/bench_window
#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/support/scripted_prompter.h"
#include "editor/undo/command.h"
#include "editor/window/main_window.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "support/bench_animations.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <malloc.h>
#include <string>

namespace {

using benchsupport::TAnimationKind;

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    return 0;
}
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct TFixture {
    TFixture() : settings(sandbox.filePath("settings.ini")) {
        qputenv("TMPDIR", sandbox.path().toUtf8());
        for (TAnimationKind kind : {benchsupport::kGradient, benchsupport::kScreenRecording}) {
            paths[kind] = sandbox.filePath(QString("animation%1.gif").arg(int(kind)));
            benchsupport::MakeAnimation(kind)->SaveToFile(editor::NativePath(paths[kind]));
        }
        settings.SetValue(editor::keys::DisplayAnimation, 0);
        settings.SetValue(editor::keys::Compatibility, editor::mrNo);
    }
    QTemporaryDir sandbox;
    editor::Settings settings;
    editortest::TScriptedPrompter prompter;
    QString paths[2];
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

TAnimationKind KindOf(const benchmark::State& state) { return TAnimationKind(state.range(0)); }

double DecodedPixels(TAnimationKind kind) {
    const auto size = benchsupport::SizeOf(kind);
    return double(size.Frames) * size.Width * size.Height;
}

void BM_BareLoad(benchmark::State& state) {
    TFixture& f = Fixture();
    for (auto _ : state) {
        gif::TGIFImage image;
        image.LoadFromFile(editor::NativePath(f.paths[KindOf(state)]));
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
        if (!workspace.OpenGifDocument(f.paths[KindOf(state)])) state.SkipWithError("open failed");
        QApplication::processEvents();
        state.PauseTiming();
        workspace.CloseDocumentNow(*workspace.ActiveDocument());
        QApplication::processEvents();
        state.ResumeTiming();
    }
    const double peak = double(StatusKb("VmHWM:") - before) * 1024;
    state.counters["peak_vs_pixels"] = peak / DecodedPixels(KindOf(state));
}

void BM_Save(benchmark::State& state) {
    TFixture& f = Fixture();
    gif::TGIFImage image;
    image.LoadFromFile(editor::NativePath(f.paths[KindOf(state)]));
    const QString target = f.sandbox.filePath("saved.gif");
    for (auto _ : state) {
        benchsupport::ForgetKeptData(image);
        image.SaveToFile(editor::NativePath(target));
    }
}

// Opens the animation in a main window and runs `edit` on its document per iteration.
template <typename Edit>
void MeasureEdit(benchmark::State& state, Edit edit) {
    TFixture& f = Fixture();
    editor::TfrmMain window(f.settings, &f.prompter);
    window.show();
    editor::TWorkspace& workspace = window.Workspace();
    if (!workspace.OpenGifDocument(f.paths[KindOf(state)])) state.SkipWithError("open failed");
    editor::TDocument& document = *workspace.ActiveDocument();
    // The first edit writes the backing file whole; the ones measured rewrite it.
    edit(document, workspace.WorkingImage(), 0);
    int n = 1;
    for (auto _ : state) edit(document, workspace.WorkingImage(), n++);
    workspace.CloseDocumentNow(document);
}

void BM_EditDelay(benchmark::State& state) {
    MeasureEdit(state, [](editor::TDocument& document, gif::TGIFImage& image, int n) {
        document.PushCommand(editor::ckGraphicControl, 3, -1, -1, 7, "Change Delay");
        image.Frame(7)->ControlBlock()->SetDelayTime(uint16_t(n % 90 + 5));
        document.SetModified(true);
    });
}

void BM_EditPixel(benchmark::State& state) {
    MeasureEdit(state, [](editor::TDocument& document, gif::TGIFImage& image, int n) {
        document.PushCommand(editor::ckFrame, 3, -1, -1, 7, "Change Frame");
        image.Frame(7)->Pixels()[size_t(n % 1000) * 37] ^= 1;
        document.SetModified(true);
    });
}

} // namespace

BENCHMARK(BM_BareLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_OpenAndShow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_EditDelay)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_EditPixel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
