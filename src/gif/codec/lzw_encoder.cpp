#include "gif/codec/lzw_encoder.h"

#include <cstring>

namespace gif {

void TLZWEncoder::Compress() {
    if (!table_) table_ = std::make_unique<THashTable>();
    if (colorLimit_ < 256)
        CompressRows<true>();
    else
        CompressRows<false>();
}

// The hot loop keeps the whole encoder state in locals: the bit accumulator, the code
// size, the next free code and the output pointer. Bytes leave the accumulator a 64-bit
// word at a time (the batch buffer has slack for it); only whole bytes count.
template <bool CheckLimit>
void TLZWEncoder::CompressRows() {
    uint32_t* const slots = table_->Slots();
    const int clearCode = clearCode_;
    const int initBits = initBits_;
    const unsigned limit = unsigned(colorLimit_);
    uint64_t acc = acc_;
    unsigned nbits = unsigned(bitCount_);
    int codeSize = codeSize_;
    int maxCode = maxCode_;
    uint8_t* const base = out_;
    uint8_t* o = out_ + outLen_;

    auto emit = [&](int code) {
        acc |= uint64_t(code) << nbits;
        nbits += unsigned(codeSize);
        std::memcpy(o, &acc, 8);
        o += nbits >> 3;
        acc >>= nbits & ~7u;
        nbits &= 7;
        if (o - base >= kOutBatch) {
            outLen_ = int(o - base);
            FlushOut();
            o = base;
        }
    };
    auto colorError = [&]() {
        outLen_ = int(o - base);
        ColorError();
    };

    int nextCode = 0;
    auto clear = [&]() {
        emit(clearCode);
        codeSize = initBits;
        maxCode = (1 << initBits) - 1;
        table_->Clear();
        nextCode = clearCode + 2;
    };
    clear();

    const std::vector<int> rows = RowOrder();
    uint32_t prefix = 0;
    bool first = true;
    for (int y : rows) {
        const uint8_t* p = Row(y);
        const uint8_t* const end = p + width_;
        if (first) {
            prefix = *p++;
            if (CheckLimit && prefix >= limit) colorError();
            first = false;
        }
        for (; p < end; ++p) {
            const uint32_t pixel = *p;
            if (CheckLimit && pixel >= limit) [[unlikely]]
                colorError();
            const uint32_t key = (prefix << 8) | pixel;
            int slot = THashTable::Slot(key);
            int probes = 0;
            for (;;) {
                const uint32_t value = slots[slot];
                if (THashTable::IsEmpty(value)) break;
                if ((value >> 12) == key) {
                    prefix = value & 0xFFF;
                    goto next_pixel;
                }
                slot = THashTable::NextSlot(slot);
                if (++probes == THashTable::kCycle) [[unlikely]] {
                    const int code = table_->LookupSlow(key);
                    if (code >= 0) {
                        prefix = uint32_t(code);
                        goto next_pixel;
                    }
                    slot = -1;
                    break;
                }
            }
            emit(int(prefix));
            if (nextCode > maxCode) {
                ++codeSize;
                maxCode = codeSize == 12 ? 4096 : (1 << codeSize) - 1;
            }
            prefix = pixel;
            if (nextCode >= 4095) {
                clear();
            } else {
                const uint32_t value = (key << 12) | uint32_t(nextCode);
                if (slot >= 0)
                    slots[slot] = value;
                else
                    table_->InsertSlow(value, 0);
                ++nextCode;
            }
        next_pixel:;
        }
    }
    emit(int(prefix));
    if (nextCode > maxCode) {
        ++codeSize;
        maxCode = codeSize == 12 ? 4096 : (1 << codeSize) - 1;
    }
    acc_ = acc;
    bitCount_ = int(nbits);
    codeSize_ = codeSize;
    maxCode_ = maxCode;
    outLen_ = int(o - base);
}

} // namespace gif
