// Our optimiser's time per sample animation, in memory: all four passes and the
// colour-map merge on a fresh copy each iteration (the copy is not timed). The size
// and time comparison with gifsicle is made by run.sh, which runs both as processes.
#include <benchmark/benchmark.h>

#include "animations.h"
#include "gif/base/stream.h"

namespace {

constexpr gif::TGIFOptimizeOptions AllPasses =
    gif::optTrim | gif::optDuplicatePixels | gif::optCleanup | gif::optSortPalettes;

void BM_Optimize(benchmark::State& state) {
    std::vector<optbench::TSample> samples = optbench::MakeSamples();
    optbench::TSample& sample = samples[size_t(state.range(0))];
    state.SetLabel(sample.Name);
    for (auto _ : state) {
        state.PauseTiming();
        gif::TGIFImage copy;
        copy.Assign(sample.Image.get());
        state.ResumeTiming();
        copy.Optimize(AllPasses);
        copy.OptimizeColorMaps();
        benchmark::DoNotOptimize(copy.FrameCount());
    }
}

} // namespace

BENCHMARK(BM_Optimize)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
