#include "gif/codec/lzw_encoder.h"

#include <algorithm>
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

constexpr unsigned kLastCode = 4095;        // the next free code that forces a clear
constexpr unsigned kMaxDirectBits = 4;      // direct rows of up to 16 entries (128 KB)
constexpr size_t kPairTablePixels = 65536;  // frames from this size set up pairs_
constexpr unsigned kMaxStringBits = 15; // at most 32768 string slots, 1/8 full at most

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

// The first slot of a key's probe sequence in a table of 2^bits slots.
inline unsigned StringSlot(uint32_t tag, unsigned bits) {
    return (tag * 0x9E3779B1u) >> (32 - bits);
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

    TRun run{acc_, unsigned(bitCount_), out_ + outLen_, unsigned(codeSize_), 0, 0, 0, 0};
    // The first clear code.
    Emit(run, unsigned(clearCode_));
    run.CodeSize = unsigned(initBits_);
    run.MaxCode = (1u << initBits_) - 1;
    run.NextCode = unsigned(clearCode_) + 2;
    run.Threshold = std::min(run.MaxCode + 1, kLastCode);
    ResetTables();

    // Without interlacing the rows follow each other in memory: one long stretch.
    const std::vector<int> rows = RowOrder();
    const size_t span = interlaced_ ? size_t(width_) : total;
    const size_t count = interlaced_ ? rows.size() : 1;
    for (size_t r = 0; r < count; ++r) {
        const uint8_t* p = Row(rows[r]);
        const size_t valid = checked ? ValidPixels(p, span) : span;
        const uint8_t* const end = p + valid;
        if (r == 0 && valid > 0) run.Prefix = *p++;
        switch (directBits_) {
        case 1: RunDirect<1>(run, p, end); break;
        case 2: RunDirect<2>(run, p, end); break;
        case 3: RunDirect<3>(run, p, end); break;
        case 4: RunDirect<4>(run, p, end); break;
        default:
            if (pairTable_)
                RunSplit<true>(run, p, end);
            else
                RunSplit<false>(run, p, end);
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
    if (bits <= kMaxDirectBits) {
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
    // The pair table costs 128 KB to set up: worth it for large frames only.
    pairTable_ = pixels >= kPairTablePixels;
    if (pairTable_ && !pairs_) pairs_ = std::make_unique<uint16_t[]>(65536);
    if (!firstCode_) {
        firstCode_ = std::make_unique_for_overwrite<uint16_t[]>(4096);
        firstTag_ = std::make_unique_for_overwrite<uint16_t[]>(4096);
        strings_ = std::make_unique_for_overwrite<uint32_t[]>(size_t(1) << kMaxStringBits);
        pairsUsed_ = std::make_unique_for_overwrite<uint16_t[]>(4096);
        slotsUsed_ = std::make_unique_for_overwrite<uint16_t[]>(4096);
    }
    // At least 8 slots per string the frame can make (one per pixel, 4093 at most).
    const size_t strings = std::min<size_t>(pixels, 4096);
    stringBits_ = 10;
    while (stringBits_ < kMaxStringBits && (size_t(1) << stringBits_) < 8 * strings)
        ++stringBits_;
    stringMask_ = (1u << stringBits_) - 1;
    const size_t slots = size_t(1) << stringBits_;
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
    } else if (!pairTable_) {
        // Single pixels keep their first children in firstTag_ and firstCode_ too.
        std::memset(firstTag_.get(), 0, size_t(clearCode_) * sizeof(uint16_t));
    }
    // Whatever the last frame or table generation set, in either layout.
    for (unsigned i = 0; i < pairsUsedCount_; ++i)
        pairs_[pairsUsed_[i]] = 0;
    pairsUsedCount_ = 0;
    for (unsigned i = 0; i < slotsUsedCount_; ++i)
        strings_[slotsUsed_[i]] = 0;
    slotsUsedCount_ = 0;
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
// code shifted left by A), so a lookup is an add and one load.
template <unsigned A>
void TLZWEncoder::RunDirect(TRun& run, const uint8_t* p, const uint8_t* const end) {
    constexpr size_t kRow = size_t(1) << A;
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
                entry = *slot;
                continue;
            }
            Put(acc, bits, out, entry >> A, codeSize);
            store();
            const bool cleared = Grow(run);
            load();
            if (!cleared) {
                std::memset(table + (size_t(next) << A), 0, kRow * sizeof(uint16_t));
                *slot = uint16_t(next++ << A);
            }
            entry = pixel << A;
            continue;
        }
        uint32_t nextEntry = next << A;
        for (const uint8_t* const stop = p + n; p < stop; ++p) {
            const uint32_t pixel = *p;
            uint16_t* const slot = table + size_t(entry) + pixel;
            const uint32_t child = *slot;
            if (child != 0) {
                entry = child;
                continue;
            }
            // A miss: the prefix goes out, the string takes the next free code, whose row
            // starts empty.
            Put(acc, bits, out, entry >> A, codeSize);
            *slot = uint16_t(nextEntry);
            std::memset(table + size_t(nextEntry), 0, kRow * sizeof(uint16_t));
            nextEntry += kRow;
            entry = pixel << A;
        }
        next = nextEntry >> A;
    }
    store();
}

// Frames with pixel values of 16 and more. With PairTable single pixels find their
// children in pairs_, otherwise like longer strings.
template <bool PairTable>
void TLZWEncoder::RunSplit(TRun& run, const uint8_t* p, const uint8_t* const end) {
    uint16_t* const firstCode = firstCode_.get();
    uint16_t* const firstTag = firstTag_.get();
    uint32_t* const strings = strings_.get();
    uint16_t* const pairs = pairs_.get();
    uint16_t* const pairsUsed = pairsUsed_.get();
    uint16_t* const slotsUsed = slotsUsed_.get();
    const uint32_t clearCode = uint32_t(clearCode_);
    const unsigned stringBits = stringBits_;
    const unsigned stringMask = stringMask_;
    uint8_t* const outLimit = out_ + kOutBatch;
    uint64_t acc = run.Acc;
    unsigned bits = run.Bits;
    uint8_t* out = run.Out;
    unsigned codeSize = run.CodeSize;
    unsigned next = run.NextCode;
    unsigned threshold = run.Threshold;
    uint32_t prefix = run.Prefix;
    unsigned pairsUsedCount = pairsUsedCount_;
    unsigned slotsUsedCount = slotsUsedCount_;
    // After the prefix went out on a miss: the rare events. Returns true after a clear.
    auto afterMiss = [&]() -> bool {
        if (out >= outLimit) {
            run.Out = out;
            Flush(run);
            out = run.Out;
        }
        if (next < threshold) [[likely]]
            return false;
        run.Acc = acc;
        run.Bits = bits;
        run.Out = out;
        run.CodeSize = codeSize;
        run.NextCode = next;
        pairsUsedCount_ = pairsUsedCount;
        slotsUsedCount_ = slotsUsedCount;
        const bool cleared = Grow(run);
        acc = run.Acc;
        bits = run.Bits;
        out = run.Out;
        codeSize = run.CodeSize;
        next = run.NextCode;
        threshold = run.Threshold;
        pairsUsedCount = pairsUsedCount_;
        slotsUsedCount = slotsUsedCount_;
        return cleared;
    };
    for (; p < end; ++p) {
        const uint32_t pixel = *p;
        if (PairTable && prefix < clearCode) {
            // A single-pixel string: its children are indexed directly.
            const uint32_t key = (prefix << 8) | pixel;
            const uint32_t child = pairs[key];
            if (child != 0) {
                prefix = child;
                continue;
            }
            Put(acc, bits, out, prefix, codeSize);
            if (!afterMiss()) {
                pairs[key] = uint16_t(next);
                pairsUsed[pairsUsedCount++] = uint16_t(key);
                firstTag[next++] = 0;
            }
            prefix = pixel;
            continue;
        }
        // The first child: the next lookup needs only the code loaded, the pixel check
        // runs beside it.
        const uint32_t first = firstTag[prefix];
        if (first == pixel + 1) {
            prefix = firstCode[prefix];
            continue;
        }
        // Not the first child: look in the string table (never full, so a probe ends at
        // the key or at an empty slot).
        const uint32_t tag = ((prefix << 8) | pixel) + 1;
        unsigned slot = 0;
        if (first != 0) {
            slot = StringSlot(tag, stringBits);
            uint32_t value;
            while ((value = strings[slot]) != 0 && (value >> 12) != tag)
                slot = (slot + 1) & stringMask;
            if (value != 0) {
                prefix = value & 0xFFF;
                continue;
            }
        }
        // A miss: the prefix code goes out, the key takes the next free code.
        Put(acc, bits, out, prefix, codeSize);
        if (!afterMiss()) {
            if (first == 0) {
                firstTag[prefix] = uint16_t(pixel + 1);
                firstCode[prefix] = uint16_t(next);
            } else {
                strings[slot] = (tag << 12) | next;
                slotsUsed[slotsUsedCount++] = uint16_t(slot);
            }
            firstTag[next++] = 0;
        }
        prefix = pixel;
    }
    run.Acc = acc;
    run.Bits = bits;
    run.Out = out;
    run.CodeSize = codeSize;
    run.NextCode = next;
    run.Prefix = prefix;
    pairsUsedCount_ = pairsUsedCount;
    slotsUsedCount_ = slotsUsedCount;
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
