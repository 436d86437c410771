// Bytes eight at a time: flat pictures hold long runs of one value, and eight of them are
// one comparison of a 64-bit word.
#pragma once

#include <cstdint>
#include <cstring>

namespace gif {

inline constexpr uint64_t EachByte = 0x0101010101010101ull;

inline uint64_t LoadWord(const uint8_t* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

inline void StoreWord(uint8_t* bytes, uint64_t word) { std::memcpy(bytes, &word, sizeof word); }

// Whether the eight bytes from `bytes` on all hold `value`.
inline bool EightAre(const uint8_t* bytes, uint8_t value) {
    return LoadWord(bytes) == value * EachByte;
}

} // namespace gif
