#include "gif/codec/lzw_encoder.h"

#include <algorithm>
#include <cstring>

namespace gif {

// The hot loops keep the encoder state in locals (a TState copied in and out per stretch
// of pixels, never passed by address, so that stores of output bytes cannot alias it).
// Bytes leave the accumulator a 64-bit word at a time (the batch buffer has slack for
// it); only whole bytes count.
//
// Along flat areas and repeated patterns strings grow long and the last child of each
// code answers nearly every lookup; there a branch per pixel is cheap because it is
// predictable. In noisy areas whether a string goes on cannot be predicted, so the other
// loop settles each pixel without branches from the first two slots of the string
// table's probe sequence. Every few thousand pixels the hit rate picks the loop for the
// next stretch. Both produce the same codes.

void TLZWEncoder::Compress() {
    if (!table_) table_ = std::make_unique<THashTable>();
    if (!lastChild_) lastChild_ = std::make_unique_for_overwrite<uint32_t[]>(4096);
    if (colorLimit_ < 256)
        CompressRows<true>();
    else
        CompressRows<false>();
}

void TLZWEncoder::Emit(TState& s, int code) {
    s.Acc |= uint64_t(code) << s.Bits;
    s.Bits += unsigned(s.CodeSize);
    std::memcpy(s.Out, &s.Acc, 8);
    s.Out += s.Bits >> 3;
    s.Acc >>= s.Bits & ~7u;
    s.Bits &= 7;
    if (s.Out - out_ >= kOutBatch) {
        outLen_ = int(s.Out - out_);
        FlushOut();
        s.Out = out_;
    }
}

void TLZWEncoder::ClearTable(TState& s) {
    Emit(s, clearCode_);
    s.CodeSize = initBits_;
    s.MaxCode = (1 << initBits_) - 1;
    table_->Clear();
    std::memset(lastChild_.get(), 0xFF, 4096 * sizeof(uint32_t));
    s.NextCode = clearCode_ + 2;
}

void TLZWEncoder::ColorErrorAt(const TState& s) {
    outLen_ = int(s.Out - out_);
    ColorError();
}

void TLZWEncoder::Step(TState& s, uint32_t pixel) {
    uint32_t* const slots = table_->Slots();
    const uint32_t key = (s.Prefix << 8) | pixel;
    int slot = THashTable::Slot(key);
    for (int probes = 0;;) {
        const uint32_t value = slots[slot];
        if (THashTable::IsEmpty(value)) break;
        if ((value >> 12) == key) {
            lastChild_[s.Prefix] = (pixel << 12) | (value & 0xFFF);
            s.Prefix = value & 0xFFF;
            return;
        }
        slot = THashTable::NextSlot(slot);
        if (++probes == THashTable::kCycle) [[unlikely]] {
            const int code = table_->LookupSlow(key);
            if (code >= 0) {
                s.Prefix = uint32_t(code);
                return;
            }
            slot = -1;
            break;
        }
    }
    Emit(s, int(s.Prefix));
    if (s.NextCode > s.MaxCode) {
        ++s.CodeSize;
        s.MaxCode = s.CodeSize == 12 ? 4096 : (1 << s.CodeSize) - 1;
    }
    if (s.NextCode >= 4095) {
        s.Prefix = pixel;
        ClearTable(s);
        return;
    }
    const uint32_t value = (key << 12) | uint32_t(s.NextCode);
    if (slot >= 0)
        slots[slot] = value;
    else
        table_->InsertSlow(value, 0);
    lastChild_[s.Prefix] = (pixel << 12) | uint32_t(s.NextCode);
    s.Prefix = pixel;
    ++s.NextCode;
}

template <bool CheckLimit>
size_t TLZWEncoder::RunCached(TState& state, const uint8_t* p, const uint8_t* const end) {
    const uint32_t* const lastChild = lastChild_.get();
    const unsigned limit = unsigned(colorLimit_);
    uint32_t prefix = state.Prefix;
    size_t hits = 0;
    for (; p < end; ++p) {
        const uint32_t pixel = *p;
        if (CheckLimit && pixel >= limit) [[unlikely]] {
            state.Prefix = prefix;
            ColorErrorAt(state);
        }
        const uint32_t cached = lastChild[prefix];
        if ((cached >> 12) == pixel) {
            prefix = cached & 0xFFF;
            ++hits;
            continue;
        }
        state.Prefix = prefix;
        Step(state, pixel);
        prefix = state.Prefix;
    }
    state.Prefix = prefix;
    return hits;
}

template <bool CheckLimit>
size_t TLZWEncoder::RunHashed(TState& state, const uint8_t* p, const uint8_t* const end) {
    uint32_t* const slots = table_->Slots();
    const unsigned limit = unsigned(colorLimit_);
    uint8_t* const base = out_;
    TState s = state;
    // The next free code at which a miss needs the plain road (size growth or clear).
    int threshold = std::min(s.MaxCode + 1, 4095);
    const int startCode = s.NextCode;
    const size_t n = size_t(end - p);
    for (; p < end; ++p) {
        const uint32_t pixel = *p;
        if (CheckLimit && pixel >= limit) [[unlikely]]
            ColorErrorAt(s);
        const uint32_t key = (s.Prefix << 8) | pixel;
        const int slot1 = THashTable::Slot(key);
        const uint32_t v1 = slots[slot1];
        int slot = slot1;
        if ((v1 >> 12) == key) {
            s.Prefix = v1 & 0xFFF;
            continue;
        }
        if (!THashTable::IsEmpty(v1)) [[unlikely]] {
            const int slot2 = THashTable::NextSlot(slot1);
            const uint32_t v2 = slots[slot2];
            if ((v2 >> 12) == key) {
                s.Prefix = v2 & 0xFFF;
                continue;
            }
            slot = THashTable::IsEmpty(v2) ? slot2 : -1;
        }
        if (slot < 0 || s.NextCode >= threshold) [[unlikely]] {
            // Longer probes, code size growth and table clears.
            TState t = s;
            Step(t, pixel);
            s = t;
            threshold = std::min(s.MaxCode + 1, 4095);
            continue;
        }
        // A miss: the prefix code goes out, the key takes the next free code.
        s.Acc |= uint64_t(s.Prefix) << s.Bits;
        s.Bits += unsigned(s.CodeSize);
        std::memcpy(s.Out, &s.Acc, 8);
        s.Out += s.Bits >> 3;
        s.Acc >>= s.Bits & ~7u;
        s.Bits &= 7;
        slots[slot] = (key << 12) | uint32_t(s.NextCode);
        ++s.NextCode;
        s.Prefix = pixel;
        if (s.Out - base >= kOutBatch) [[unlikely]] {
            outLen_ = int(s.Out - base);
            FlushOut();
            s.Out = base;
        }
    }
    state = s;
    // Each miss takes a code; after a clear the count is unknown: call it noisy.
    return s.NextCode >= startCode ? n - std::min(n, size_t(s.NextCode - startCode)) : 0;
}

template <bool CheckLimit>
void TLZWEncoder::CompressRows() {
    TState state{acc_, unsigned(bitCount_), out_ + outLen_, codeSize_, maxCode_, 0, 0};
    ClearTable(state);
    const std::vector<int> rows = RowOrder();
    // Without interlacing the rows follow each other in memory: one long stretch.
    const size_t span = interlaced_ ? size_t(width_) : size_t(width_) * size_t(height_);
    const size_t count = interlaced_ ? rows.size() : 1;
    constexpr ptrdiff_t kStretch = 2048;
    bool cached = true;
    for (size_t r = 0; r < count; ++r) {
        const uint8_t* p = Row(rows[r]);
        const uint8_t* const end = p + span;
        if (r == 0) {
            state.Prefix = *p++;
            if (CheckLimit && state.Prefix >= unsigned(colorLimit_)) ColorErrorAt(state);
        }
        while (p < end) {
            const uint8_t* const stop = end - p > kStretch ? p + kStretch : end;
            const size_t n = size_t(stop - p);
            if (cached) {
                // Stay while the cache answers at least 3 pixels in 4.
                cached = RunCached<CheckLimit>(state, p, stop) * 4 >= n * 3;
            } else {
                // Come back when strings run long (9 pixels in 10 continue one).
                cached = RunHashed<CheckLimit>(state, p, stop) * 10 >= n * 9;
            }
            p = stop;
        }
    }
    Emit(state, int(state.Prefix));
    if (state.NextCode > state.MaxCode) {
        ++state.CodeSize;
        state.MaxCode = state.CodeSize == 12 ? 4096 : (1 << state.CodeSize) - 1;
    }
    acc_ = state.Acc;
    bitCount_ = int(state.Bits);
    codeSize_ = state.CodeSize;
    maxCode_ = state.MaxCode;
    outLen_ = int(state.Out - out_);
}

} // namespace gif
