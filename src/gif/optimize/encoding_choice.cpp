#include "gif/optimize/encoding_choice.h"

#include "gif/base/byte_words.h"
#include "gif/base/stream.h"
#include "gif/codec/image_data_writer.h"
#include "gif/model/image.h"
#include "gif/optimize/bounded_size.h"
#include "gif/optimize/flexible_lzw.h"
#include "gif/optimize/two_threads.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

namespace gif::optimize {

namespace {

// Biases tried: how many pixels further a shorter string must let the next one reach. 2
// wins most often; only where it gains at least one percent do the others get a try (on the
// animations measured they add a fifth to the gain for a quarter of the time).
constexpr int kFirstBias = 2;
constexpr int kOtherBiases[] = {0, 1, 3};

// The other row order is parsed with look-ahead too only when its longest-match size is
// within this many percent of the better order's.
constexpr int kCloseOrders = 2;

// Clear delays, in codes sent with a full table before it is cleared, where the table
// fills at all. On dithered video a full table often still matches better than a fresh one
// does while it grows again; how long it keeps doing so varies from frame to frame (512 to
// 2048 won most often on the recordings measured; never clearing loses). The size changes
// smoothly enough with the delay for a climb from the three middle ones to find about what
// trying all of them finds, at half the parses.
constexpr int kClearDelays[] = {128, 256, 384, 512, 768, 1024, 1536, 2048, 3072};
constexpr int kDelayCount = int(std::size(kClearDelays));
constexpr int kFirstDelays[] = {5, 3, 7}; // 1024, 512, 2048
constexpr int kShortDelay = 1;            // 256: tried when none of those wins

struct TEncoding {
    bool Interlaced;
    int Bias; // -1: the longest match
    int ClearDelay;
    int64_t Bytes;
};

// The pixels in the order an interlaced frame stores its rows.
void InterlacedRows(const uint8_t* pixels, int width, int height, std::vector<uint8_t>& out) {
    out.resize(size_t(width) * size_t(height));
    uint8_t* to = out.data();
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) {
            std::copy_n(pixels + size_t(y) * size_t(width), size_t(width), to);
            to += width;
        }
}

// What one thread measures with: a writer and the optimiser's LZW count, kept from frame
// to frame. The writer's longest-match encoder always runs to the end; only its look-ahead
// encoder, which empties its table when it starts, is cut short by a bound.
struct TMeasuring {
    TImageDataWriter Writer;
    TFlexibleLzw Lzw;
    std::vector<uint8_t> Interlaced; // a frame's pixels in interlaced row order
};

class TEncodingSearch {
  public:
    TEncodingSearch(TEncodeSource source, TMeasuring& measuring)
        : source_(source), measuring_(measuring) {}

    // The longest match's size in the given row order. Counted by the optimiser's own parse
    // (the encoder's, without writing a code).
    TEncoding Greedy(bool interlaced) {
        const uint8_t* pixels = source_.Pixels;
        const size_t n = size_t(source_.Width) * size_t(source_.Height);
        if (interlaced) {
            InterlacedRows(pixels, source_.Width, source_.Height, measuring_.Interlaced);
            pixels = measuring_.Interlaced.data();
        }
        constexpr int64_t Unbounded = std::numeric_limits<int64_t>::max() - 1;
        const int64_t bytes =
            measuring_.Lzw.Measure(pixels, n, std::max(source_.Bits, 2), Unbounded);
        cleared_[interlaced] = measuring_.Lzw.Clears() > 0;
        return {interlaced, -1, 0, bytes};
    }

    // The clear delay that makes `best` (the longest match, in its row order) smallest,
    // which the look-ahead parses in that order then keep. Without a clear the delay
    // changes nothing.
    void ChooseClearDelay(TEncoding& best) {
        if (!cleared_[best.Interlaced]) return;
        const size_t n = size_t(source_.Width) * size_t(source_.Height);
        // Greedy() of the other order may have reordered the rows since: again.
        const uint8_t* pixels = source_.Pixels;
        if (best.Interlaced) {
            InterlacedRows(pixels, source_.Width, source_.Height, measuring_.Interlaced);
            pixels = measuring_.Interlaced.data();
        }
        std::array<bool, kDelayCount> tried{};
        int at = -1; // the index of the best delay so far, -1: none
        auto tryDelay = [&](int index) {
            if (index < 0 || index >= kDelayCount || tried[size_t(index)]) return false;
            tried[size_t(index)] = true;
            const int delay = kClearDelays[index];
            const int64_t bytes = measuring_.Lzw.Measure(pixels, n, std::max(source_.Bits, 2),
                                                         best.Bytes - 1, delay);
            if (bytes >= best.Bytes) return false;
            best = {best.Interlaced, -1, delay, bytes};
            at = index;
            return true;
        };
        for (int index : kFirstDelays)
            tryDelay(index);
        if (at < 0) {
            tryDelay(kShortDelay);
        } else {
            // Climb to the neighbours while they win.
            for (bool moved = true; moved;) {
                const int from = at;
                const bool lower = tryDelay(from - 1);
                const bool higher = tryDelay(from + 1);
                moved = lower || higher;
            }
        }
        delay_[best.Interlaced] = best.ClearDelay;
    }

    // Tries the first look-ahead bias in `interlaced` row order against `best`; returns
    // whether it gained enough for the other biases to be worth a try.
    bool TryFirstBias(bool interlaced, TEncoding& best) {
        const int64_t greedy = best.Bytes;
        Try(interlaced, kFirstBias, best);
        return (greedy - best.Bytes) * 100 >= greedy;
    }

    void TryOtherBiases(bool interlaced, TEncoding& best) {
        for (int bias : kOtherBiases)
            Try(interlaced, bias, best);
    }

  private:
    void Try(bool interlaced, int bias, TEncoding& best) {
        source_.Interlaced = interlaced;
        source_.LookaheadBias = bias;
        source_.ClearDelay = delay_[interlaced];
        const int64_t bytes = EncodedSizeUpTo(source_, measuring_.Writer, best.Bytes - 1);
        if (bytes < best.Bytes) best = {interlaced, bias, source_.ClearDelay, bytes};
    }

    TEncodeSource source_;
    TMeasuring& measuring_;
    int delay_[2] = {0, 0};            // the clear delay chosen in each row order
    bool cleared_[2] = {false, false}; // whether the longest match clears the table
};

} // namespace

bool ChooseFrameEncodings(TGIFImage& image) {
    if (image.EncodingMethod != emLZW) return false;
    const int screenBits = image.ScreenBitDepth();
    // The frames are measured on two threads; each call touches only its own frame.
    TMeasuring measuring[2];
    std::vector<uint8_t> changed(size_t(image.FrameCount()), 0);
    const bool second = WorthASecondThread(image);
    ShareOutOnTwoThreads(changed.size(), second, [&](size_t index, int thread) {
        TGIFSubImage& frame = *image.Frame(int(index));
        if (frame.IsBlank() || !frame.HasPixels()) return;
        const TEncodeSource source = FrameEncodeSource(frame, screenBits);
        // Pixels outside the colour table cannot be written at all: the writer says so. (A
        // table of 256 holds every value: no pass over the pixels for the common case.)
        if (source.ColorLimit < 256 && LargestByte(frame.PixelData()) >= source.ColorLimit)
            return;
        TEncodingSearch search(source, measuring[thread]);
        const bool was = frame.IsInterlaced();
        TEncoding kept = search.Greedy(was);
        TEncoding other = search.Greedy(!was);
        // Rows in order win ties: they show the picture as it loads the way most expect.
        if (other.Bytes < kept.Bytes || (other.Bytes == kept.Bytes && was))
            std::swap(kept, other);
        // The clear delay only in the better order: the other one rarely comes close.
        search.ChooseClearDelay(kept);
        TEncoding best = kept;
        bool worthMore = search.TryFirstBias(kept.Interlaced, best);
        if ((other.Bytes - kept.Bytes) * 100 <= kept.Bytes * kCloseOrders) {
            TEncoding second = other;
            const bool secondWorthMore = search.TryFirstBias(other.Interlaced, second);
            if (second.Bytes < best.Bytes) {
                best = second;
                worthMore = secondWorthMore;
            }
        }
        // The other biases only in the order that won so far.
        if (worthMore) search.TryOtherBiases(best.Interlaced, best);
        if (best.Interlaced != was || best.Bias != frame.LookaheadHint() ||
            best.ClearDelay != frame.ClearDelayHint()) {
            frame.SetInterlaced(best.Interlaced);
            frame.SetLookaheadHint(best.Bias);
            frame.SetClearDelayHint(best.ClearDelay);
            changed[index] = 1;
        }
    });
    return std::find(changed.begin(), changed.end(), 1) != changed.end();
}

} // namespace gif::optimize
