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
    static int Slot(uint32_t key) { return int((key ^ (key >> 4)) % kSize); }
    // The slot probed after `slot`: the doubling sequence modulo 8009 (0 goes to 8008).
    static int NextSlot(int slot) {
        if (slot == 0) return kSize - 1;
        int next = slot - (kSize - slot);
        return next < 0 ? next + kSize : next;
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
