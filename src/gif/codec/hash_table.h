// The LZW encoder's string table: (prefix code, pixel) -> code.
#pragma once

#include <cstdint>

namespace gif {

// An open-addressed table of 8009 slots (a prime) of 32 bits. A used slot holds
// key * 4096 + code, where key = prefix code * 256 + pixel (20 bits) and code has 12 bits;
// an empty slot has all bits set. It holds at most 4095 entries, so it is never more than
// about half full.
class THashTable {
  public:
    static constexpr int kSize = 8009;
    static constexpr uint32_t kEmpty = 0xFFFFFFFF;

    THashTable() { Clear(); }

    // Empties every slot.
    void Clear();
    // Stores key -> code; `key` must not be in the table yet.
    void Insert(uint32_t key, int code);
    // The code stored for `key`, or -1.
    int Lookup(uint32_t key) const;

    // The slot a key's probe sequence starts at.
    static int Slot(uint32_t key) {
        // (key ^ key >> 4) mod 8009, by multiplying with the fixed-point inverse (exact for
        // every 32-bit value; two multiplications instead of a division).
        constexpr uint64_t kInverse = ~uint64_t(0) / kSize + 1;
        const uint64_t low = kInverse * uint64_t(key ^ (key >> 4));
        return int((static_cast<unsigned __int128>(low) * kSize) >> 64);
    }
    // The slot probed after `slot`: the doubling sequence modulo 8009 (0 goes to 8008).
    static int NextSlot(int slot) {
        // Without branches: the hot loops cannot predict which way this goes.
        int next = slot - (kSize - slot);
        next += kSize & (next >> 31);
        const int zero = -int(slot == 0);
        return (next & ~zero) | ((kSize - 1) & zero);
    }
    // The first two slots of a key's probe sequence, the second computed alongside the
    // first rather than from it (shorter dependency chains in hot loops).
    static void FirstSlots(uint32_t key, int& first, int& second) {
        constexpr uint64_t kInverse = ~uint64_t(0) / kSize + 1;
        const uint64_t hash = uint64_t(key ^ (key >> 4));
        const uint64_t low1 = kInverse * hash;
        const uint64_t low2 = kInverse * (hash * 2);
        first = int((static_cast<unsigned __int128>(low1) * kSize) >> 64);
        const int doubled = int((static_cast<unsigned __int128>(low2) * kSize) >> 64);
        second = first == 0 ? kSize - 1 : doubled;
    }
    // Whether a slot value counts as empty (anything from 0xFFFFF000 up).
    static bool IsEmpty(uint32_t value) { return value >= 0xFFFFF000u; }

    // The raw slots, for encoders that inline the probe loop.
    const uint32_t* Slots() const { return slots_; }
    uint32_t* Slots() { return slots_; }

    // Doubling modulo 8009 visits only 4004 slots before it repeats. A probe sequence
    // that has seen that many used slots goes on with a plain scan, so that even a
    // table crowded into one cycle by hostile input always ends.
    static constexpr int kCycle = 4004;
    int InsertSlow(uint32_t value, int slot);
    int LookupSlow(uint32_t key) const;

  private:
    uint32_t slots_[kSize];
};

} // namespace gif
