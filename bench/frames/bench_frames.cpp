// Frame commands on an open document, each as a ratio to one save of the animation it
// works on, measured in the same run (the commands write the backing file, and Delete and
// Reverse an undo snapshot, so a save is their natural unit).
//   BM_AddPhotoFrame: a 1920 x 1080 photo-like picture into a 480 x 270 animation of 20
//     frames, the palette question answered by the stored settings (trimmed to fit).
//   BM_Reverse, BM_Delete: on a 100-frame 960 x 540 animation.
// Counter: vs_save = time of the command / time of one SaveToFile.
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/document/document.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/workspace.h"
#include "editor/frames/frame_commands.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/fake_workspace_host.h"
#include "editor/support/scripted_prompter.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// A moving gradient with sparse noise, like a screen recording.
std::unique_ptr<gif::TGIFImage> Animation(int frames, int width, int height) {
    auto image = std::make_unique<gif::TGIFImage>();
    for (int c = 0; c < 256; ++c)
        image->GlobalColorMap().AppendColor(gif::RGB(uint8_t(c), uint8_t(255 - c), uint8_t(c * 7)));
    uint32_t seed = 7;
    for (int f = 0; f < frames; ++f) {
        auto frame = std::make_unique<gif::TGIFSubImage>(image.get());
        frame->SetPlacement(0, 0, width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                seed = seed * 1103515245 + 12345;
                frame->Pixels()[y * width + x] = uint8_t((x + y + f * 3) / 4 + ((seed >> 29) == 0 ? 3 : 0));
            }
        auto control = std::make_unique<gif::TGIFGraphicControlExtension>(frame.get());
        control->SetDelayTime(4);
        frame->Blocks().Add(std::move(control));
        image->AddFrame(std::move(frame));
    }
    return image;
}

// An open document of the animation in a workspace of its own.
struct Session {
    Session(int frames, int width, int height) {
        qputenv("TMPDIR", sandbox.path().toUtf8());
        host.Workspace = &workspace;
        settings.SetValue(editor::keys::Compatibility, editor::mrNo);
        settings.SetValue(editor::keys::PaletteDefaults, 1);
        settings.SetValue(editor::keys::ClipDefault, 1);
        path = sandbox.filePath("animation.gif");
        Animation(frames, width, height)->SaveToFile(editor::NativePath(path));
        workspace.OpenGifDocument(path);
    }
    // One save of the working image, as the unit of the ratios.
    double SaveSeconds() {
        const QString copy = sandbox.filePath("copy.gif");
        const auto start = Clock::now();
        workspace.WorkingImage().SaveToFile(editor::NativePath(copy));
        return Seconds(start);
    }
    QTemporaryDir sandbox;
    editor::Settings settings{sandbox.filePath("settings.ini")};
    editortest::TScriptedPrompter prompter;
    editortest::TFakeFrameList frames;
    editortest::TFakeWorkspaceHost host;
    editor::TWorkspace workspace{prompter, settings, frames, host};
    QString path;
};

void BM_AddPhotoFrame(benchmark::State& state) {
    double command = 0, save = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Session session(20, 480, 270);
        gif::TBitmap photo(1920, 1080, gif::pf24bit);
        for (int y = 0; y < 1080; ++y)
            for (int x = 0; x < 1920; ++x)
                photo.SetPixels(x, y, gif::RGB(uint8_t(x / 8), uint8_t(y / 5), uint8_t((x ^ y) & 255)));
        save += session.SaveSeconds();
        state.ResumeTiming();
        const auto start = Clock::now();
        editor::AddFrameFromBitmap(session.workspace, photo, 1, "Add Frame");
        command += Seconds(start);
    }
    state.counters["vs_save"] = command / save;
}
BENCHMARK(BM_AddPhotoFrame)->Iterations(2)->Unit(benchmark::kMillisecond);

// Times `command` on a fresh 100-frame 960 x 540 document per iteration, against one save.
template <typename Command> void MeasureOnLargeAnimation(benchmark::State& state, Command command) {
    double commandSeconds = 0, save = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Session session(100, 960, 540);
        save += session.SaveSeconds();
        state.ResumeTiming();
        const auto start = Clock::now();
        command(session.workspace);
        commandSeconds += Seconds(start);
    }
    state.counters["vs_save"] = commandSeconds / save;
}

void BM_Reverse(benchmark::State& state) {
    MeasureOnLargeAnimation(state, [](editor::TWorkspace& w) { editor::ReverseFrameOrder(w); });
}
BENCHMARK(BM_Reverse)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Delete(benchmark::State& state) {
    MeasureOnLargeAnimation(state, [](editor::TWorkspace& w) { editor::DeleteFrame(w, 50); });
}
BENCHMARK(BM_Delete)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
