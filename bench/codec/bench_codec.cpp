// Image-data codec throughput against giflib in the same run.
//   BM_Decode/<input>: our DecodeImageData vs DGifSlurp over the same LZW data (the
//     file giflib wrote). Counters: pixel rates of both and speedup = ours / giflib.
//   BM_EncodeLZW/<input>: our LZW encoder vs EGifSpew. Counters as above, plus
//     size_ratio = our image data bytes / giflib's.
//   BM_EncodeRLE/<input>: our run-length encoder alone; rle_giflib_ok says whether
//     giflib decodes its output to the same pixels.
//   BM_LoadFile/<input>, BM_SaveFile/<input>: whole files, as the editor reads and writes
//     them: TGIFImage::LoadFromStream vs DGifSlurp, TGIFImage::SaveToStream vs EGifSpew.
//   BM_DecodeClearHeavy/<input>/<n>: image data that sends a clear code after every n codes,
//     decoded by us and by DGifSlurp; twin_ratio = that time / our time for the same pixels
//     in normal LZW (giflib's encoding).
//   BM_ManyFrames/<n>, BM_ManyBlocks/<n>: reading, writing and freeing n one-pixel frames
//     or n comment blocks; us_per_item must not grow with n.
//   BM_Copy/<input>: read and write again (the frames' image data copied) against giflib's
//     DGifSlurp + EGifSpew and against copying the bytes (cp); vs_cp = our time / the copy's.
//   BM_SaveAnimation/<file>: an animation another program wrote (make_animations.sh, made
//     by the build), read with our reader and written again with every frame compressed,
//     against EGifSpew of the same file as DGifSlurp read it.
// The encoder runs over a corpus of 35 generated inputs and the frames of those animation
// files (file_*). Tables of the speedups follow the benchmark output, with their geometric
// mean and the speedup over each whole set (total giflib time / total time).
#include "gif/base/stream.h"
#include "gif/codec/image_data_writer.h"
#include "gif/codec/lzw_decoder.h"
#include "gif/model/image.h"
#include "inputs.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <gif_lib.h>
#include <map>
#include <stdexcept>
#include <unordered_map>

namespace benchcodec {
namespace {

// The time this thread spends on the CPU: the machines these run on are shared, and wall
// time would count the time other processes take.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<Clock, duration>;
    static time_point now() {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(int64_t(t.tv_sec) * 1000000000 + t.tv_nsec));
    }
};

struct MemoryReader {
    const std::vector<uint8_t>* Bytes;
    size_t Pos = 0;
};

int ReadFromMemory(GifFileType* file, GifByteType* buffer, int count) {
    auto* reader = static_cast<MemoryReader*>(file->UserData);
    size_t n = std::min(size_t(count), reader->Bytes->size() - reader->Pos);
    std::memcpy(buffer, reader->Bytes->data() + reader->Pos, n);
    reader->Pos += n;
    return int(n);
}

int WriteToMemory(GifFileType* file, const GifByteType* buffer, int count) {
    static_cast<std::vector<uint8_t>*>(file->UserData)
        ->insert(static_cast<std::vector<uint8_t>*>(file->UserData)->end(), buffer, buffer + count);
    return count;
}

// A giflib file writing into `out`, holding copies of the input's frames, ready for
// EGifSpew (which also frees it). The copies are made here, outside any timed part.
GifFileType* GiflibSpewReady(const Input& input, std::vector<uint8_t>& out) {
    int error = 0;
    GifFileType* file = EGifOpen(&out, WriteToMemory, &error);
    if (!file) throw std::runtime_error("EGifOpen failed");
    std::vector<GifColorType> colors(256);
    for (size_t i = 0; i < colors.size(); ++i)
        colors[i] = {uint8_t(i * 37), uint8_t(i * 91), uint8_t(i * 13)};
    file->SWidth = 0;
    file->SHeight = 0;
    for (const FrameInput& f : input.Frames) {
        file->SWidth = std::max(file->SWidth, f.Width);
        file->SHeight = std::max(file->SHeight, f.Height);
    }
    file->SColorResolution = 8;
    file->SBackGroundColor = 0;
    file->SColorMap = GifMakeMapObject(1 << input.Bits, colors.data());
    for (const FrameInput& f : input.Frames) {
        SavedImage* image = GifMakeSavedImage(file, nullptr);
        // A frame with a table of its own gets a local colour map: giflib takes the code
        // size from it, and writes it.
        ColorMapObject* local =
            f.LocalTable ? GifMakeMapObject(1 << f.Bits, colors.data()) : nullptr;
        image->ImageDesc = {0, 0, f.Width, f.Height, f.Interlaced, local};
        image->RasterBits = static_cast<GifByteType*>(malloc(f.Pixels.size()));
        std::memcpy(image->RasterBits, f.Pixels.data(), f.Pixels.size());
    }
    out.reserve(input.PixelCount() * 3 / 2 + 1024);
    return file;
}

// Writes the input as a GIF with giflib; returns the file's bytes.
std::vector<uint8_t> GiflibEncode(const Input& input) {
    std::vector<uint8_t> out;
    if (EGifSpew(GiflibSpewReady(input, out)) != GIF_OK) throw std::runtime_error("EGifSpew failed");
    return out;
}

// Where each frame's image data (code size byte .. terminator) lies in a GIF file.
std::vector<std::pair<size_t, size_t>> ImageDataRanges(const std::vector<uint8_t>& gif) {
    std::vector<std::pair<size_t, size_t>> ranges;
    size_t p = 13;
    if (gif[10] & 0x80) p += 3u << ((gif[10] & 7) + 1);
    auto skipBlocks = [&] {
        while (gif[p] != 0)
            p += 1 + gif[p];
        ++p;
    };
    while (p < gif.size() && gif[p] != 0x3B) {
        if (gif[p] == 0x21) {
            p += 2;
            skipBlocks();
        } else if (gif[p] == 0x2C) {
            uint8_t flags = gif[p + 9];
            p += 10;
            if (flags & 0x80) p += 3u << ((flags & 7) + 1);
            size_t start = p++;
            skipBlocks();
            ranges.push_back({start, p});
        } else {
            throw std::runtime_error("unexpected block in GIF");
        }
    }
    return ranges;
}

// Decodes a GIF with DGifSlurp; returns each frame's pixels in row order.
std::vector<std::vector<uint8_t>> GiflibDecode(const std::vector<uint8_t>& gif) {
    MemoryReader reader{&gif};
    int error = 0;
    GifFileType* file = DGifOpen(&reader, ReadFromMemory, &error);
    if (!file || DGifSlurp(file) != GIF_OK) throw std::runtime_error("DGifSlurp failed");
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < file->ImageCount; ++i) {
        const SavedImage& s = file->SavedImages[i];
        frames.emplace_back(s.RasterBits,
                            s.RasterBits + size_t(s.ImageDesc.Width) * s.ImageDesc.Height);
    }
    DGifCloseFile(file, &error);
    return frames;
}

// The giflib file with each frame's image data replaced by `data[i]`.
std::vector<uint8_t> WithImageData(const std::vector<uint8_t>& gif,
                                   const std::vector<std::vector<uint8_t>>& data) {
    auto ranges = ImageDataRanges(gif);
    std::vector<uint8_t> out;
    size_t from = 0;
    for (size_t i = 0; i < ranges.size(); ++i) {
        out.insert(out.end(), gif.begin() + long(from), gif.begin() + long(ranges[i].first));
        out.insert(out.end(), data[i].begin(), data[i].end());
        from = ranges[i].second;
    }
    out.insert(out.end(), gif.begin() + long(from), gif.end());
    return out;
}

// Streams with room for each frame's image data, made before the timed part as giflib's
// output vector is reserved before EGifSpew.
std::vector<gif::TMemoryStream> OutputRoom(const Input& input) {
    std::vector<gif::TMemoryStream> streams(input.Frames.size());
    for (size_t i = 0; i < streams.size(); ++i) {
        const size_t pixels = input.Frames[i].Pixels.size();
        streams[i].SetSize(pixels + pixels / 2 + 1024);
    }
    return streams;
}

// Each frame's image data as written into `streams` (the stream's position marks its end).
std::vector<std::vector<uint8_t>> WrittenData(std::vector<gif::TMemoryStream>& streams) {
    std::vector<std::vector<uint8_t>> data;
    for (gif::TMemoryStream& out : streams) {
        const size_t written = size_t(out.Position());
        std::vector<uint8_t> bytes = out.TakeBytes();
        bytes.resize(written);
        data.push_back(std::move(bytes));
    }
    return data;
}

// Encodes every frame into its stream, as TGIFImage::SaveToStream does: one writer for all.
void OurEncodeInto(const Input& input, gif::TEncodingMethod method,
                   std::vector<gif::TMemoryStream>& streams) {
    gif::TImageDataWriter writer;
    for (size_t i = 0; i < input.Frames.size(); ++i) {
        const FrameInput& f = input.Frames[i];
        const int bits = f.Bits > 0 ? f.Bits : input.Bits;
        const int limit = f.ColorLimit > 0 ? f.ColorLimit : 1 << bits;
        writer.Write(streams[i], {f.Pixels.data(), f.Width, f.Height, f.Interlaced, bits, limit},
                     method);
    }
}

std::vector<std::vector<uint8_t>> OurEncode(const Input& input, gif::TEncodingMethod method) {
    std::vector<gif::TMemoryStream> streams = OutputRoom(input);
    OurEncodeInto(input, method, streams);
    return WrittenData(streams);
}

// Reads a whole file with DGifSlurp, as a program using giflib would; false on failure.
bool GiflibSlurp(const std::vector<uint8_t>& gif) {
    MemoryReader reader{&gif};
    int error = 0;
    GifFileType* file = DGifOpen(&reader, ReadFromMemory, &error);
    if (!file) return false;
    bool ok = DGifSlurp(file) == GIF_OK;
    benchmark::DoNotOptimize(file->SavedImages);
    DGifCloseFile(file, &error);
    return ok;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void Report(benchmark::State& state, const Input& input, double ours, double theirs) {
    const double pixels = double(input.PixelCount()) * double(state.iterations());
    state.counters["ours_Mpix/s"] = pixels / ours / 1e6;
    state.counters["giflib_Mpix/s"] = pixels / theirs / 1e6;
    state.counters["speedup"] = theirs / ours;
    state.SetItemsProcessed(int64_t(pixels));
}

// Times `decode` (ours) against DGifSlurp of the same file, in the same iteration.
template <typename Decode>
void CompareWithSlurp(benchmark::State& state, const Input& input, const std::vector<uint8_t>& gif,
                      Decode decode) {
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        Clock::time_point t0 = Clock::now();
        decode();
        Clock::time_point t1 = Clock::now();
        if (!GiflibSlurp(gif)) state.SkipWithError("DGifSlurp failed");
        Clock::time_point t2 = Clock::now();
        ours += Seconds(t1 - t0);
        theirs += Seconds(t2 - t1);
        state.SetIterationTime(Seconds(t1 - t0));
    }
    Report(state, input, ours, theirs);
}

void BM_Decode(benchmark::State& state, const Input* input) {
    const std::vector<uint8_t> gif = GiflibEncode(*input);
    const auto ranges = ImageDataRanges(gif);
    gif::TMemoryStream stream{std::vector<uint8_t>(gif)};
    auto noWarnings = [](const char*) {};
    CompareWithSlurp(state, *input, gif, [&] {
        for (size_t i = 0; i < ranges.size(); ++i) {
            const FrameInput& f = input->Frames[i];
            std::vector<uint8_t> pixels(f.Pixels.size(), 0);
            stream.SetPosition(int64_t(ranges[i].first));
            gif::DecodeImageData(stream, {pixels.data(), f.Width, f.Height, f.Interlaced},
                                 noWarnings);
            benchmark::DoNotOptimize(pixels.data());
        }
    });
}

// Seconds per iteration of the last run of each encoder benchmark: ours, giflib's.
std::map<std::string, std::pair<double, double>>& EncodeTimes() {
    static std::map<std::string, std::pair<double, double>> times;
    return times;
}

void BM_EncodeLZW(benchmark::State& state, const Input* input) {
    double ours = 0, theirs = 0;
    size_t ourBytes = 0, theirBytes = 0;
    for (auto _ : state) {
        std::vector<gif::TMemoryStream> streams = OutputRoom(*input);
        Clock::time_point t0 = Clock::now();
        OurEncodeInto(*input, gif::emLZW, streams);
        Clock::time_point t1 = Clock::now();
        auto data = WrittenData(streams);
        // giflib's set-up (colour map, copies of the rasters) is timed as part of EGifSpew's
        // share only where it cannot be avoided; the copies are made outside.
        std::vector<uint8_t> out;
        GifFileType* file = GiflibSpewReady(*input, out);
        Clock::time_point t2 = Clock::now();
        if (EGifSpew(file) != GIF_OK) state.SkipWithError("EGifSpew failed");
        Clock::time_point t3 = Clock::now();
        ours += Seconds(t1 - t0);
        theirs += Seconds(t3 - t2);
        state.SetIterationTime(Seconds(t1 - t0));
        ourBytes = 0;
        for (const auto& d : data)
            ourBytes += d.size();
        theirBytes = 0;
        for (auto [from, to] : ImageDataRanges(out))
            theirBytes += to - from;
    }
    Report(state, *input, ours, theirs);
    state.counters["size_ratio"] = double(ourBytes) / double(theirBytes);
    const double n = double(state.iterations());
    EncodeTimes()[input->Name] = {ours / n, theirs / n};
}

// Seconds per iteration of the last run of each whole-file save of an animation file.
std::map<std::string, std::pair<double, double>>& SaveTimes() {
    static std::map<std::string, std::pair<double, double>> times;
    return times;
}

// One table of (ours, giflib) seconds per input, with the whole set's speedup.
void PrintTable(const char* title, const std::map<std::string, std::pair<double, double>>& times) {
    if (times.empty()) return;
    double ours = 0, theirs = 0, logSum = 0, lowest = 1e9;
    std::printf("\n%s (speedup = giflib time / our time)\n", title);
    std::printf("%-32s %12s %12s %8s\n", "input", "ours ms", "giflib ms", "speedup");
    for (const auto& [name, t] : times) {
        std::printf("%-32s %12.3f %12.3f %8.2f\n", name.c_str(), t.first * 1e3, t.second * 1e3,
                    t.second / t.first);
        ours += t.first;
        theirs += t.second;
        logSum += std::log(t.second / t.first);
        lowest = std::min(lowest, t.second / t.first);
    }
    std::printf("whole set (%zu inputs): %.2f, geometric mean %.2f, lowest %.2f\n", times.size(),
                theirs / ours, std::exp(logSum / double(times.size())), lowest);
}

void PrintEncodeSummary() {
    std::map<std::string, std::pair<double, double>> generated, files;
    for (const auto& [name, t] : EncodeTimes())
        (name.starts_with("file_") ? files : generated)[name] = t;
    PrintTable("LZW encoder against EGifSpew, generated inputs", generated);
    PrintTable("LZW encoder against EGifSpew, animation files (image data of every frame)", files);
    PrintTable("Whole-file save of the animation files, SaveToStream against EGifSpew",
               SaveTimes());
}

void BM_EncodeRLE(benchmark::State& state, const Input* input) {
    size_t bytes = 0;
    for (auto _ : state) {
        auto data = OurEncode(*input, gif::emRLE);
        bytes = 0;
        for (const auto& d : data)
            bytes += d.size();
    }
    state.SetItemsProcessed(int64_t(input->PixelCount()) * state.iterations());
    state.counters["bytes"] = double(bytes);
    // giflib must read the run-length output back to the same pixels.
    auto frames = GiflibDecode(WithImageData(GiflibEncode(*input), OurEncode(*input, gif::emRLE)));
    bool ok = frames.size() == input->Frames.size();
    for (size_t i = 0; ok && i < frames.size(); ++i) {
        // giflib hands interlaced rows back in place, as we hold them.
        ok = frames[i] == input->Frames[i].Pixels;
    }
    state.counters["rle_giflib_ok"] = ok ? 1 : 0;
}

// The input as an image of our object model, coloured like the giflib files.
std::unique_ptr<gif::TGIFImage> OurImage(const Input& input) {
    auto image = std::make_unique<gif::TGIFImage>();
    for (int i = 0; i < (1 << input.Bits); ++i)
        image->GlobalColorMap().AppendColor(gif::RGB(uint8_t(i * 37), uint8_t(i * 91), uint8_t(i * 13)));
    for (const FrameInput& f : input.Frames) {
        auto frame = std::make_unique<gif::TGIFSubImage>(image.get());
        frame->SetPlacement(0, 0, f.Width, f.Height);
        frame->SetInterlaced(f.Interlaced);
        std::memcpy(frame->Pixels(), f.Pixels.data(), f.Pixels.size());
        image->AddFrame(std::move(frame));
    }
    return image;
}

void BM_LoadFile(benchmark::State& state, const Input* input) {
    const std::vector<uint8_t> gif = GiflibEncode(*input);
    CompareWithSlurp(state, *input, gif, [&] {
        gif::TMemoryStream stream{std::span<const uint8_t>(gif)};
        gif::TGIFImage image;
        image.LoadFromStream(stream);
        benchmark::DoNotOptimize(image.Frame(0)->Pixels());
    });
}

void BM_SaveFile(benchmark::State& state, const Input* input) {
    std::unique_ptr<gif::TGIFImage> image = OurImage(*input);
    double ours = 0, theirs = 0;
    size_t ourBytes = 0, theirBytes = 0;
    for (auto _ : state) {
        // Every frame encoded: no image data kept from the write before.
        for (int i = 0; i < image->FrameCount(); ++i) image->Frame(i)->DropEncodedData();
        Clock::time_point t0 = Clock::now();
        gif::TMemoryStream out;
        image->SaveToStream(out);
        Clock::time_point t1 = Clock::now();
        ourBytes = size_t(out.Size());
        std::vector<uint8_t> theirs_out;
        GifFileType* file = GiflibSpewReady(*input, theirs_out);
        Clock::time_point t2 = Clock::now();
        if (EGifSpew(file) != GIF_OK) state.SkipWithError("EGifSpew failed");
        Clock::time_point t3 = Clock::now();
        theirBytes = theirs_out.size();
        ours += Seconds(t1 - t0);
        theirs += Seconds(t3 - t2);
        state.SetIterationTime(Seconds(t1 - t0));
    }
    Report(state, *input, ours, theirs);
    state.counters["size_ratio"] = double(ourBytes) / double(theirBytes);
}

// A giflib file writing into `out` with copies of every frame, extension block and colour
// map of `in` (a file DGifSlurp read), ready for EGifSpew, which also frees it.
GifFileType* GiflibSpewCopy(const GifFileType* in, std::vector<uint8_t>& out) {
    int error = 0;
    GifFileType* file = EGifOpen(&out, WriteToMemory, &error);
    if (!file) return nullptr;
    file->SWidth = in->SWidth;
    file->SHeight = in->SHeight;
    file->SColorResolution = in->SColorResolution;
    file->SBackGroundColor = in->SBackGroundColor;
    if (in->SColorMap)
        file->SColorMap = GifMakeMapObject(in->SColorMap->ColorCount, in->SColorMap->Colors);
    for (int i = 0; i < in->ExtensionBlockCount; ++i) {
        const ExtensionBlock& b = in->ExtensionBlocks[i];
        GifAddExtensionBlock(&file->ExtensionBlockCount, &file->ExtensionBlocks, b.Function,
                             unsigned(b.ByteCount), b.Bytes);
    }
    for (int i = 0; i < in->ImageCount; ++i)
        GifMakeSavedImage(file, &in->SavedImages[i]);
    return file;
}

// A whole animation file written again: our reader's image (its frames' image data
// dropped, so every frame is compressed) saved with SaveToStream, against giflib's
// EGifSpew of the same file as DGifSlurp read it. Both read the file before the loop.
void BM_SaveAnimation(benchmark::State& state, const std::string* path) {
    gif::TMemoryStream file;
    file.LoadFromFile(*path);
    const std::vector<uint8_t> bytes = file.Bytes();
    gif::TGIFImage image;
    image.LoadFromStream(file);
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* in = DGifOpen(&reader, ReadFromMemory, &error);
    if (!in || DGifSlurp(in) != GIF_OK) {
        state.SkipWithError("DGifSlurp failed");
        return;
    }
    double ours = 0, theirs = 0;
    size_t ourBytes = 0, theirBytes = 0;
    // Both outputs get their room, touched, before the timed part.
    const size_t room = bytes.size() * 2 + 4096;
    for (auto _ : state) {
        for (int i = 0; i < image.FrameCount(); ++i) image.Frame(i)->DropEncodedData();
        gif::TMemoryStream out;
        out.SetSize(room);
        out.SetPosition(0);
        Clock::time_point t0 = Clock::now();
        image.SaveToStream(out);
        Clock::time_point t1 = Clock::now();
        ourBytes = size_t(out.Position());
        std::vector<uint8_t> theirs_out(room);
        theirs_out.clear();
        GifFileType* spew = GiflibSpewCopy(in, theirs_out);
        Clock::time_point t2 = Clock::now();
        if (!spew || EGifSpew(spew) != GIF_OK) state.SkipWithError("EGifSpew failed");
        Clock::time_point t3 = Clock::now();
        theirBytes = theirs_out.size();
        ours += Seconds(t1 - t0);
        theirs += Seconds(t3 - t2);
        state.SetIterationTime(Seconds(t1 - t0));
    }
    DGifCloseFile(in, &error);
    const double n = double(state.iterations());
    state.counters["speedup"] = theirs / ours;
    state.counters["size_ratio"] = double(ourBytes) / double(theirBytes);
    std::string name = std::filesystem::path(*path).stem().string();
    SaveTimes()["file_" + name] = {ours / n, theirs / n};
}

// Reads a file and writes it again with giflib, as a copying program on giflib would:
// DGifSlurp, then EGifSpew of the frames read.
bool GiflibCopy(const std::vector<uint8_t>& gif, std::vector<uint8_t>& out) {
    MemoryReader reader{&gif};
    int error = 0;
    GifFileType* in = DGifOpen(&reader, ReadFromMemory, &error);
    if (!in) return false;
    bool ok = DGifSlurp(in) == GIF_OK;
    GifFileType* file = ok ? GiflibSpewCopy(in, out) : nullptr;
    if (file) ok = EGifSpew(file) == GIF_OK;
    DGifCloseFile(in, &error);
    return ok && file;
}

// `copy` of a file giflib wrote: our read and write (the frames' image data kept from the
// read and copied) against giflib's read and write, and against copying the bytes alone
// (what `cp` does). Counters: speedup = giflib time / ours, vs_cp = our time / the copy's.
void BM_Copy(benchmark::State& state, const Input* input) {
    const std::vector<uint8_t> gif = GiflibEncode(*input);
    double ours = 0, theirs = 0, bytes = 0;
    for (auto _ : state) {
        Clock::time_point t0 = Clock::now();
        {
            gif::TMemoryStream in{std::span<const uint8_t>(gif)};
            gif::TGIFImage image;
            image.LoadFromStream(in);
            gif::TMemoryStream out;
            image.SaveToStream(out);
            benchmark::DoNotOptimize(out.Bytes().data());
        }
        Clock::time_point t1 = Clock::now();
        std::vector<uint8_t> theirs_out;
        theirs_out.reserve(gif.size() + 1024);
        if (!GiflibCopy(gif, theirs_out)) state.SkipWithError("giflib copy failed");
        Clock::time_point t2 = Clock::now();
        std::vector<uint8_t> copy(gif);
        benchmark::DoNotOptimize(copy.data());
        Clock::time_point t3 = Clock::now();
        ours += Seconds(t1 - t0);
        theirs += Seconds(t2 - t1);
        bytes += Seconds(t3 - t2);
        state.SetIterationTime(Seconds(t1 - t0));
    }
    Report(state, *input, ours, theirs);
    state.counters["vs_cp"] = ours / std::max(bytes, 1e-9);
}

// LZW image data for `f` that starts the table again after every `interval` codes (a
// plain string-table encoder; any correct decoder reads it back to the same pixels).
std::vector<uint8_t> ClearHeavyData(const FrameInput& f, int bits, int interval) {
    const int s = std::max(bits, 2), clear = 1 << s, end = clear + 1;
    std::vector<uint8_t> data;
    uint64_t acc = 0;
    int count = 0, size = s + 1, next = clear + 2, sent = 0;
    auto emit = [&](int code) {
        acc |= uint64_t(code) << count;
        count += size;
        while (count >= 8) {
            data.push_back(uint8_t(acc));
            acc >>= 8;
            count -= 8;
        }
    };
    std::unordered_map<uint32_t, int> table;
    auto restart = [&] {
        emit(clear);
        table.clear();
        size = s + 1;
        next = clear + 2;
        sent = 0;
    };
    // Rows in stored order (the inputs used here are not interlaced).
    restart();
    int prefix = f.Pixels[0];
    for (size_t i = 1; i < f.Pixels.size(); ++i) {
        const uint32_t key = uint32_t(prefix) << 8 | f.Pixels[i];
        if (auto it = table.find(key); it != table.end()) {
            prefix = it->second;
            continue;
        }
        emit(prefix);
        if (++sent >= interval || next >= 4095) {
            restart();
        } else {
            table[key] = next++;
            if (next > (1 << size) && size < 12) ++size;
        }
        prefix = f.Pixels[i];
    }
    emit(prefix);
    emit(end);
    if (count > 0) data.push_back(uint8_t(acc));
    std::vector<uint8_t> out = {uint8_t(s)};
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    out.push_back(0);
    return out;
}

void BM_DecodeClearHeavy(benchmark::State& state, const Input* input, int interval) {
    const FrameInput& f = input->Frames[0];
    const std::vector<uint8_t> normal = GiflibEncode(*input);
    const std::vector<uint8_t> heavy = WithImageData(normal, {ClearHeavyData(f, input->Bits, interval)});
    const size_t normalAt = ImageDataRanges(normal)[0].first;
    const size_t heavyAt = ImageDataRanges(heavy)[0].first;
    gif::TMemoryStream normalStream{std::vector<uint8_t>(normal)};
    gif::TMemoryStream heavyStream{std::vector<uint8_t>(heavy)};
    std::vector<uint8_t> pixels(f.Pixels.size());
    auto noWarnings = [](const char*) {};
    auto decode = [&](gif::TMemoryStream& stream, size_t at) {
        stream.SetPosition(int64_t(at));
        gif::DecodeImageData(stream, {pixels.data(), f.Width, f.Height, f.Interlaced}, noWarnings);
        benchmark::DoNotOptimize(pixels.data());
    };
    decode(heavyStream, heavyAt);
    if (pixels != f.Pixels) state.SkipWithError("clear-heavy data decoded wrongly");
    double ours = 0, twin = 0, theirs = 0;
    for (auto _ : state) {
        Clock::time_point t0 = Clock::now();
        decode(heavyStream, heavyAt);
        Clock::time_point t1 = Clock::now();
        decode(normalStream, normalAt);
        Clock::time_point t2 = Clock::now();
        if (!GiflibSlurp(heavy)) state.SkipWithError("DGifSlurp failed");
        Clock::time_point t3 = Clock::now();
        ours += Seconds(t1 - t0);
        twin += Seconds(t2 - t1);
        theirs += Seconds(t3 - t2);
        state.SetIterationTime(Seconds(t1 - t0));
    }
    Report(state, *input, ours, theirs);
    state.counters["twin_ratio"] = ours / twin;
    state.counters["heavy_bytes"] = double(heavy.size());
}

// `count` one-pixel frames, each after `comments` comment blocks.
std::vector<uint8_t> ManyItemsFile(int frames, int comments) {
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
    for (int i = 0; i < comments; ++i)
        gif.insert(gif.end(), {0x21, 0xFE, 1, 'x', 0});
    for (int i = 0; i < frames; ++i)
        gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0});
    gif.push_back(0x3B);
    return gif;
}

// Reads, writes and frees the file; time per frame or block.
void BM_ManyItems(benchmark::State& state, int frames, int comments) {
    const std::vector<uint8_t> gif = ManyItemsFile(frames, comments);
    double seconds = 0;
    for (auto _ : state) {
        Clock::time_point t0 = Clock::now();
        auto image = std::make_unique<gif::TGIFImage>();
        gif::TMemoryStream in{std::span<const uint8_t>(gif)};
        image->LoadFromStream(in);
        gif::TCountingStream out;
        image->SaveToStream(out);
        image.reset();
        seconds += Seconds(Clock::now() - t0);
    }
    const double items = double(std::max(frames, comments)) * double(state.iterations());
    state.counters["us_per_item"] = seconds / items * 1e6;
}

} // namespace
} // namespace benchcodec

int main(int argc, char** argv) {
    static const std::vector<benchcodec::Input> inputs = benchcodec::MakeInputs();
    static const std::vector<benchcodec::Input> corpus = [] {
        std::vector<benchcodec::Input> all = benchcodec::MakeEncoderCorpus();
        for (benchcodec::Input& input : benchcodec::LoadAnimations(BENCH_ANIMATIONS_DIR))
            all.push_back(std::move(input));
        return all;
    }();
    static std::vector<std::string> animationFiles;
    for (const benchcodec::Input& input : corpus)
        if (input.FromFile)
            animationFiles.push_back(std::string(BENCH_ANIMATIONS_DIR) + "/" +
                                     input.Name.substr(5) + ".gif");
    for (const std::string& path : animationFiles) {
        benchmark::RegisterBenchmark(
            ("BM_SaveAnimation/" + std::filesystem::path(path).stem().string()).c_str(),
            benchcodec::BM_SaveAnimation, &path)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    for (const benchcodec::Input& input : corpus) {
        benchmark::RegisterBenchmark(("BM_EncodeLZW/" + input.Name).c_str(),
                                     benchcodec::BM_EncodeLZW, &input)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    for (const benchcodec::Input& input : inputs) {
        benchmark::RegisterBenchmark(("BM_Decode/" + input.Name).c_str(), benchcodec::BM_Decode,
                                     &input)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_LoadFile/" + input.Name).c_str(),
                                     benchcodec::BM_LoadFile, &input)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_SaveFile/" + input.Name).c_str(),
                                     benchcodec::BM_SaveFile, &input)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_Copy/" + input.Name).c_str(), benchcodec::BM_Copy,
                                     &input)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_EncodeRLE/" + input.Name).c_str(),
                                     benchcodec::BM_EncodeRLE, &input)
            ->Unit(benchmark::kMillisecond);
    }
    for (const benchcodec::Input& input : inputs) {
        if (input.Frames.size() != 1 || input.Frames[0].Interlaced) continue;
        for (int interval : {2, 5, 50}) {
            benchmark::RegisterBenchmark(
                ("BM_DecodeClearHeavy/" + input.Name + "/" + std::to_string(interval)).c_str(),
                benchcodec::BM_DecodeClearHeavy, &input, interval)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (int n : {10000, 100000}) {
        benchmark::RegisterBenchmark(("BM_ManyFrames/" + std::to_string(n)).c_str(),
                                     benchcodec::BM_ManyItems, n, 0)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_ManyBlocks/" + std::to_string(n)).c_str(),
                                     benchcodec::BM_ManyItems, 1, n)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    benchcodec::PrintEncodeSummary();
    return 0;
}
