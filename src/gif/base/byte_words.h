// Bytes eight at a time: flat pictures hold long runs of one value, and eight of them are
// one comparison of a 64-bit word.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>

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

// The largest of the bytes, 0 for none.
uint8_t LargestByte(std::span<const uint8_t> bytes);

// Adds to counts[v] how often each value v occurs among the bytes.
void CountBytes(std::span<const uint8_t> bytes, std::array<uint64_t, 256>& counts);

// Sets present[v] for every value v among the bytes.
void MarkPresentBytes(std::span<const uint8_t> bytes, std::array<bool, 256>& present);

// Replaces every byte b by map[b].
void MapBytes(std::span<uint8_t> bytes, const std::array<uint8_t, 256>& map);

} // namespace gif
