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

constexpr unsigned kLastCode = 4095;        // the next free code that forces a clear
constexpr unsigned kMaxDirectBits = 4;      // direct rows of up to 16 entries (128 KB)
// Frames of up to 32 pixel values and at most this many pixels take direct rows of 32
// entries (64 bytes, 256 KB for a full table). A small frame gives out few codes, so its
// rows stay in the first-level cache and a lookup beats the first-child arrays and their
// string table; large flat frames walk many more rows and do better with those arrays.
constexpr unsigned kWideDirectBits = 5;
constexpr size_t kWideDirectPixels = size_t(1) << 17;
// At most 65536 string slots (whole: a 16-bit slot number needs no mask), 1/16 full at most.
// Frames of this many pixels take the whole table; the first one zeroes 256 KB, a tenth of
// its time at most.
constexpr unsigned kMaxStringBits = 16;
constexpr size_t kWholeTablePixels = size_t(1) << 14;

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

// The share (of 256) of sampled pixels equal to their left neighbour above which a frame
// counts as flat.
constexpr unsigned kFlatShare = 128;

// How many of 256 pixels spread over the frame equal the pixel before them, out of 256.
unsigned Flatness(const uint8_t* p, size_t count) {
    if (count < 2) return 256;
    unsigned same = 0;
    for (size_t i = 1; i <= 256; ++i) {
        const size_t at = 1 + (count - 1) * i / 257;
        same += p[at] == p[at - 1];
    }
    return same;
}

// The largest of `count` pixels.
unsigned LargestPixel(const uint8_t* p, size_t count) {
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

} // namespace

TLZWEncoder::TLZWEncoder() = default;
TLZWEncoder::~TLZWEncoder() = default;

void TLZWEncoder::Compress() {
    const size_t total = size_t(width_) * size_t(height_);
    const unsigned largest = LargestPixel(pixels_, total);
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
        if (first && valid > 0) run.Here = run.Prefix = *p++;
        switch (directBits_) {
        case 1: RunDirect<1>(run, p, end); break;
        case 2: RunDirect<2>(run, p, end); break;
        case 3: RunDirect<3>(run, p, end); break;
        case 4: RunDirect<4>(run, p, end); break;
        case 5: RunDirect<5>(run, p, end); break;
        default:
            if (flat_)
                RunFirstChild(run, p, end);
            else if (stringMask_ == 0xFFFF)
                RunHashed<true>(run, p, end);
            else
                RunHashed<false>(run, p, end);
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
    unsigned bits = 1;
    while ((1u << bits) <= largestPixel)
        ++bits;
    if (bits <= kMaxDirectBits || (bits == kWideDirectBits && pixels <= kWideDirectPixels)) {
        directBits_ = bits;
        // Rows for the codes this frame can give out: a small frame needs a small table.
        const size_t rows = std::min<size_t>(4096, size_t(clearCode_) + 2 + pixels);
        const size_t entries = rows << bits;
        if (directSize_ < entries) {
            direct_ = std::make_unique_for_overwrite<uint16_t[]>(entries);
            directSize_ = entries;
        }
        return;
    }
    directBits_ = 0;
    flat_ = Flatness(pixels_, pixels) >= kFlatShare;
    if (!strings_) {
        strings_ = std::make_unique_for_overwrite<uint32_t[]>(size_t(1) << kMaxStringBits);
        slotsUsed_ = std::make_unique_for_overwrite<uint16_t[]>(4096);
        firstTag_ = std::make_unique_for_overwrite<uint16_t[]>(4096);
        firstCode_ = std::make_unique_for_overwrite<uint16_t[]>(4096);
    }
    // Large frames take the whole table. Smaller ones get at least 8 slots per string they
    // can make (one per pixel and the single pixels): they set up and touch a small table.
    const size_t strings = std::min<size_t>(pixels + size_t(clearCode_), 4096);
    unsigned stringBits = 10;
    while (stringBits < kMaxStringBits - 1 && (size_t(1) << stringBits) < 8 * strings)
        ++stringBits;
    if (pixels >= kWholeTablePixels) stringBits = kMaxStringBits;
    stringMask_ = (1u << stringBits) - 1;
    const size_t slots = size_t(1) << stringBits;
    if (stringsZeroed_ < slots) {
        std::memset(strings_.get() + stringsZeroed_, 0, (slots - stringsZeroed_) * sizeof(uint32_t));
        stringsZeroed_ = slots;
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
        std::memset(direct_.get(), 0, row * row * sizeof(uint16_t));
    } else if (flat_) {
        // Single pixels keep their first children there too.
        std::memset(firstTag_.get(), 0, size_t(clearCode_) * sizeof(uint16_t));
    }
    // Whatever the last frame or table generation set. Slots set one by one land on cache
    // lines all over the table: past 1 in 16 slots, clearing the whole table at memset
    // speed is cheaper (not so for a whole table: 256 KB take longer than a full
    // generation's 4093 slots).
    if (slotsUsedCount_ > 0 && size_t(slotsUsedCount_) * 16 >= dirtySlots_) {
        std::memset(strings_.get(), 0, dirtySlots_ * sizeof(uint32_t));
    } else {
        for (unsigned i = 0; i < slotsUsedCount_; ++i)
            strings_[slotsUsed_[i]] = 0;
    }
    slotsUsedCount_ = 0;
    dirtySlots_ = size_t(stringMask_) + 1; // the table the next entries go to
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
    uint16_t* const table = direct_.get();
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
// (the code and four bits of its key) XOR a random value of the pixel, which in a whole
// table of 65536 slots needs no mask. The code and the key of the next string come from
// `here` beside that chain.
template <bool Whole>
void TLZWEncoder::RunHashed(TRun& run, const uint8_t* p, const uint8_t* const end) {
    uint32_t* const strings = strings_.get();
    uint16_t* const used = slotsUsed_.get();
    const uint32_t mask = Whole ? 0xFFFF : stringMask_;
    uint8_t* const outLimit = out_ + kOutBatch;
    uint64_t acc = run.Acc;
    unsigned bits = run.Bits;
    uint8_t* out = run.Out;
    unsigned codeSize = run.CodeSize;
    unsigned next = run.NextCode;
    unsigned threshold = run.Threshold;
    uint32_t here = run.Here;
    unsigned usedCount = slotsUsedCount_;
    auto store = [&] {
        run.Acc = acc;
        run.Bits = bits;
        run.Out = out;
        run.CodeSize = codeSize;
        run.NextCode = next;
        run.Prefix = here & 0xFFF;
        run.Here = here;
        slotsUsedCount_ = usedCount;
    };
    auto load = [&] {
        acc = run.Acc;
        bits = run.Bits;
        out = run.Out;
        codeSize = run.CodeSize;
        next = run.NextCode;
        threshold = run.Threshold;
        here = run.Here;
        usedCount = slotsUsedCount_;
    };
    // The slot of (prefix, pixel), or the empty slot where it would go (the table is
    // never more than 1/16 full, so a probe ends soon).
    auto find = [&](uint32_t pixel, uint32_t tag, uint32_t& value) {
        uint32_t slot = here ^ kPixelMix[pixel];
        if (!Whole) slot &= mask;
        value = strings[slot];
        if (((value >> 12) != tag) & (value != 0)) [[unlikely]] {
            do {
                slot = (slot + 1) & mask;
                value = strings[slot];
            } while ((value >> 12) != tag && value != 0);
        }
        return slot;
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
            const uint32_t tag = (((here & 0xFFF) << 8) | pixel) + 1;
            uint32_t value;
            const uint32_t slot = find(pixel, tag, value);
            if (value != 0) {
                here = value & 0xFFFF;
                continue;
            }
            Put(acc, bits, out, here & 0xFFF, codeSize);
            store();
            const bool cleared = Grow(run);
            load();
            if (!cleared) {
                strings[slot] = (tag << 12) | next++;
                used[usedCount++] = uint16_t(slot);
            }
            here = pixel;
            continue;
        }
        const uint8_t* const last = end - 1;
        for (const uint8_t* const stop = p + n; p < stop; ++p) {
            const uint32_t pixel = *p;
            // Where the string starting at this pixel continues, should this pixel end the
            // one matched so far: its slot depends on pixels only, so it is fetched ahead
            // of the branch that decides (not worth it in a small table).
            if constexpr (Whole) __builtin_prefetch(strings + (pixel ^ kPixelMix[*std::min(p + 1, last)]));
            const uint32_t tag = (((here & 0xFFF) << 8) | pixel) + 1;
            uint32_t value;
            const uint32_t slot = find(pixel, tag, value);
            if (value != 0) {
                here = value & 0xFFFF;
                continue;
            }
            Put(acc, bits, out, here & 0xFFF, codeSize);
            strings[slot] = (tag << 12) | next++;
            used[usedCount++] = uint16_t(slot);
            here = pixel;
        }
    }
    store();
}

// Frames with large flat areas: strings there mostly continue with their first child,
// so each code's first child sits in two small arrays (its pixel + 1, 0 for none, and its
// code), where the chain of lookups along a run stays in the fastest cache; only other
// children go to the string table.
void TLZWEncoder::RunFirstChild(TRun& run, const uint8_t* p, const uint8_t* const end) {
    uint32_t* const strings = strings_.get();
    uint16_t* const used = slotsUsed_.get();
    uint16_t* const firstTag = firstTag_.get();
    uint16_t* const firstCode = firstCode_.get();
    const uint32_t mask = stringMask_;
    uint8_t* const outLimit = out_ + kOutBatch;
    uint64_t acc = run.Acc;
    unsigned bits = run.Bits;
    uint8_t* out = run.Out;
    unsigned codeSize = run.CodeSize;
    unsigned next = run.NextCode;
    unsigned threshold = run.Threshold;
    uint32_t prefix = run.Prefix;
    unsigned usedCount = slotsUsedCount_;
    for (; p < end; ++p) {
        const uint32_t pixel = *p;
        const uint32_t first = firstTag[prefix];
        if (first == pixel + 1) {
            prefix = firstCode[prefix];
            continue;
        }
        const uint32_t tag = ((prefix << 8) | pixel) + 1;
        uint32_t slot = 0;
        if (first != 0) {
            slot = ((prefix << 4) ^ kPixelMix[pixel]) & mask;
            uint32_t value;
            while ((value = strings[slot]) != 0 && (value >> 12) != tag)
                slot = (slot + 1) & mask;
            if (value != 0) {
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
            slotsUsedCount_ = usedCount;
            if (out >= outLimit) Flush(run);
            const bool cleared = next >= threshold && Grow(run);
            acc = run.Acc;
            bits = run.Bits;
            out = run.Out;
            codeSize = run.CodeSize;
            next = run.NextCode;
            threshold = run.Threshold;
            usedCount = slotsUsedCount_;
            if (cleared) {
                prefix = pixel;
                continue;
            }
        }
        if (first == 0) {
            firstTag[prefix] = uint16_t(pixel + 1);
            firstCode[prefix] = uint16_t(next);
        } else {
            strings[slot] = (tag << 12) | next;
            used[usedCount++] = uint16_t(slot);
        }
        firstTag[next++] = 0;
        prefix = pixel;
    }
    run.Acc = acc;
    run.Bits = bits;
    run.Out = out;
    run.CodeSize = codeSize;
    run.NextCode = next;
    run.Prefix = prefix;
    slotsUsedCount_ = usedCount;
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
