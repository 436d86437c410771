#include "gif/base/byte_words.h"

#include <algorithm>

namespace gif {

uint8_t LargestByte(std::span<const uint8_t> bytes) {
    // A plain loop: the compiler takes sixteen bytes at a time.
    uint8_t largest = 0;
    for (uint8_t b : bytes)
        largest = std::max(largest, b);
    return largest;
}

void CountBytes(std::span<const uint8_t> bytes, std::array<uint64_t, 256>& counts) {
    // Four sets of counters, so that a run of one value does not make each increment wait
    // for the one before; eight equal bytes count with one addition. 32 bits hold up to
    // 4 GB: longer spans are counted in parts.
    constexpr size_t Part = size_t(1) << 31;
    for (size_t start = 0; start < bytes.size(); start += Part) {
        const std::span<const uint8_t> part =
            bytes.subspan(start, std::min(Part, bytes.size() - start));
        std::array<std::array<uint32_t, 256>, 4> sets{};
        size_t i = 0;
        for (; i + 8 <= part.size(); i += 8) {
            const uint8_t* eight = part.data() + i;
            if (EightAre(eight, eight[0])) {
                sets[0][eight[0]] += 8;
                continue;
            }
            for (size_t k = 0; k < 8; ++k)
                ++sets[k & 3][eight[k]];
        }
        for (; i < part.size(); ++i)
            ++sets[0][part[i]];
        for (size_t v = 0; v < 256; ++v)
            counts[v] += uint64_t(sets[0][v]) + sets[1][v] + sets[2][v] + sets[3][v];
    }
}

void MarkPresentBytes(std::span<const uint8_t> bytes, std::array<bool, 256>& present) {
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        const uint8_t* eight = bytes.data() + i;
        if (EightAre(eight, eight[0])) {
            present[eight[0]] = true;
            continue;
        }
        for (size_t k = 0; k < 8; ++k)
            present[eight[k]] = true;
    }
    for (; i < bytes.size(); ++i)
        present[bytes[i]] = true;
}

void MapBytes(std::span<uint8_t> bytes, const std::array<uint8_t, 256>& map) {
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint8_t* eight = bytes.data() + i;
        if (EightAre(eight, eight[0])) {
            StoreWord(eight, map[eight[0]] * EachByte);
            continue;
        }
        for (size_t k = 0; k < 8; ++k)
            eight[k] = map[eight[k]];
    }
    for (; i < bytes.size(); ++i)
        bytes[i] = map[bytes[i]];
}

} // namespace gif
