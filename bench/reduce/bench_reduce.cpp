// Colour reduction of true-colour pictures to 256 colours: our methods against
// libimagequant (dithered and not) and ImageMagick, on the same pictures in one run.
// Time is per picture; the counters give each result's PSNR against the original, as is
// (PSNR) and after a 3x3 box blur (BlurPSNR). The animation rows reduce 60 video frames
// and count the share of still pixels whose colour changes between frames (Shimmer, %).
//
// Pictures: three made here, plus the photographs and video frames of prepare.sh when
// LOOPWRIGHT_REDUCE_DATA names its folder (run.sh does this).
#include "animation.h"
#include "peers.h"
#include "pictures.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace reducebench;

void RunPicture(benchmark::State& state, const TMethod& method, const gif::TBitmap& picture) {
    std::unique_ptr<TReducer> reducer = method.Create(picture);
    for (auto _ : state) {
        state.PauseTiming();
        reducer->Prepare();
        state.ResumeTiming();
        reducer->Run();
    }
    TRgbPicture original = ToRgb(picture), result = reducer->Result();
    state.counters["PSNR"] = Psnr(original, result);
    state.counters["BlurPSNR"] = BlurredPsnr(original, result);
}

void RunAnimation(benchmark::State& state, const TAnimationMethod& method,
                  const std::vector<gif::TBitmap>& frames) {
    std::vector<TRgbPicture> result;
    for (auto _ : state)
        result = method.Reduce(frames);
    std::vector<TRgbPicture> source;
    double psnr = 0, blurred = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        source.push_back(ToRgb(frames[i]));
        psnr += Psnr(source.back(), result[i]);
        blurred += BlurredPsnr(source.back(), result[i]);
    }
    state.counters["PSNR"] = psnr / double(frames.size());
    state.counters["BlurPSNR"] = blurred / double(frames.size());
    state.counters["Shimmer"] = 100 * ShimmerShare(source, result);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    std::vector<TPicture> pictures = MadePictures();
    std::vector<gif::TBitmap> video;
    if (const char* data = std::getenv("LOOPWRIGHT_REDUCE_DATA")) {
        for (const char* folder : {"/photos", "/drawn"})
            for (TPicture& picture : LoadPictures(std::string(data) + folder))
                pictures.push_back(std::move(picture));
        for (TPicture& frame : LoadPictures(std::string(data) + "/video"))
            video.push_back(std::move(frame.Bitmap));
    }

    std::vector<TMethod> methods = Methods();
    for (const TMethod& method : methods)
        for (const TPicture& picture : pictures)
            benchmark::RegisterBenchmark((method.Name + "/" + picture.Name).c_str(), RunPicture,
                                         method, picture.Bitmap)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);
    std::vector<TAnimationMethod> animationMethods = AnimationMethods();
    if (!video.empty())
        for (const TAnimationMethod& method : animationMethods)
            benchmark::RegisterBenchmark(("animation/" + method.Name).c_str(), RunAnimation, method,
                                         video)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
