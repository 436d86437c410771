// Our optimisers' time per sample animation, in memory, on a fresh copy each iteration
// (the copy is not timed): all four passes and the colour-map merge, and the best-effort
// optimiser. The size and time comparison with gifsicle is made by run.sh, which runs both
// as processes.
#include "animations.h"
#include "gif/base/stream.h"
#include "gif/optimize/best_optimize.h"

#include <benchmark/benchmark.h>

namespace {

constexpr gif::TGIFOptimizeOptions AllPasses =
    gif::optTrim | gif::optDuplicatePixels | gif::optCleanup | gif::optSortPalettes;

template <typename Run> void Time(benchmark::State& state, Run run) {
    std::vector<optbench::TSample> samples = optbench::MakeSamples();
    optbench::TSample& sample = samples[size_t(state.range(0))];
    state.SetLabel(sample.Name);
    for (auto _ : state) {
        state.PauseTiming();
        gif::TGIFImage copy;
        copy.Assign(sample.Image.get());
        state.ResumeTiming();
        run(copy);
        benchmark::DoNotOptimize(copy.FrameCount());
    }
}

void BM_Optimize(benchmark::State& state) {
    Time(state, [](gif::TGIFImage& image) {
        image.Optimize(AllPasses);
        image.OptimizeColorMaps();
    });
}

void BM_OptimizeBest(benchmark::State& state) {
    Time(state, [](gif::TGIFImage& image) { gif::OptimizeBest(image); });
}

} // namespace

BENCHMARK(BM_Optimize)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimizeBest)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);
