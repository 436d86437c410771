// Animations written by FFmpeg and ImageMagick, read with our reader, as encoder inputs.
#include "gif/base/stream.h"
#include "gif/codec/image_data_writer.h"
#include "gif/model/image.h"
#include "inputs.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <utility>

namespace benchcodec {

std::vector<Input> LoadAnimations(const std::string& folder) {
    // The files make_animations.sh writes, in the order it lists them.
    static const char* const kNames[] = {"fractal_local_palettes", "color_bars",
                                         "gradient_dithered",      "bayer_dithered",
                                         "small_rectangles",       "interlaced_noise"};
    std::vector<Input> inputs;
    for (const char* name : kNames) {
        const std::string path = folder + "/" + name + ".gif";
        if (!std::filesystem::exists(path)) {
            std::fprintf(stderr, "bench_codec: %s is missing; make it with "
                                 "bench/codec/make_animations.sh\n", path.c_str());
            continue;
        }
        gif::TGIFImage image;
        try {
            gif::TMemoryStream stream;
            stream.LoadFromFile(path);
            image.LoadFromStream(stream);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench_codec: %s: %s\n", path.c_str(), e.what());
            continue;
        }
        Input input{std::string("file_") + name, image.ScreenBitDepth(), {}, true};
        for (int i = 0; i < image.FrameCount(); ++i) {
            const gif::TGIFSubImage& frame = *image.Frame(i);
            if (!frame.HasPixels()) continue;
            const gif::TEncodeSource source = gif::FrameEncodeSource(frame, image.ScreenBitDepth());
            FrameInput f{source.Width, source.Height, source.Interlaced,
                         std::vector<uint8_t>(source.Pixels,
                                              source.Pixels + size_t(source.Width) * source.Height),
                         source.Bits, source.ColorLimit, frame.LocalTable().EntryCount() > 0};
            input.Frames.push_back(std::move(f));
        }
        if (!input.Frames.empty()) inputs.push_back(std::move(input));
    }
    return inputs;
}

} // namespace benchcodec
