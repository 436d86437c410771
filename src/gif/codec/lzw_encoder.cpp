#include "gif/codec/lzw_encoder.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace gif {

// The hot loops keep the encoder state in locals (copied from a TRun and back around the
// rare events, never passed by address inside the loop, so that stores of output bytes
// cannot alias it). Bytes leave the accumulator a 64-bit word at a time (the batch buffer
// has slack for it); only whole bytes count.

namespace {

// Puts `code` of `size` bits above the bits held; whole bytes go out.
[[gnu::always_inline]] inline void Put(uint64_t& acc, unsigned& bits, uint8_t*& out, uint64_t code,
                                       unsigned size) {
    acc |= code << bits;
    bits += size;
    std::memcpy(out, &acc, 8);
    out += bits >> 3;
    acc >>= bits & ~7u;
    bits &= 7;
}

// `value`, hidden from the optimiser: it cannot fold the computation into a later one. For
// an address computed beside a chain of loads, which would otherwise be re-associated into
// that chain.
template <typename T> [[gnu::always_inline]] inline T Opaque(T value) {
    asm("" : "+r"(value));
    return value;
}

constexpr unsigned kLastCode = 4095;   // the next free code that forces a clear
constexpr unsigned kMaxDirectBits = 4; // direct rows of up to 16 entries (128 KB)
// Frames of up to 32 pixel values and at most this many pixels take direct rows of 32
// entries (64 bytes, 256 KB for a full table). A small frame gives out few codes, so its
// rows stay in the first-level cache and a lookup beats the first-child arrays and their
// string table; large flat frames walk many more rows and do better with those arrays.
constexpr unsigned kWideDirectBits = 5;
constexpr size_t kWideDirectPixels = size_t(1) << 17;
// The string table: 65536 slots (a 16-bit slot number needs no mask), 1/16 full at most.
// A slot holds (generation << 25) | (kind << 24) | (pixel << 16) | (probe distance << 12) |
// code: a clear code or a new frame starts the next generation, and slots of older ones
// count as empty, so emptying the table costs nothing (it is zeroed once every 127
// generations). A string is found from `here`, which names its prefix one to one: the
// number of the slot that holds the prefix (kind 0), or (kind 1) kRootHere + the pixel for
// a single pixel and kOverflowHere + the code for a string kept in the overflow map. Its
// home slot is Home(here, pixel), a one-to-one function of the low 16 bits of `here` for
// each pixel: a slot holding the same kind, pixel and probe distance has the same home, so
// the same prefix, and (value >> 12) compares generation, kind, pixel and distance at once.
//
// As `here` is the number of the slot probed, not a value read from it, the next pixel's
// probe does not wait for the load: while strings go on (the branch predicted so), the
// probes of successive pixels overlap, and a lookup's latency is paid once per string.
constexpr uint32_t kSlots = 65536;
constexpr uint32_t kRootHere = kSlots;                // + a single pixel
constexpr uint32_t kOverflowHere = kRootHere + 256;   // + the code of an overflowed string
constexpr uint32_t kScratchSlot = kOverflowHere + 4096; // stores of other overflowed strings
// Slots past the table take the stores made at an overflowed string's `here`: no probe
// reads them.
constexpr uint32_t kTableSize = kScratchSlot + 1;
constexpr uint32_t kMaxDistance = 15;
constexpr uint32_t kLastGeneration = 127;
constexpr unsigned kStampShift = 13; // the generation's place in value >> 12

// Whether a slot holding `value` holds another string of this generation, so that the
// probe for the string `want` (see above) goes on: the XOR is 0 for that string itself,
// and at least 2^13 for a slot of another generation (an empty one).
[[gnu::always_inline]] inline bool Occupied(uint32_t value, uint32_t want) {
    return ((value >> 12) ^ want) - 1 < (1u << kStampShift) - 1;
}

// A random 16-bit value per pixel value, mixed into the string table slot.
constexpr std::array<uint16_t, 256> MakePixelMix() {
    std::array<uint16_t, 256> mix{};
    uint64_t x = 0x2545F4914F6CDD1Dull;
    for (uint16_t& m : mix) {
        x += 0x9E3779B97F4A7C15ull;
        uint64_t z = x;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        m = uint16_t(z ^ (z >> 31));
    }
    return mix;
}
constexpr std::array<uint16_t, 256> kPixelMix = MakePixelMix();

// The home slot of the string (here, pixel) in RunHashed: a one-to-one function of the low
// 16 bits of `here` for each pixel. The multiplication (by an odd number, so one to one)
// keeps homes of strings with the same pixels in another order apart: with `here` XORed
// alone, "a b c" and "a c b", or a run of one pixel at every other step, would meet.
[[gnu::always_inline]] inline uint32_t Home(uint32_t here, uint32_t pixel) {
    return ((here * 0x9E3Bu) ^ kPixelMix[pixel]) & (kSlots - 1);
}

// Which strings a frame with pixel values of 32 and more makes, from 256 pixels spread over
// it and the pixel before each: how many equal it (of 256), how many distinct pairs they
// form, and of the pairs that differ, how many the row above repeats. Long strings that
// mostly continue with their first child come from few local patterns (dithered flat
// colour: few pairs) or from runs whose edges repeat from row to row (a smooth ramp); short
// strings with many children from many pairs, even where most pixels repeat their
// neighbour but the edges between them are dithered (changed rectangles of dithered
// shading on a transparent field). `seen` is a 65536-bit set, empty on entry and on
// return; without it (small frames, where counting would take a good part of the time)
// only equal pairs are counted.
struct TSample {
    unsigned Same = 0;
    unsigned Pairs = 0;
    unsigned Edges = 0;    // sampled pairs that differ, below the first row
    unsigned Repeated = 0; // of those, pairs the row above holds too
};
TSample SampleFrame(const uint8_t* p, size_t count, size_t width, uint64_t* seen) {
    if (count < 2) return {256, 1, 0, 0};
    TSample sample;
    uint16_t keys[256];
    for (size_t i = 1; i <= 256; ++i) {
        const size_t at = 1 + (count - 1) * i / 257;
        sample.Same += p[at] == p[at - 1];
        keys[i - 1] = uint16_t(p[at - 1] << 8 | p[at]);
    }
    if (!seen) return sample;
    for (size_t i = 1; i <= 256; ++i) {
        const size_t at = 1 + (count - 1) * i / 257;
        if (p[at] == p[at - 1] || at <= width) continue;
        ++sample.Edges;
        sample.Repeated += p[at - width] == p[at] && p[at - width - 1] == p[at - 1];
    }
    for (const uint16_t key : keys) {
        const uint64_t bit = uint64_t(1) << (key & 63);
        sample.Pairs += (seen[key >> 6] & bit) == 0;
        seen[key >> 6] |= bit;
    }
    for (const uint16_t key : keys)
        seen[key >> 6] = 0;
    return sample;
}

// Frames from this many pixels have their pairs counted.
constexpr size_t kPairsPixels = size_t(1) << 14;

// Runs whose edges repeat row after row, with many pixel pairs: a smooth ramp.
bool RepeatedEdges(TSample sample) {
    return sample.Same >= 160 && sample.Edges > 0 && sample.Repeated * 2 >= sample.Edges;
}

// Whether the first-child arrays beat the string table alone for a frame sampled so.
// Measured on 320 x 240 frames (thread CPU time, string table against first-child arrays):
// dithered colour bars of 30 colours (Same 90, Pairs 47) 142 against 133 us, and 198
// against 109 us with the string table of the previous round; frames of an
// ordered-dithered test pattern (Same 131 to 241, Pairs 21 to 45) about 15 % faster with
// the arrays; a dithered fractal (Same 108 to 135, Pairs 165 to 177) 177 against 520 us;
// changed rectangles of a dithered gradient (Same 111 to 222, Pairs 158 to 197, no edge
// repeated) 130 to 250 against 260 to 550 us. A smooth ramp (Same 210, Pairs 256, every
// edge repeated) 1.2 against 2.0 ms, one flat colour 1.5 against 1.7 ms. In small frames
// the sample covers much of the frame and finds few pairs in photographs too (a 32 x 32
// one: Same 37, Pairs 28), which are about 8 % faster with the string table alone: there
// only Same counts.
bool FirstChildFits(TSample sample, size_t pixels) {
    if (pixels < kPairsPixels) return sample.Same >= 128;
    if (sample.Pairs <= 48) return true;
    return RepeatedEdges(sample);
}

// Whether a frame on the first-child arrays walks its runs in steps (TFirstChildSteps).
// A frame that takes the arrays for its repeated edges alone makes strings of a few pixels
// that start anew all the time: the steps would be tried and missed at almost every pixel
// (a 1024 x 768 ramp, in a loop of its own: 1.24 ms without them, 1.50 with). Every other
// frame on the arrays gains by them (one colour 1.8 to 0.7 ms, flat shapes of 24 colours
// 1.8 to 0.95, dithered colour bars 200 to 150 us; small frames too).
bool FirstChildStepsFit(TSample sample, size_t pixels) {
    return pixels < kPairsPixels || sample.Pairs <= 48;
}

// The largest of `count` pixels.
unsigned LargestValue(const uint8_t* p, size_t count) {
    uint8_t largest = 0;
    size_t i = 0;
    // Blocks of 64 bytes: a loop the compiler vectorises.
    for (; i + 64 <= count && largest < 255; i += 64)
        for (size_t j = 0; j < 64; ++j)
            largest = std::max(largest, p[i + j]);
    for (; i < count; ++i)
        largest = std::max(largest, p[i]);
    return largest;
}

// A code's first child: the first-child arrays of frames whose strings are short.
struct TFirstChild {
    static constexpr bool kSteps = false;
    uint16_t Tag;  // the first child's pixel + 1, 0 for none
    uint16_t Code; // its code
};

// A code's first child, and where the string goes on along first children two and four
// pixels further: in a flat area strings mostly go on so, and a run is walked up to four
// pixels a load (the chain of loads from one string to the next is what limits the speed).
// Pixels are packed lowest first, as they lie in memory. A code's entry is emptied when the
// code is given out, the single pixels' at a clear; the steps of a code are set when the
// string two or four first children down is added. (Four times the size of TFirstChild:
// frames of short strings walk the smaller one faster.)
struct TFirstChildSteps {
    static constexpr bool kSteps = true;
    uint16_t Tag;
    uint16_t Code;
    uint16_t Pair;   // the next two pixels
    uint16_t Code2;  // the string they lead to, 0 for none (a child is never code 0)
    uint32_t Quad;   // the next four pixels
    uint16_t Code4;  // the string they lead to, 0 for none
    uint16_t Parent; // the code this one extends by a pixel, kNoParent for a single pixel
};
// A code no string ever takes (the table is cleared when the next free code reaches it);
// its entry's first child is no code at all, so no code looks like its first child.
constexpr uint16_t kNoParent = kLastCode;
constexpr TFirstChildSteps kSinglePixel{0, 0, 0, 0, 0, 0, kNoParent};

// `child`, just added as the first child of `code` by `pixel`: the strings two and four
// first children up now lead to it in a step.
[[gnu::always_inline]] inline void AddSteps(TFirstChildSteps* firsts, uint32_t code,
                                            uint32_t pixel, uint32_t child) {
    const uint32_t up1 = firsts[code].Parent;
    if (firsts[up1].Code != code) return;
    firsts[up1].Pair = uint16_t((firsts[up1].Tag - 1) | pixel << 8);
    firsts[up1].Code2 = uint16_t(child);
    const uint32_t up2 = firsts[up1].Parent;
    if (firsts[up2].Code != up1) return;
    const uint32_t up3 = firsts[up2].Parent;
    if (firsts[up3].Code != up2) return;
    firsts[up3].Quad = uint32_t(firsts[up3].Tag - 1) | uint32_t(firsts[up2].Tag - 1) << 8 |
                       uint32_t(firsts[up1].Tag - 1) << 16 | pixel << 24;
    firsts[up3].Code4 = uint16_t(child);
}

} // namespace

struct TLZWEncoder::TTables {
    std::unique_ptr<uint16_t[]> Direct;
    size_t DirectSize = 0;             // entries
    std::unique_ptr<uint32_t[]> Slots; // the string table, made zeroed when first needed
    uint32_t Generation = 0;           // 0: no slot holds a string
    std::unique_ptr<TFirstChild[]> First;           // flat frames of short strings
    std::unique_ptr<TFirstChildSteps[]> FirstSteps; // and of long ones
    std::unique_ptr<uint64_t[]> Seen; // pairs a frame's sample has shown; empty between frames
};

TLZWEncoder::TLZWEncoder() = default;

TLZWEncoder::~TLZWEncoder() = default;

uint16_t TLZWEncoder::SlotMix(uint8_t pixel) {
    return kPixelMix[pixel];
}

uint16_t TLZWEncoder::PairSlot(uint8_t first, uint8_t second) {
    return uint16_t(Home(kRootHere + first, second));
}

unsigned TLZWEncoder::TableGenerations() {
    return kLastGeneration;
}

void TLZWEncoder::Compress() {
    const size_t total = size_t(width_) * size_t(height_);
    const unsigned largest = LargestValue(pixels_, total);
    largestPixel_ = int(largest);
    // Only a frame holding a pixel at or above the limit is searched for the first one.
    const bool checked = largest >= unsigned(colorLimit_);
    PrepareTables(total, checked ? unsigned(std::max(colorLimit_, 1)) - 1 : largest);

    TRun run{acc_, unsigned(bitCount_), out_ + outLen_, unsigned(codeSize_), 0, 0, 0, 0, 0};
    // The first clear code.
    Emit(run, unsigned(clearCode_));
    run.CodeSize = unsigned(initBits_);
    run.MaxCode = (1u << initBits_) - 1;
    run.NextCode = unsigned(clearCode_) + 2;
    run.Threshold = std::min(run.MaxCode + 1, kLastCode);
    ResetTables();

    // Without interlacing the rows follow each other in memory: one long stretch. The
    // interlace passes are walked in place (no list of rows: a small frame's set-up is a
    // good part of its time).
    static constexpr int kPassStart[4] = {0, 4, 2, 1};
    static constexpr int kPassStep[4] = {8, 8, 4, 2};
    const size_t span = interlaced_ ? size_t(width_) : total;
    int pass = 0, y = 0;
    for (bool first = true;; first = false) {
        if (interlaced_) {
            while (pass < 4 && y >= height_)
                y = ++pass < 4 ? kPassStart[pass] : 0;
            if (pass == 4) break;
        } else if (!first) {
            break;
        }
        const uint8_t* p = Row(y);
        if (interlaced_) y += kPassStep[pass];
        const size_t valid = checked ? ValidPixels(p, span) : span;
        const uint8_t* const end = p + valid;
        if (first && valid > 0) {
            run.Prefix = *p++;
            run.Here = kRootHere + run.Prefix;
        }
        switch (directBits_) {
        case 1:
            RunDirect<1>(run, p, end);
            break;
        case 2:
            RunDirect<2>(run, p, end);
            break;
        case 3:
            RunDirect<3>(run, p, end);
            break;
        case 4:
            RunDirect<4>(run, p, end);
            break;
        case 5:
            RunDirect<5>(run, p, end);
            break;
        default:
            if (steps_)
                RunFirstChild(run, p, end, tables_->FirstSteps.get());
            else if (flat_)
                RunFirstChild(run, p, end, tables_->First.get());
            else
                RunHashed(run, p, end);
            break;
        }
        if (valid < span) {
            outLen_ = int(run.Out - out_);
            ColorError();
        }
    }
    Finish(run);
}

// Picks the tables for a frame of `pixels` pixels whose values go up to `largestPixel`.
void TLZWEncoder::PrepareTables(size_t pixels, unsigned largestPixel) {
    if (!tables_) tables_ = std::make_unique<TTables>();
    TTables& t = *tables_;
    unsigned bits = 1;
    while ((1u << bits) <= largestPixel)
        ++bits;
    if (bits <= kMaxDirectBits || (bits == kWideDirectBits && pixels <= kWideDirectPixels)) {
        directBits_ = bits;
        // Rows for the codes this frame can give out: a small frame needs a small table.
        const size_t rows = std::min<size_t>(4096, size_t(clearCode_) + 2 + pixels);
        const size_t entries = rows << bits;
        if (t.DirectSize < entries) {
            t.Direct = std::make_unique_for_overwrite<uint16_t[]>(entries);
            t.DirectSize = entries;
        }
        return;
    }
    directBits_ = 0;
    if (!t.Seen) t.Seen = std::make_unique<uint64_t[]>(1024);
    const TSample sample =
        SampleFrame(pixels_, pixels, size_t(width_), pixels >= kPairsPixels ? t.Seen.get() : nullptr);
    flat_ = FirstChildFits(sample, pixels);
    steps_ = flat_ && FirstChildStepsFit(sample, pixels);
    if (!t.Slots) {
        t.Slots = std::make_unique<uint32_t[]>(kTableSize);
        t.First = std::make_unique_for_overwrite<TFirstChild[]>(4096);
        t.FirstSteps = std::make_unique_for_overwrite<TFirstChildSteps[]>(4096);
        t.FirstSteps[kNoParent] = {0, 0xFFFF, 0, 0, 0, 0, kNoParent};
    }
}

void TLZWEncoder::Emit(TRun& run, uint32_t code) {
    Put(run.Acc, run.Bits, run.Out, code, run.CodeSize);
    if (run.Out - out_ >= kOutBatch) Flush(run);
}

void TLZWEncoder::Flush(TRun& run) {
    outLen_ = int(run.Out - out_);
    FlushOut();
    run.Out = out_;
}

void TLZWEncoder::ResetTables() {
    if (directBits_ != 0) {
        // The rows of the single pixels; every other row is emptied as its code is given out.
        const size_t row = size_t(1) << directBits_;
        std::memset(tables_->Direct.get(), 0, row * row * sizeof(uint16_t));
    } else if (steps_) {
        // Single pixels keep their first children there too.
        std::fill_n(tables_->FirstSteps.get(), size_t(clearCode_), kSinglePixel);
    } else if (flat_) {
        std::fill_n(tables_->First.get(), size_t(clearCode_), TFirstChild{0, 0});
    }
    if (directBits_ == 0) {
        if (++tables_->Generation > kLastGeneration) {
            std::memset(tables_->Slots.get(), 0, kSlots * sizeof(uint32_t));
            tables_->Generation = 1;
        }
        if (!overflow_.empty()) [[unlikely]]
            overflow_.clear();
    }
}

uint32_t TLZWEncoder::Overflow(uint32_t here, uint32_t want, unsigned next) {
    const uint32_t pixel = (want >> 4) & 0xFF;
    const auto [at, added] = overflow_.try_emplace((here << 8) | pixel, (want << 12) | next);
    // A new string is added here already; the caller gives it code `next` next (unless the
    // table is cleared first, which empties this map too).
    overflowed_ += added;
    return added ? 0 : at->second;
}

bool TLZWEncoder::Grow(TRun& run) {
    if (run.NextCode > run.MaxCode) {
        ++run.CodeSize;
        run.MaxCode = run.CodeSize == 12 ? 4096 : (1u << run.CodeSize) - 1;
    }
    bool cleared = false;
    if (run.NextCode >= kLastCode) {
        Emit(run, unsigned(clearCode_));
        run.CodeSize = unsigned(initBits_);
        run.MaxCode = (1u << initBits_) - 1;
        run.NextCode = unsigned(clearCode_) + 2;
        ResetTables();
        cleared = true;
    }
    run.Threshold = std::min(run.MaxCode + 1, kLastCode);
    return cleared;
}

// The direct table with rows of 2^A entries. An entry holds its child's row (the child
// code shifted left by A), so a lookup is an add and one load. Rows of 32 entries number
// past 16 bits: their entries hold half the row.
template <unsigned A>
void TLZWEncoder::RunDirect(TRun& run, const uint8_t* p, const uint8_t* const end) {
    constexpr size_t kRow = size_t(1) << A;
    constexpr unsigned kHalved = A > 4 ? A - 4 : 0;
    uint16_t* const table = tables_->Direct.get();
    uint8_t* const outLimit = out_ + kOutBatch;
    uint64_t acc = run.Acc;
    unsigned bits = run.Bits;
    uint8_t* out = run.Out;
    unsigned codeSize = run.CodeSize;
    unsigned next = run.NextCode;
    unsigned threshold = run.Threshold;
    uint32_t entry = run.Prefix << A; // the prefix's row
    auto store = [&] {
        run.Acc = acc;
        run.Bits = bits;
        run.Out = out;
        run.CodeSize = codeSize;
        run.NextCode = next;
        run.Prefix = entry >> A;
    };
    auto load = [&] {
        acc = run.Acc;
        bits = run.Bits;
        out = run.Out;
        codeSize = run.CodeSize;
        next = run.NextCode;
        threshold = run.Threshold;
        entry = run.Prefix << A;
    };
    while (p < end) {
        // A pixel sends at most 12 bits, and the next free code grows by at most one: this
        // many pixels can neither fill the batch nor reach the threshold.
        const size_t room = size_t(outLimit - out) * 2 / 3;
        const size_t n = std::min({size_t(end - p), size_t(threshold - next), room});
        if (n == 0) {
            if (room < 2) {
                store();
                Flush(run);
                load();
                continue;
            }
            // At the threshold: the next miss grows the code size or clears the table.
            const uint32_t pixel = *p++;
            uint16_t* const slot = table + size_t(entry) + pixel;
            if (*slot != 0) {
                entry = uint32_t(*slot) << kHalved;
                continue;
            }
            Put(acc, bits, out, entry >> A, codeSize);
            store();
            const bool cleared = Grow(run);
            load();
            if (!cleared) {
                std::memset(table + (size_t(next) << A), 0, kRow * sizeof(uint16_t));
                *slot = uint16_t((next++ << A) >> kHalved);
            }
            entry = pixel << A;
            continue;
        }
        uint32_t nextEntry = next << A;
        for (const uint8_t* const stop = p + n; p < stop; ++p) {
            const uint32_t pixel = *p;
            // The pixel's column first, beside the chain of lookups: the entry is then
            // read with one load from it, no add in between.
            uint16_t* const column = Opaque(table + pixel);
            const uint32_t child = uint32_t(column[entry]) << kHalved;
            if (child != 0) {
                entry = child;
                continue;
            }
            // A miss: the prefix goes out, the string takes the next free code, whose row
            // starts empty.
            Put(acc, bits, out, entry >> A, codeSize);
            Opaque(column)[entry] = uint16_t(nextEntry >> kHalved);
            std::memset(table + size_t(nextEntry), 0, kRow * sizeof(uint16_t));
            nextEntry += kRow;
            entry = pixel << A;
        }
        next = nextEntry >> A;
    }
    store();
}

// Noisy frames with pixel values of 32 and more: every string in the string table, so
// that a pixel costs one well-predicted probe and one branch on whether the string was
// found. The chain from one pixel's probe to the next is what limits the speed, so it is
// kept to a load and an XOR: the next probe starts at the low half of the slot just read
// (the code and its probe distance) XOR a random value of the pixel. What a slot must
// hold to match depends on the pixel alone, beside that chain.
void TLZWEncoder::RunHashed(TRun& run, const uint8_t* p, const uint8_t* const end) {
    uint32_t* const strings = tables_->Slots.get();
    uint32_t stamp = tables_->Generation << kStampShift; // a clear starts the next generation
    uint8_t* const outLimit = out_ + kOutBatch;
    uint64_t acc = run.Acc;
    unsigned bits = run.Bits;
    uint8_t* out = run.Out;
    unsigned codeSize = run.CodeSize;
    unsigned next = run.NextCode;
    unsigned threshold = run.Threshold;
    uint32_t here = run.Here;
    uint32_t code = run.Prefix; // the prefix's code, sent when the string ends
    auto store = [&] {
        run.Acc = acc;
        run.Bits = bits;
        run.Out = out;
        run.CodeSize = codeSize;
        run.NextCode = next;
        run.Prefix = code;
        run.Here = here;
    };
    auto load = [&] {
        acc = run.Acc;
        bits = run.Bits;
        out = run.Out;
        codeSize = run.CodeSize;
        next = run.NextCode;
        threshold = run.Threshold;
        here = run.Here;
        code = run.Prefix;
        stamp = tables_->Generation << kStampShift;
    };
    // Looks up (here, pixel): `want` is what value >> 12 of its slot holds, and the result
    // is the slot that holds it (the string's `here` when found) or the stale slot where
    // it goes. The home slot is read first; other strings there (the table is never more
    // than 1/16 full, so a probe ends soon) are passed over on the rare path. Past the
    // longest distance the overflow map answers, and the result is the string's `here`
    // (above the slots: a store there goes to the scratch slot).
    auto find = [&](uint32_t pixel, uint32_t& want, uint32_t& value) {
        uint32_t slot = Home(here, pixel);
        want = stamp | (here >> 16) << 12 | (pixel << 4);
        value = strings[slot];
        if ((value >> 12) != want && Occupied(value, want)) [[unlikely]] {
            do {
                if ((want & kMaxDistance) == kMaxDistance) [[unlikely]] {
                    value = Overflow(here, want, next);
                    return kOverflowHere + (value != 0 ? value & 0xFFF : next);
                }
                slot = (slot + 1) & (kSlots - 1);
                ++want;
                value = strings[slot];
            } while (Occupied(value, want));
        }
        return slot;
    };
    auto add = [&](uint32_t slot, uint32_t want) { strings[slot] = (want << 12) | next++; };
    while (p < end) {
        // A pixel sends at most 12 bits, and the next free code grows by at most one: this
        // many pixels can neither fill the batch nor reach the threshold.
        const size_t room = size_t(outLimit - out) * 2 / 3;
        const size_t n = std::min({size_t(end - p), size_t(threshold - next), room});
        if (n == 0) {
            if (room < 2) {
                store();
                Flush(run);
                load();
                continue;
            }
            // At the threshold: the next miss grows the code size or clears the table.
            const uint32_t pixel = *p++;
            uint32_t want, value;
            const uint32_t slot = find(pixel, want, value);
            if ((value >> 12) == want) {
                here = slot;
                code = value & 0xFFF;
                continue;
            }
            Put(acc, bits, out, code, codeSize);
            store();
            const bool cleared = Grow(run);
            load();
            if (!cleared) add(slot, want);
            here = kRootHere + pixel;
            code = pixel;
            continue;
        }
        for (const uint8_t* const stop = p + n; p < stop; ++p) {
            const uint32_t pixel = *p;
            uint32_t want, value;
            const uint32_t slot = find(pixel, want, value);
            if ((value >> 12) == want) {
                here = slot;
                code = value & 0xFFF;
                continue;
            }
            Put(acc, bits, out, code, codeSize);
            add(slot, want);
            here = kRootHere + pixel;
            code = pixel;
        }
    }
    store();
}

// Frames with large flat areas: strings there mostly continue with their first child,
// so each code's first child sits in a small array, where the chain of lookups along a run
// stays in the fastest cache, and with TFirstChildSteps a run goes four or two pixels at a
// time where the array knows the way; only other children go to the string table.
template <typename TEntry>
void TLZWEncoder::RunFirstChild(TRun& run, const uint8_t* p, const uint8_t* const end,
                                TEntry* const firsts) {
    constexpr bool Steps = TEntry::kSteps;
    uint32_t* const strings = tables_->Slots.get();
    uint32_t stamp = tables_->Generation << kStampShift; // a clear starts the next generation
    uint8_t* const outLimit = out_ + kOutBatch;
    uint64_t acc = run.Acc;
    unsigned bits = run.Bits;
    uint8_t* out = run.Out;
    unsigned codeSize = run.CodeSize;
    unsigned next = run.NextCode;
    unsigned threshold = run.Threshold;
    uint32_t prefix = run.Prefix;
    for (; p < end; ++p) {
        if constexpr (Steps) {
            if (end - p >= 4) {
                uint32_t quad;
                std::memcpy(&quad, p, 4);
                if (firsts[prefix].Quad == quad && firsts[prefix].Code4 != 0) {
                    prefix = firsts[prefix].Code4;
                    p += 3;
                    continue;
                }
            }
            if (end - p >= 2) {
                uint16_t pair;
                std::memcpy(&pair, p, 2);
                if (firsts[prefix].Pair == pair && firsts[prefix].Code2 != 0) {
                    prefix = firsts[prefix].Code2;
                    ++p;
                    continue;
                }
            }
        }
        const uint32_t pixel = *p;
        const uint32_t first = firsts[prefix].Tag;
        if (first == pixel + 1) {
            prefix = firsts[prefix].Code;
            continue;
        }
        // Other children: the string table, with the prefix's code as its `here`.
        uint32_t slot = 0, want = 0;
        if (first != 0) {
            slot = prefix ^ kPixelMix[pixel];
            want = stamp | (pixel << 4);
            uint32_t value = strings[slot];
            while (Occupied(value, want)) {
                if ((want & kMaxDistance) == kMaxDistance) [[unlikely]] {
                    value = Overflow(prefix, want, next);
                    slot = kScratchSlot;
                    break;
                }
                slot = (slot + 1) & (kSlots - 1);
                ++want;
                value = strings[slot];
            }
            if ((value >> 12) == want) {
                prefix = value & 0xFFF;
                continue;
            }
        }
        // A miss: the prefix goes out, the string takes the next free code.
        Put(acc, bits, out, prefix, codeSize);
        if (out >= outLimit || next >= threshold) [[unlikely]] {
            run.Acc = acc;
            run.Bits = bits;
            run.Out = out;
            run.NextCode = next;
            run.CodeSize = codeSize;
            if (out >= outLimit) Flush(run);
            const bool cleared = next >= threshold && Grow(run);
            acc = run.Acc;
            bits = run.Bits;
            out = run.Out;
            codeSize = run.CodeSize;
            next = run.NextCode;
            threshold = run.Threshold;
            stamp = tables_->Generation << kStampShift;
            if (cleared) {
                prefix = pixel;
                continue;
            }
        }
        if (first == 0) {
            firsts[prefix].Tag = uint16_t(pixel + 1);
            firsts[prefix].Code = uint16_t(next);
            if constexpr (Steps) AddSteps(firsts, prefix, pixel, next);
        } else {
            strings[slot] = (want << 12) | next;
        }
        if constexpr (Steps) {
            firsts[next] = kSinglePixel;
            firsts[next].Parent = uint16_t(prefix);
        }
        firsts[next++].Tag = 0;
        prefix = pixel;
    }
    run.Acc = acc;
    run.Bits = bits;
    run.Out = out;
    run.CodeSize = codeSize;
    run.NextCode = next;
    run.Prefix = prefix;
}

// The last prefix goes out; the state goes back to the members for the end code.
void TLZWEncoder::Finish(TRun& run) {
    Emit(run, run.Prefix);
    if (run.NextCode > run.MaxCode) {
        ++run.CodeSize;
        run.MaxCode = run.CodeSize == 12 ? 4096 : (1u << run.CodeSize) - 1;
    }
    acc_ = run.Acc;
    bitCount_ = int(run.Bits);
    codeSize_ = int(run.CodeSize);
    maxCode_ = int(run.MaxCode);
    outLen_ = int(run.Out - out_);
}

} // namespace gif
