// Automation calls through the session bus against the same calls in-process.
//   BM_CountRead/bus and /in_process: Frames.Count; the bus run reports the median and the
//     99th percentile of its round trips (aim: median under 0.5 ms).
//   BM_AddFrameNoPrompts/bus and /in_process: a 640 x 480 picture added as a frame; the bus
//     run reports its time as a ratio to the in-process one (aim: at most 2).
// The bus side is an editor started with -AUTOMATION as a child process; the in-process
// side is the object model over a main window of this process. Needs a session bus.
#include "automation/dbus/names.h"
#include "automation/model/application.h"
#include "automation/model/pictures.h"
#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/support/editor_test_util.h"
#include "editor/support/scripted_prompter.h"
#include "editor/window/main_window.h"
#include "gif/graphics/bitmap.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

namespace {

namespace bus = automation::bus;

struct TFixture {
    QTemporaryDir dir;
    QString animation;
    QByteArray picture;
    automation::TPicture pictureBytes;
    QProcess server;
    // In-process.
    std::unique_ptr<editor::Settings> settings;
    editortest::TScriptedPrompter prompter;
    std::unique_ptr<editor::TfrmMain> window;
    std::shared_ptr<automation::TGIFApplication> app;
    double inProcessAddSeconds = 0;
};

TFixture* fixture = nullptr;

QDBusMessage Call(const QString& path, const char* interface, const QString& method,
                  const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(bus::ServiceName, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, 60000);
}

bool StartServer(TFixture& f) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_HOME", f.dir.filePath("server-config"));
    f.server.setProcessEnvironment(environment);
    f.server.start(LOOPWRIGHT_EDITOR, {"-AUTOMATION"});
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 15000) {
        if (QDBusConnection::sessionBus().interface()->isServiceRegistered(bus::ServiceName).value())
            return Call(bus::ApplicationPath, bus::ApplicationInterface, "OpenFile", {f.animation})
                       .arguments()
                       .value(0)
                       .toBool();
        QThread::msleep(20);
    }
    return false;
}

void BM_CountRead_Bus(benchmark::State& state) {
    QDBusMessage get = QDBusMessage::createMethodCall(bus::ServiceName, bus::FramesPath,
                                                      "org.freedesktop.DBus.Properties", "Get");
    get.setArguments({QString(bus::FramesInterface), QString("Count")});
    std::vector<double> samples;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QDBusMessage reply = QDBusConnection::sessionBus().call(get);
        samples.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (reply.type() != QDBusMessage::ReplyMessage) state.SkipWithError("Count read failed");
    }
    std::sort(samples.begin(), samples.end());
    if (samples.empty()) return;
    state.counters["median_ms"] = samples[samples.size() / 2];
    state.counters["p99_ms"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
}

void BM_CountRead_InProcess(benchmark::State& state) {
    auto frames = fixture->app->ActiveDocument().Value->Frames().Value;
    for (auto _ : state) benchmark::DoNotOptimize(frames->Count().Value);
}

void BM_AddFrameNoPrompts_InProcess(benchmark::State& state) {
    auto document = fixture->app->ActiveDocument().Value;
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state)
        if (!document->AddFrameNoPrompts(fixture->pictureBytes, 10).Value) state.SkipWithError("add failed");
    fixture->inProcessAddSeconds = double(timer.nsecsElapsed()) / 1e9 / double(state.iterations());
}

void BM_AddFrameNoPrompts_Bus(benchmark::State& state) {
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        QDBusMessage reply = Call(bus::ActiveDocumentPath, bus::ActiveDocumentInterface,
                                  "AddFrameNoPrompts", {fixture->picture, 10});
        if (!reply.arguments().value(0).toBool()) state.SkipWithError("add failed");
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9 / double(state.iterations());
    if (fixture->inProcessAddSeconds > 0)
        state.counters["ratio_to_in_process"] = seconds / fixture->inProcessAddSeconds;
}

// The same number of frames is added on both sides: each addition records the whole
// animation for undo, so its cost grows with the animation.
BENCHMARK(BM_CountRead_InProcess);
BENCHMARK(BM_CountRead_Bus)->Iterations(2000);
BENCHMARK(BM_AddFrameNoPrompts_InProcess)->Iterations(12)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddFrameNoPrompts_Bus)->Iterations(12)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir sandbox;
    qputenv("XDG_CONFIG_HOME", sandbox.filePath("config").toUtf8());
    QApplication application(argc, argv);
    if (!QDBusConnection::sessionBus().isConnected()) {
        std::fprintf(stderr, "bench_automation: no session bus; run it under dbus-run-session\n");
        return 1;
    }
    TFixture f;
    fixture = &f;
    f.animation = f.dir.filePath("screen.gif");
    editortest::MakeAnimation(2, 640, 480)->SaveToFile(editor::NativePath(f.animation));
    gif::TBitmap bitmap(640, 480, gif::pf24bit);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) bitmap.SetPixels(x, y, gif::RGB(x % 256, y % 256, (x + y) % 256));
    f.pictureBytes = automation::PictureFromBitmap(bitmap);
    f.picture = QByteArray(reinterpret_cast<const char*>(f.pictureBytes.data()), qsizetype(f.pictureBytes.size()));
    // Saving asks nothing; both sides use the same stored settings.
    QDir().mkpath(f.dir.filePath("server-config/Quillmark Software"));
    QFile ini(f.dir.filePath("server-config/Quillmark Software/GIF Loopwright 3.0.ini"));
    if (ini.open(QIODevice::WriteOnly)) ini.write("[Settings]\nCompatibility=7\nDisplayAnimation=0\n");
    ini.close();

    f.settings = std::make_unique<editor::Settings>(f.dir.filePath("settings.ini"));
    f.settings->SetValue(editor::keys::Compatibility, editor::mrNo);
    f.settings->SetValue(editor::keys::DisplayAnimation, 0);
    f.window = std::make_unique<editor::TfrmMain>(*f.settings, &f.prompter);
    f.window->show();
    auto context = std::make_shared<automation::TAutomationContext>(
        automation::TAutomationContext{*f.window, nullptr, nullptr});
    f.app = std::make_shared<automation::TGIFApplication>(context);
    if (!f.app->OpenFile(f.animation).Value || !StartServer(f)) {
        std::fprintf(stderr, "bench_automation: the editor did not start or open the animation\n");
        return 1;
    }
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    f.server.terminate();
    if (!f.server.waitForFinished(5000)) {
        // The bus editor holds the added frames unsaved and asks before closing.
        f.server.kill();
        f.server.waitForFinished(5000);
    }
    f.window.reset();
    return 0;
}
