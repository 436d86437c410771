#include "gif/optimize/encoding_choice.h"

#include "gif/base/byte_words.h"
#include "gif/base/stream.h"
#include "gif/codec/image_data_writer.h"
#include "gif/model/image.h"
#include "gif/optimize/bounded_size.h"
#include "gif/optimize/flexible_lzw.h"
#include "gif/optimize/two_threads.h"

#include <algorithm>
#include <cstdint>
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

struct TEncoding {
    bool Interlaced;
    int Bias; // -1: the longest match
    int64_t Bytes;
};

// What one thread measures with: a writer and the optimiser's LZW count, kept from frame
// to frame. The writer's longest-match encoder always runs to the end; only its look-ahead
// encoder, which empties its table when it starts, is cut short by a bound.
struct TMeasuring {
    TImageDataWriter Writer;
    TFlexibleLzw Lzw;
};

class TEncodingSearch {
  public:
    TEncodingSearch(TEncodeSource source, TMeasuring& measuring)
        : source_(source), measuring_(measuring) {}

    // The longest match's size in the given row order; rows in order are counted by the
    // optimiser's own parse (the encoder's, without writing a code).
    TEncoding Greedy(bool interlaced) {
        source_.Interlaced = interlaced;
        source_.LookaheadBias = -1;
        constexpr int64_t Unbounded = std::numeric_limits<int64_t>::max() - 1;
        if (!interlaced)
            return {false, -1,
                    measuring_.Lzw.Measure(source_.Pixels,
                                           size_t(source_.Width) * size_t(source_.Height),
                                           std::max(source_.Bits, 2), Unbounded)};
        // Written whole by the thread's own writer, whose tables are set up once (a fresh
        // one would allocate and empty them for every frame).
        TCountingStream counter;
        measuring_.Writer.Write(counter, source_, emLZW);
        return {true, -1, counter.Size()};
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
        const int64_t bytes = EncodedSizeUpTo(source_, measuring_.Writer, best.Bytes - 1);
        if (bytes < best.Bytes) best = {interlaced, bias, bytes};
    }

    TEncodeSource source_;
    TMeasuring& measuring_;
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
        if (best.Interlaced != was || best.Bias != frame.LookaheadHint()) {
            frame.SetInterlaced(best.Interlaced);
            frame.SetLookaheadHint(best.Bias);
            changed[index] = 1;
        }
    });
    return std::find(changed.begin(), changed.end(), 1) != changed.end();
}

} // namespace gif::optimize
