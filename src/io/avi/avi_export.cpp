#include "io/avi/avi_export.h"

#include "gif/base/exception.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/reduce/reduce_colors.h"
#include "io/avi/avi_messages.h"
#include "io/avi/avi_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

namespace io {

namespace {

constexpr uint32_t InfoHeaderSize = 40;
constexpr int TableEntries = 256;

// The colour of every possible index of the frame's table (black past its end).
std::array<gif::TColor, 256> ColorsOf(const gif::TGIFSubImage& frame) {
    std::array<gif::TColor, 256> colors{};
    const auto entries = frame.EffectiveTable().Entries();
    for (size_t i = 0; i < entries.size() && i < colors.size(); ++i)
        colors[i] = gif::RGB(entries[i].Red, entries[i].Green, entries[i].Blue);
    return colors;
}

// The canvas becomes the frame's picture: exact, with a local table of the colours present,
// when there are at most 256 of them; else reduced to the least-error palette.
void ReplaceWithCanvas(gif::TGIFSubImage& frame, const std::vector<gif::TColor>& canvas,
                       int width, int height) {
    std::unordered_map<gif::TColor, uint8_t> index;
    std::vector<uint8_t> pixels(canvas.size());
    std::vector<gif::TColor> table;
    bool exact = true;
    for (size_t i = 0; i < canvas.size() && exact; ++i) {
        auto [it, added] = index.try_emplace(canvas[i], uint8_t(table.size()));
        if (added) {
            if (table.size() == 256) {
                exact = false;
                break;
            }
            table.push_back(canvas[i]);
        }
        pixels[i] = it->second;
    }
    if (!exact) {
        gif::TBitmap picture(width, height, gif::pf24bit);
        for (int y = 0; y < height; ++y) {
            uint8_t* row = picture.ScanLine(y);
            for (int x = 0; x < width; ++x) {
                const gif::TColor c = canvas[size_t(y) * size_t(width) + size_t(x)];
                row[3 * x] = gif::GetBValue(c);
                row[3 * x + 1] = gif::GetGValue(c);
                row[3 * x + 2] = gif::GetRValue(c);
            }
        }
        std::unique_ptr<gif::TBitmap> reduced =
            gif::ReduceColors(picture, gif::crQuality, gif::dtNearest, nullptr, 8);
        const gif::HPALETTE& palette = reduced->ColorTable();
        table.clear();
        for (int i = 0; palette && i < palette->Count() && i < 256; ++i)
            table.push_back(palette->ColorAt(i));
        for (int y = 0; y < height; ++y)
            std::memcpy(&pixels[size_t(y) * size_t(width)], reduced->ScanLine(y), size_t(width));
    }
    frame.SetPlacement(0, 0, width, height);
    frame.LocalTable().RemoveAll();
    for (gif::TColor c : table) frame.LocalTable().AppendColor(c);
    frame.AllocatePixels();
    std::memcpy(frame.Pixels(), pixels.data(), pixels.size());
    frame.DropBitmap();
}

uint32_t RowBytes(int width) { return (uint32_t(width) + 3) & ~3u; }

} // namespace

bool FlattenForAvi(gif::TGIFImage& image, const std::function<bool(int frame)>& step) {
    bool completed = true;
    if (image.FrameCount() > 0 && !image.Frame(0)->IsBlank()) {
        const gif::TGIFSubImage& first = *image.Frame(0);
        const int width = first.FrameWidth();
        const int height = first.FrameHeight();
        std::vector<gif::TColor> canvas(size_t(width) * size_t(height));
        {
            const auto colors = ColorsOf(first);
            const uint8_t* pixels = first.Pixels();
            for (size_t i = 0; i < canvas.size(); ++i) canvas[i] = colors[pixels[i]];
        }
        for (int i = 0; i < image.FrameCount(); ++i) {
            if (step && !step(i)) {
                completed = false;
                break;
            }
            gif::TGIFSubImage& frame = *image.Frame(i);
            if (frame.IsBlank()) continue;
            if (gif::TGIFGraphicControlExtension* control = frame.ControlBlock())
                control->SetTransparentFlag(false);
            const auto colors = ColorsOf(frame);
            const int left = frame.FrameLeft();
            const int top = frame.FrameTop();
            const int w = std::min<int>(frame.FrameWidth(), width - left);
            const int h = std::min<int>(frame.FrameHeight(), height - top);
            for (int y = 0; y < h; ++y) {
                const uint8_t* src = frame.Pixels() + size_t(y) * frame.FrameWidth();
                gif::TColor* dst = &canvas[size_t(top + y) * size_t(width) + size_t(left)];
                for (int x = 0; x < w; ++x) dst[x] = colors[src[x]];
            }
            ReplaceWithCanvas(frame, canvas, width, height);
        }
    }
    if (!image.Empty()) image.OptimizeColorMaps();
    return completed;
}

uint32_t AviTimeScale(const gif::TGIFImage& image) {
    bool localTable = false;
    uint32_t delay = 0;
    for (int i = 0; i < image.FrameCount(); ++i) {
        const gif::TGIFSubImage& frame = *image.Frame(i);
        localTable = localTable || frame.LocalTable().EntryCount() > 0;
        if (frame.ControlBlock()) delay = frame.ControlBlock()->DelayTime();
        if (localTable && delay != 0) break;
    }
    return delay == 0 ? 1 : delay;
}

TAviPictureSizes AviPictureSizes(const gif::TGIFImage& image) {
    if (image.FrameCount() == 0 || image.Frame(0)->IsBlank()) return {};
    const gif::TGIFSubImage& first = *image.Frame(0);
    return {InfoHeaderSize + TableEntries * 4, RowBytes(first.FrameWidth()) * first.FrameHeight()};
}

std::vector<uint8_t> AviStreamFormat(const gif::TGIFImage& image) {
    const TAviPictureSizes sizes = AviPictureSizes(image);
    if (sizes.HeaderSize == 0) return {};
    const gif::TGIFSubImage& first = *image.Frame(0);
    std::vector<uint8_t> format(sizes.HeaderSize);
    auto put32 = [&format](size_t at, uint32_t v) {
        for (int b = 0; b < 4; ++b) format[at + size_t(b)] = uint8_t(v >> (8 * b));
    };
    put32(0, InfoHeaderSize);
    put32(4, first.FrameWidth());
    put32(8, first.FrameHeight()); // positive: rows bottom-up
    format[12] = 1;                // planes
    format[14] = 8;                // bits per pixel
    put32(16, 0);                  // uncompressed
    put32(20, sizes.ImageSize);
    put32(32, TableEntries);       // colours used
    const auto colors = ColorsOf(first);
    for (int i = 0; i < TableEntries; ++i) {
        uint8_t* entry = &format[InfoHeaderSize + size_t(i) * 4];
        entry[0] = gif::GetBValue(colors[size_t(i)]);
        entry[1] = gif::GetGValue(colors[size_t(i)]);
        entry[2] = gif::GetRValue(colors[size_t(i)]);
        entry[3] = 0;
    }
    return format;
}

void AviFramePixels(const gif::TGIFImage& image, int index, std::span<uint8_t> rows) {
    const gif::TGIFSubImage& first = *image.Frame(0);
    const gif::TGIFSubImage& frame = *image.Frame(index);
    const int width = first.FrameWidth();
    const int height = first.FrameHeight();
    const uint32_t stride = RowBytes(width);
    std::fill(rows.begin(), rows.end(), uint8_t(0));
    if (frame.IsBlank() || rows.size() < size_t(stride) * size_t(height)) return;

    // Each of the frame's indices to the stream table's: the same where the tables agree,
    // else the nearest colour of the stream table.
    const auto stream = ColorsOf(first);
    const auto own = ColorsOf(frame);
    std::array<uint8_t, 256> map{};
    for (int i = 0; i < 256; ++i) {
        if (own[size_t(i)] == stream[size_t(i)]) {
            map[size_t(i)] = uint8_t(i);
            continue;
        }
        int best = 0;
        int bestDistance = INT32_MAX;
        for (int j = 0; j < 256 && bestDistance > 0; ++j) {
            const int dr = int(gif::GetRValue(own[size_t(i)])) - gif::GetRValue(stream[size_t(j)]);
            const int dg = int(gif::GetGValue(own[size_t(i)])) - gif::GetGValue(stream[size_t(j)]);
            const int db = int(gif::GetBValue(own[size_t(i)])) - gif::GetBValue(stream[size_t(j)]);
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = j;
            }
        }
        map[size_t(i)] = uint8_t(best);
    }
    const int left = frame.FrameLeft();
    const int top = frame.FrameTop();
    const int w = std::min<int>(frame.FrameWidth(), width - left);
    const int h = std::min<int>(frame.FrameHeight(), height - top);
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = frame.Pixels() + size_t(y) * frame.FrameWidth();
        // Bottom-up: picture row r is stored at height - 1 - r.
        uint8_t* dst = rows.data() + size_t(height - 1 - (top + y)) * stride + size_t(left);
        for (int x = 0; x < w; ++x) dst[x] = map[src[x]];
    }
}

void WriteAvi(const std::string& path, gif::TGIFImage& image, const TAviWriteProgress& progress) {
    const TAviPictureSizes sizes = AviPictureSizes(image);
    std::unique_ptr<gif::TSafeFileWriter> file;
    try {
        file = std::make_unique<gif::TSafeFileWriter>(path);
    } catch (const std::exception&) {
        throw EAviError(avimsg::CreateFile);
    }
    if (sizes.HeaderSize == 0) throw EAviError(avimsg::BitmapInfo);

    TAviVideoLayout layout;
    layout.Info.Type = StreamTypeVideo;
    layout.Info.Handler = 0;
    layout.Info.Scale = AviTimeScale(image);
    layout.Info.Rate = AviExportRate;
    layout.Info.SuggestedBufferSize = sizes.ImageSize;
    layout.Info.FrameRight = image.Width();
    layout.Info.FrameBottom = image.Height();
    layout.Width = image.Frame(0)->FrameWidth();
    layout.Height = image.Frame(0)->FrameHeight();
    layout.SampleSize = sizes.ImageSize;

    // Frames drawn from local tables are rendered with dithering.
    bool anyLocal = false;
    for (int i = 0; i < image.FrameCount(); ++i)
        anyLocal = anyLocal || image.Frame(i)->LocalTable().EntryCount() > 0;
    if (anyLocal)
        image.SetDrawOptions(gif::TGIFDrawOptions((image.DrawOptions() | gif::doDither) &
                                                  ~gif::doAutoDither));

    // Positions run up to the last frame with a picture.
    int last = -1;
    for (int i = 0; i < image.FrameCount(); ++i)
        if (!image.Frame(i)->IsBlank()) last = i;
    for (int i = 0; i <= last; ++i) layout.Present.push_back(!image.Frame(i)->IsBlank());
    if (AviFileSize(layout) == 0) throw EAviError(avimsg::CreateStream);
    layout.Format = AviStreamFormat(image);
    if (layout.Format.size() != sizes.HeaderSize) throw EAviError(avimsg::SetFormat);

    int reached = 0;
    auto fill = [&](int position, std::span<uint8_t> sample) {
        for (; reached <= position; ++reached) {
            if (progress.Position) progress.Position(reached);
            if (progress.Stopped && progress.Stopped()) return false;
        }
        AviFramePixels(image, position, sample);
        return true;
    };
    try {
        WriteAviStream(file->Stream(), layout, fill);
        // Trailing empty frames still advance the progress.
        for (; reached < image.FrameCount(); ++reached)
            if (progress.Position) progress.Position(reached);
        file->Commit();
    } catch (const EAviError&) {
        throw;
    } catch (const std::exception&) {
        throw EAviError(avimsg::AddFrame);
    }
}

} // namespace io
