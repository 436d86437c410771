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
