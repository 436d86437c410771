// The optimisation wizard's live estimate on a 100-frame 480 x 270 animation.
//   BM_EstimateAfterChange: the user changes a choice on the frames page; timed from the
//     request (made on this thread, which stands for the UI thread) until the estimate's
//     size is there, against one Optimize with the same passes of a copy made beforehand,
//     in the same run. The user looks at the page for a moment (a quarter of a second here)
//     before changing the choice, as a person does. Counters:
//       latency_vs_optimize   estimate latency / one Optimize (the aim: at most 1.2)
//       request_us            what the request itself costs the UI thread, microseconds
//       smallest_vs_optimize  the same latency with "Smallest lossless (slower)" checked
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

#include "editor/core/animation_routines.h"
#include "editor/wizards/optimization_results.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Frames = 100, Width = 480, Height = 270;

// A sprite moving over a still background with a little noise, like a screen recording:
// most pixels repeat the frame before, so every pass has work to do.
std::unique_ptr<gif::TGIFImage> MakeAnimation() {
    auto image = std::make_unique<gif::TGIFImage>();
    for (int c = 0; c < 256; ++c)
        image->GlobalColorMap().AppendColor(gif::RGB(uint8_t(c), uint8_t(255 - c), uint8_t(c * 7)));
    std::vector<uint8_t> background(size_t(Width) * Height);
    uint32_t seed = 12345;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            seed = seed * 1103515245 + 12345;
            const int noise = (seed >> 28) == 0 ? int(seed >> 20 & 7) : 0;
            background[size_t(y) * Width + x] = uint8_t((x + y) / 4 + noise);
        }
    for (int f = 0; f < Frames; ++f) {
        auto frame = std::make_unique<gif::TGIFSubImage>(image.get());
        frame->SetPlacement(0, 0, Width, Height);
        std::copy(background.begin(), background.end(), frame->Pixels());
        const int left = (f * 4) % (Width - 64), top = 40 + (f % 20) * 4;
        for (int y = top; y < top + 48; ++y)
            for (int x = left; x < left + 64; ++x) frame->Pixels()[y * Width + x] = uint8_t(200 + (x + f) % 40);
        auto control = std::make_unique<gif::TGIFGraphicControlExtension>(frame.get());
        control->SetDelayTime(4);
        frame->Blocks().Add(std::move(control));
        image->AddFrame(std::move(frame));
    }
    return image;
}

// From a request until the estimate has its size; the request's own cost in `request`.
double Latency(editor::TSizeEstimator& estimator, const editor::TOptimizationChoices& choices,
               double& request) {
    const auto t0 = Clock::now();
    estimator.Request(choices);
    const auto t1 = Clock::now();
    while (estimator.State().Running) std::this_thread::sleep_for(std::chrono::microseconds(100));
    const auto t2 = Clock::now();
    request = std::chrono::duration<double>(t1 - t0).count();
    return std::chrono::duration<double>(t2 - t0).count();
}

void BM_EstimateAfterChange(benchmark::State& state) {
    auto working = MakeAnimation();
    editor::TOptimizationSession session(*working, editor::TAnimationDefaults{});
    editor::TOptimizationChoices before; // the palette page's default: the sort alone
    editor::TOptimizationChoices after = before;
    after.Trim = after.DuplicatePixels = after.NonVisible = true;
    editor::TOptimizationChoices smallest = after;
    smallest.Smallest = true;
    double estimate = 0, optimize = 0, requestMax = 0, best = 0;
    int runs = 0;
    for (auto _ : state) {
        double request = 0;
        Latency(session.Estimator(), before, request);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        estimate += Latency(session.Estimator(), after, request);
        requestMax = std::max(requestMax, request);

        gif::TGIFImage copy;
        copy.Assign(working.get());
        const auto t0 = Clock::now();
        copy.Optimize(after.OptimizerOptions());
        optimize += std::chrono::duration<double>(Clock::now() - t0).count();
        ++runs;
    }
    double request = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    best = Latency(session.Estimator(), smallest, request);
    state.counters["latency_vs_optimize"] = estimate / optimize;
    state.counters["request_us"] = requestMax * 1e6;
    state.counters["smallest_vs_optimize"] = best / (optimize / runs);
    state.counters["optimize_ms"] = optimize / runs * 1e3;
}
BENCHMARK(BM_EstimateAfterChange)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
