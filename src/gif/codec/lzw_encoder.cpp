#include "gif/codec/lzw_encoder.h"

#include <algorithm>
#include <cstring>

namespace gif {

// The hot loops keep the encoder state in locals (a TState copied in and out, never
// passed by address inside the loop, so that stores of output bytes cannot alias it).
// Bytes leave the accumulator a 64-bit word at a time (the batch buffer has slack for
// it); only whole bytes count.

void TLZWEncoder::Compress() {
    if (initCodeSize_ <= kDirectMaxCodeSize) {
        if (!children_) children_ = std::make_unique_for_overwrite<uint16_t[]>(size_t(16) * 4096);
    } else {
        if (!table_) table_ = std::make_unique<THashTable>();
        if (!firstChild_) firstChild_ = std::make_unique_for_overwrite<uint32_t[]>(4096);
        if (!pairs_) {
            pairs_ = std::make_unique_for_overwrite<uint16_t[]>(256 * 256);
            std::memset(pairs_.get(), 0xFF, 256 * 256 * sizeof(uint16_t));
            pairsUsed_ = std::make_unique_for_overwrite<uint16_t[]>(4096);
            pairsUsedCount_ = 0;
        }
    }
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

void TLZWEncoder::ResetTables() {
    if (initCodeSize_ <= kDirectMaxCodeSize) {
        std::memset(children_.get(), 0xFF, size_t(clearCode_) * 4096 * sizeof(uint16_t));
    } else {
        table_->Clear();
        std::memset(firstChild_.get(), 0xFF, 4096 * sizeof(uint32_t));
        for (int i = 0; i < pairsUsedCount_; ++i)
            pairs_[pairsUsed_[i]] = 0xFFFF;
        pairsUsedCount_ = 0;
    }
}

bool TLZWEncoder::AfterMiss(TState& s) {
    if (s.NextCode > s.MaxCode) {
        ++s.CodeSize;
        s.MaxCode = s.CodeSize == 12 ? 4096 : (1 << s.CodeSize) - 1;
    }
    if (s.NextCode < 4095) return false;
    Emit(s, clearCode_);
    s.CodeSize = initBits_;
    s.MaxCode = (1 << initBits_) - 1;
    s.NextCode = clearCode_ + 2;
    ResetTables();
    return true;
}

void TLZWEncoder::ColorErrorAt(const TState& s) {
    outLen_ = int(s.Out - out_);
    ColorError();
}

namespace {

// Sends the prefix code (the common miss, no size change). Always inlined, so that the
// state stays in registers.
[[gnu::always_inline]] inline void EmitPrefix(uint64_t& acc, unsigned& bits, uint8_t*& out,
                                              uint32_t prefix, int codeSize) {
    acc |= uint64_t(prefix) << bits;
    bits += unsigned(codeSize);
    std::memcpy(out, &acc, 8);
    out += bits >> 3;
    acc >>= bits & ~7u;
    bits &= 7;
}

} // namespace

template <bool CheckLimit>
void TLZWEncoder::RunSplit(TState& state, const uint8_t* p, const uint8_t* const end) {
    uint32_t* const slots = table_->Slots();
    uint32_t* const firstChild = firstChild_.get();
    uint16_t* const pairs = pairs_.get();
    uint16_t* const pairsUsed = pairsUsed_.get();
    const unsigned limit = unsigned(colorLimit_);
    const uint32_t clearCode = uint32_t(clearCode_);
    uint8_t* const base = out_;
    TState s = state;
    // The next free code at which a miss needs AfterMiss() (size growth or clear).
    int threshold = std::min(s.MaxCode + 1, 4095);
    for (; p < end; ++p) {
        const uint32_t pixel = *p;
        if (CheckLimit && pixel >= limit) [[unlikely]]
            ColorErrorAt(s);
        if (s.Prefix < clearCode) {
            // A single-pixel string: its children are indexed directly.
            const uint32_t key = (s.Prefix << 8) | pixel;
            const uint16_t child = pairs[key];
            if (child != 0xFFFF) {
                s.Prefix = child;
                continue;
            }
            EmitPrefix(s.Acc, s.Bits, s.Out, s.Prefix, s.CodeSize);
            if (s.Out - base >= kOutBatch) [[unlikely]] {
                outLen_ = int(s.Out - base);
                FlushOut();
                s.Out = base;
            }
            if (s.NextCode >= threshold) [[unlikely]] {
                TState t = s;
                const bool cleared = AfterMiss(t);
                s = t;
                threshold = std::min(s.MaxCode + 1, 4095);
                if (cleared) {
                    s.Prefix = pixel;
                    continue;
                }
            }
            pairs[key] = uint16_t(s.NextCode);
            pairsUsed[pairsUsedCount_++] = uint16_t(key);
            ++s.NextCode;
            s.Prefix = pixel;
            continue;
        }
        const uint32_t first = firstChild[s.Prefix];
        if ((first >> 12) == pixel) {
            s.Prefix = first & 0xFFF;
            continue;
        }
        const uint32_t key = (s.Prefix << 8) | pixel;
        int slot = -1;
        if (first != kNoChild) {
            // Not the first child: look in the string table.
            slot = THashTable::Slot(key);
            int probes = 0;
            for (;;) {
                const uint32_t value = slots[slot];
                if (THashTable::IsEmpty(value)) break;
                if ((value >> 12) == key) {
                    s.Prefix = value & 0xFFF;
                    goto next_pixel;
                }
                slot = THashTable::NextSlot(slot);
                if (++probes == THashTable::kCycle) [[unlikely]] {
                    const int code = table_->LookupSlow(key);
                    if (code >= 0) {
                        s.Prefix = uint32_t(code);
                        goto next_pixel;
                    }
                    slot = -2;
                    break;
                }
            }
        }
        // A miss: the prefix code goes out, the key takes the next free code.
        EmitPrefix(s.Acc, s.Bits, s.Out, s.Prefix, s.CodeSize);
        if (s.Out - base >= kOutBatch) [[unlikely]] {
            outLen_ = int(s.Out - base);
            FlushOut();
            s.Out = base;
        }
        if (s.NextCode >= threshold) [[unlikely]] {
            TState t = s;
            const bool cleared = AfterMiss(t);
            s = t;
            threshold = std::min(s.MaxCode + 1, 4095);
            if (cleared) {
                s.Prefix = pixel;
                continue;
            }
        }
        if (slot == -1)
            firstChild[s.Prefix] = (pixel << 12) | uint32_t(s.NextCode);
        else if (slot >= 0)
            slots[slot] = (key << 12) | uint32_t(s.NextCode);
        else
            table_->InsertSlow((key << 12) | uint32_t(s.NextCode), 0);
        ++s.NextCode;
        s.Prefix = pixel;
    next_pixel:;
    }
    state = s;
}

template <bool CheckLimit>
void TLZWEncoder::RunDirect(TState& state, const uint8_t* p, const uint8_t* const end) {
    uint16_t* const children = children_.get();
    const unsigned limit = unsigned(colorLimit_);
    uint8_t* const base = out_;
    TState s = state;
    int threshold = std::min(s.MaxCode + 1, 4095);
    for (; p < end; ++p) {
        const uint32_t pixel = *p;
        if (CheckLimit && pixel >= limit) [[unlikely]]
            ColorErrorAt(s);
        uint16_t& child = children[(size_t(pixel) << 12) | s.Prefix];
        if (child != 0xFFFF) {
            s.Prefix = child;
            continue;
        }
        EmitPrefix(s.Acc, s.Bits, s.Out, s.Prefix, s.CodeSize);
        if (s.Out - base >= kOutBatch) [[unlikely]] {
            outLen_ = int(s.Out - base);
            FlushOut();
            s.Out = base;
        }
        if (s.NextCode >= threshold) [[unlikely]] {
            TState t = s;
            const bool cleared = AfterMiss(t);
            s = t;
            threshold = std::min(s.MaxCode + 1, 4095);
            if (cleared) {
                s.Prefix = pixel;
                continue;
            }
        }
        child = uint16_t(s.NextCode++);
        s.Prefix = pixel;
    }
    state = s;
}

template <bool CheckLimit> void TLZWEncoder::CompressRows() {
    TState state{acc_, unsigned(bitCount_), out_ + outLen_, codeSize_, maxCode_, 0, 0};
    // The first clear code.
    Emit(state, clearCode_);
    state.CodeSize = initBits_;
    state.MaxCode = (1 << initBits_) - 1;
    state.NextCode = clearCode_ + 2;
    ResetTables();

    const std::vector<int> rows = RowOrder();
    // Without interlacing the rows follow each other in memory: one long stretch.
    const size_t span = interlaced_ ? size_t(width_) : size_t(width_) * size_t(height_);
    const size_t count = interlaced_ ? rows.size() : 1;
    for (size_t r = 0; r < count; ++r) {
        const uint8_t* p = Row(rows[r]);
        const uint8_t* const end = p + span;
        if (r == 0) {
            state.Prefix = *p++;
            if (CheckLimit && state.Prefix >= unsigned(colorLimit_)) ColorErrorAt(state);
        }
        if (initCodeSize_ <= kDirectMaxCodeSize)
            RunDirect<CheckLimit>(state, p, end);
        else
            RunSplit<CheckLimit>(state, p, end);
    }
    Finish(state);
}

// The last prefix goes out; the state goes back to the members for the end code.
void TLZWEncoder::Finish(TState& state) {
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
