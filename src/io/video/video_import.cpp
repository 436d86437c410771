#include "io/video/video_import.h"

#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "gif/reduce/reduce_colors.h"
#include "io/avi/avi_messages.h"
#include "io/avi/avi_stream_info.h"
#include "io/avi/frame_timing.h"
#include "io/avi/picture_conversion.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace io {

namespace {

// Owners of FFmpeg's objects; declared in the order they are acquired, so that they are
// released in the reverse order.
struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct ScalerFreer {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

// The head of the file that holds an AVI file's header lists.
constexpr size_t AviHeadBytes = size_t(1) << 20;

std::vector<uint8_t> ReadHead(const std::string& path) {
    std::vector<uint8_t> head(AviHeadBytes);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return {};
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::fclose(file);
    return head;
}

// The layouts ConvertPicture takes directly; others go through the scaler to BGR24.
std::optional<TPictureLayout> DirectLayout(int format) {
    switch (format) {
    case AV_PIX_FMT_BGR24: return TPictureLayout::Bgr24;
    case AV_PIX_FMT_RGB24: return TPictureLayout::Rgb24;
    case AV_PIX_FMT_BGRA:
    case AV_PIX_FMT_BGR0: return TPictureLayout::Bgra32;
    case AV_PIX_FMT_RGBA:
    case AV_PIX_FMT_RGB0: return TPictureLayout::Rgba32;
    case AV_PIX_FMT_GRAY8: return TPictureLayout::Gray8;
    case AV_PIX_FMT_PAL8: return TPictureLayout::Pal8;
    default: return std::nullopt;
    }
}

// One decoded picture and its time stamp.
struct TPicture {
    const AVFrame* Frame = nullptr;
    int64_t Start = 0;
    int64_t Duration = 0;
};

// The reader: opens the file, finds the first video stream and its timing, opens its
// decoder, then hands out the decoded pictures one by one.
class TVideoReader {
  public:
    explicit TVideoReader(const std::string& path) {
        AVFormatContext* opened = nullptr;
        if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0)
            throw EAviError(avimsg::OpenFile);
        format_.reset(opened);

        if (avformat_find_stream_info(format_.get(), nullptr) < 0)
            throw EAviError(avimsg::OpenStream);
        for (unsigned i = 0; i < format_->nb_streams; ++i) {
            const AVStream* s = format_->streams[i];
            if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
                !(s->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
                stream_ = format_->streams[i];
                break;
            }
        }
        if (!stream_) throw EAviError(avimsg::OpenStream);

        // Timing: an AVI file's own stream header, as written; other containers carry the
        // frame rate as a fraction, rate / scale.
        if (std::strstr(format_->iformat->name, "avi")) {
            const std::vector<uint8_t> head = ReadHead(path);
            avi_ = ReadAviStreamInfo(head);
            if (!avi_) throw EAviError(avimsg::StreamInfo);
            Scale = avi_->Scale;
            Rate = avi_->Rate;
        } else {
            AVRational fps = stream_->avg_frame_rate;
            if (fps.num <= 0 || fps.den <= 0) fps = stream_->r_frame_rate;
            if (fps.num <= 0 || fps.den <= 0) fps = av_inv_q(stream_->time_base);
            if (fps.num <= 0 || fps.den <= 0) throw EAviError(avimsg::StreamInfo);
            Scale = uint32_t(fps.den);
            Rate = uint32_t(fps.num);
        }
        TimeBase = stream_->time_base;

        if (stream_->codecpar->width <= 0 || stream_->codecpar->height <= 0)
            throw EAviError(avimsg::FormatSize);
        const AVCodec* codec = avcodec_find_decoder(stream_->codecpar->codec_id);
        if (!codec) throw EAviError(avimsg::Format);

        codec_.reset(avcodec_alloc_context3(codec));
        packet_.reset(av_packet_alloc());
        frame_.reset(av_frame_alloc());
        if (!codec_ || !packet_ || !frame_ ||
            avcodec_parameters_to_context(codec_.get(), stream_->codecpar) < 0)
            throw EAviError(avimsg::BeginStreaming);
        codec_->pkt_timebase = stream_->time_base;
        if (avcodec_open2(codec_.get(), codec, nullptr) < 0) throw EAviError(avimsg::Decompressor);
    }

    uint32_t Scale = 0;
    uint32_t Rate = 0;
    AVRational TimeBase{0, 1};
    // The AVI stream header, for AVI files.
    const std::optional<TAviStreamInfo>& Avi() const { return avi_; }
    // The frames expected, for progress: the AVI length, else the container's count or an
    // estimate from the duration; 0 when unknown.
    int64_t ExpectedFrames() const {
        if (avi_) return avi_->Length;
        if (stream_->nb_frames > 0) return stream_->nb_frames;
        if (stream_->duration > 0 && Rate && Scale)
            return int64_t(double(stream_->duration) * av_q2d(stream_->time_base) * Rate / Scale);
        return 0;
    }

    // The next decoded picture; false at the end of the stream. A read or decoding error
    // raises "Failed to decompress AVI frame".
    bool Next(TPicture& picture) {
        for (;;) {
            const int received = avcodec_receive_frame(codec_.get(), frame_.get());
            if (received == 0) {
                picture.Frame = frame_.get();
                picture.Start = frame_->best_effort_timestamp != AV_NOPTS_VALUE
                                    ? frame_->best_effort_timestamp
                                    : frame_->pts;
                picture.Duration = frame_->pkt_duration;
                return true;
            }
            if (received == AVERROR_EOF) return false;
            if (received != AVERROR(EAGAIN)) throw EAviError(avimsg::DecompressFrame);
            if (drained_) return false;
            SendPacket();
        }
    }

  private:
    void SendPacket() {
        for (;;) {
            const int read = av_read_frame(format_.get(), packet_.get());
            if (read == AVERROR_EOF) {
                drained_ = true;
                if (avcodec_send_packet(codec_.get(), nullptr) < 0)
                    throw EAviError(avimsg::DecompressFrame);
                return;
            }
            if (read < 0) throw EAviError(avimsg::DecompressFrame);
            const bool ours = packet_->stream_index == stream_->index;
            const int sent = ours ? avcodec_send_packet(codec_.get(), packet_.get()) : 0;
            av_packet_unref(packet_.get());
            if (sent < 0 && sent != AVERROR(EAGAIN)) throw EAviError(avimsg::DecompressFrame);
            if (ours) return;
        }
    }

    std::unique_ptr<AVFormatContext, FormatCloser> format_;
    AVStream* stream_ = nullptr;
    std::optional<TAviStreamInfo> avi_;
    std::unique_ptr<AVCodecContext, CodecFreer> codec_;
    std::unique_ptr<AVPacket, PacketFreer> packet_;
    std::unique_ptr<AVFrame, FrameFreer> frame_;
    bool drained_ = false;
};

// Turns decoded pictures into bitmaps: palette and RGB pictures directly, every other pixel
// format through the scaler into BGR24. One bitmap is reused for every picture.
class TPictureConverter {
  public:
    // `maxSide` > 0 shrinks larger pictures to fit (for palette sampling).
    explicit TPictureConverter(int maxSide = 0) : maxSide_(maxSide) {}

    const gif::TBitmap& Convert(const AVFrame& frame) {
        int width = frame.width;
        int height = frame.height;
        if (maxSide_ > 0 && std::max(width, height) > maxSide_) {
            const double f = double(maxSide_) / std::max(width, height);
            width = std::max(1, int(width * f));
            height = std::max(1, int(height * f));
        }
        const std::optional<TPictureLayout> layout = DirectLayout(frame.format);
        if (layout && width == frame.width && height == frame.height) {
            TPictureView view;
            view.Width = frame.width;
            view.Height = frame.height;
            view.Layout = *layout;
            // Decoders of bottom-up pictures hand them out with a negative line size,
            // starting at the top row.
            const int linesize = frame.linesize[0];
            view.Stride = size_t(std::abs(linesize));
            view.BottomUp = linesize < 0;
            view.Pixels = view.BottomUp && frame.data[0]
                              ? frame.data[0] + ptrdiff_t(linesize) * (frame.height - 1)
                              : frame.data[0];
            view.Size = view.Stride * size_t(std::max(frame.height, 0));
            if (*layout == TPictureLayout::Pal8 && frame.data[1])
                view.Palette = {reinterpret_cast<const uint32_t*>(frame.data[1]), 256};
            ConvertPicture(view, bitmap_);
            return bitmap_;
        }
        if (width <= 0 || height <= 0 || width > gif::MaxBitmapSide || height > gif::MaxBitmapSide)
            throw EAviError(avimsg::DecompressFrame);
        scaler_.reset(sws_getCachedContext(
            scaler_.release(), frame.width, frame.height, AVPixelFormat(frame.format), width,
            height, AV_PIX_FMT_BGR24, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
            nullptr, nullptr, nullptr));
        if (!scaler_) throw EAviError(avimsg::DecompressFrame);
        if (bitmap_.Width() != width || bitmap_.Height() != height ||
            bitmap_.PixelFormat() != gif::pf24bit)
            bitmap_ = gif::TBitmap(width, height, gif::pf24bit);
        uint8_t* planes[4] = {bitmap_.ScanLine(0), nullptr, nullptr, nullptr};
        int strides[4] = {bitmap_.BytesPerLine(), 0, 0, 0};
        if (sws_scale(scaler_.get(), frame.data, frame.linesize, 0, frame.height, planes,
                      strides) != height)
            throw EAviError(avimsg::DecompressFrame);
        return bitmap_;
    }

  private:
    int maxSide_;
    std::unique_ptr<SwsContext, ScalerFreer> scaler_;
    gif::TBitmap bitmap_;
};

// The least-error palette of the clip, built from at most SampleCount pictures spread
// over it (kept small), stacked into one bitmap.
constexpr int SampleCount = 16;
constexpr int SampleSide = 256;

gif::HPALETTE ClipPalette(const std::string& path, int depth) {
    TVideoReader reader(path);
    TPictureConverter converter(SampleSide);
    std::vector<gif::TBitmap> samples;
    int64_t every = 1;
    int64_t index = 0;
    const int64_t limit = reader.Avi() ? int64_t(reader.Avi()->Length) : INT64_MAX;
    TPicture picture;
    while (index < limit && reader.Next(picture)) {
        if (index++ % every != 0) continue;
        if (int(samples.size()) == SampleCount) {
            // Keep every other sample and take pictures half as often.
            for (size_t i = 0; i < samples.size() / 2; ++i) samples[i] = std::move(samples[2 * i]);
            samples.resize(samples.size() / 2);
            every *= 2;
            if ((index - 1) % every != 0) continue;
        }
        samples.push_back(converter.Convert(*picture.Frame));
        if (samples.back().PixelFormat() != gif::pf24bit) samples.back().SetPixelFormat(gif::pf24bit);
    }
    if (samples.empty()) return nullptr;
    int width = 0;
    int height = 0;
    for (const gif::TBitmap& s : samples) {
        width = std::max(width, s.Width());
        height += s.Height();
    }
    gif::TBitmap mosaic(width, height, gif::pf24bit);
    int y0 = 0;
    for (const gif::TBitmap& s : samples) {
        for (int y = 0; y < s.Height(); ++y) {
            uint8_t* row = mosaic.ScanLine(y0 + y);
            std::memcpy(row, s.ScanLine(y), size_t(s.Width()) * 3);
            // The rest of a narrower sample's row repeats its last pixel, not black.
            for (int x = s.Width(); x < width; ++x) std::memcpy(row + 3 * x, row + 3 * (s.Width() - 1), 3);
        }
        y0 += s.Height();
    }
    return gif::ReductionPalette(mosaic, gif::crQuality, nullptr, depth);
}

// Maps pictures onto the clip's palette; a pixel whose colour equals the previous
// picture's at the same place keeps that picture's index.
class TSharedPaletteMapper {
  public:
    TSharedPaletteMapper(gif::HPALETTE palette, gif::TDitherMode dither)
        : palette_(std::move(palette)), dither_(dither) {}

    const gif::TBitmap& Map(const gif::TBitmap& source) {
        std::unique_ptr<gif::TBitmap> reduced =
            gif::ReduceToPalette(source, gif::crQuality, dither_, palette_);
        if (!reduced || reduced->Empty()) throw EAviError(avimsg::DecompressFrame);
        if (previous_.Width() == source.Width() && previous_.Height() == source.Height() &&
            previous_.PixelFormat() == source.PixelFormat()) {
            const int bytes = gif::PixelFormatBits(source.PixelFormat()) / 8;
            for (int y = 0; y < source.Height(); ++y) {
                const uint8_t* now = source.ScanLine(y);
                const uint8_t* before = previous_.ScanLine(y);
                uint8_t* out = reduced->ScanLine(y);
                const uint8_t* kept = previousIndices_.ScanLine(y);
                for (int x = 0; x < source.Width(); ++x)
                    if (std::memcmp(now + x * bytes, before + x * bytes, size_t(bytes)) == 0)
                        out[x] = kept[x];
            }
        }
        previous_ = source;
        previousIndices_ = *reduced;
        // The table holds the palette's real colours, not 256 entries.
        reduced->SetPalette(palette_);
        mapped_ = std::move(*reduced);
        return mapped_;
    }

  private:
    gif::HPALETTE palette_;
    gif::TDitherMode dither_;
    gif::TBitmap previous_;
    gif::TBitmap previousIndices_;
    gif::TBitmap mapped_;
};

void AppendControlBlock(gif::TGIFSubImage& frame, uint16_t delay) {
    auto control = std::make_unique<gif::TGIFGraphicControlExtension>(&frame);
    control->SetDelayTime(delay);
    frame.Blocks().Add(std::move(control));
}

} // namespace

bool IsVideoFileName(const std::string& path) {
    static constexpr const char* Extensions[] = {".avi",  ".mp4", ".m4v", ".mov",
                                                 ".mkv",  ".webm", ".ogv", ".mpg",
                                                 ".mpeg", ".wmv", ".flv", ".apng"};
    const size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.') return false;
    std::string extension = path.substr(dot);
    for (char& c : extension) c = char(std::tolower(uint8_t(c)));
    for (const char* known : Extensions)
        if (extension == known) return true;
    return false;
}

void ImportAvi(gif::TGIFImage& image, const std::string& path,
               const TVideoImportOptions& options) {
    // FFmpeg's own complaints about damaged input go nowhere: the step's message says it.
    av_log_set_level(AV_LOG_QUIET);
    gif::HPALETTE shared;
    if (options.SharedPalette) {
        shared = ClipPalette(path, options.Depth);
        if (!shared) return; // no picture in the stream
    }
    TVideoReader reader(path);
    image.ReductionMethod = options.Reduction;
    image.DitherMethod = options.Dither;
    image.SetReductionDepth(std::clamp(options.Depth, 3, 8));

    TPictureConverter converter;
    std::optional<TSharedPaletteMapper> mapper;
    if (shared) mapper.emplace(shared, options.Dither);
    const int delay = AviFrameDelay(reader.Scale, reader.Rate);
    const std::optional<TAviStreamInfo>& avi = reader.Avi();
    // An AVI file has as many frames as its header's length says.
    const int64_t limit = avi ? int64_t(avi->Length) : INT64_MAX;
    const int64_t expected = reader.ExpectedFrames();

    std::vector<int64_t> starts;
    int64_t end = 0;
    TPicture picture;
    while (int64_t(starts.size()) < limit && reader.Next(picture)) {
        const gif::TBitmap& bitmap = converter.Convert(*picture.Frame);
        const int index = image.AddFrame(mapper ? &mapper->Map(bitmap) : &bitmap);
        gif::TGIFSubImage& frame = *image.Frame(index);
        if (index == 0) frame.Blocks().Add(std::make_unique<gif::TGIFAppExtNSLoop>(&frame));
        AppendControlBlock(frame, uint16_t(delay));
        starts.push_back(picture.Start);
        end = picture.Start + std::max<int64_t>(picture.Duration, 0);
        if (options.Progress && expected > 0)
            options.Progress(int(std::min<int64_t>(100, int64_t(starts.size()) * 100 / expected)));
    }
    // A damaged AVI file ends before its header's length.
    if (avi && int64_t(starts.size()) < limit) throw EAviError(avimsg::DecompressFrame);

    // Uneven timing (outside AVI files, whose frames are evenly spaced by definition): each
    // frame keeps its own duration, the rounding carried on.
    if (!avi && starts.size() > 1) {
        const double tick = av_q2d(reader.TimeBase);
        const int64_t nominal =
            tick > 0 ? int64_t(std::llround(double(reader.Scale) / reader.Rate / tick)) : 0;
        if (end <= starts.back()) end = starts.back() + nominal;
        if (tick > 0 && !IsConstantRate(starts, end, nominal)) {
            const std::vector<uint16_t> delays = CarriedDelays(starts, end, tick);
            for (size_t i = 0; i < delays.size(); ++i)
                image.Frame(int(i))->ControlBlock()->SetDelayTime(delays[i]);
        }
    }

    if (image.Empty()) return;
    image.OptimizeColorMaps();
    auto comment = std::make_unique<gif::TGIFCommentExtension>(image.Frame(0));
    comment->CommentLines().push_back(CreatedWithComment);
    image.Frame(0)->Blocks().Add(std::move(comment));
}

} // namespace io
