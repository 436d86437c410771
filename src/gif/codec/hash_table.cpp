#include "gif/codec/hash_table.h"

#include <cstring>

namespace gif {

void THashTable::Clear() {
    std::memset(slots_, 0xFF, sizeof slots_);
}

void THashTable::Insert(uint32_t key, int code) {
    uint32_t value = (key << 12) | uint32_t(code);
    int slot = Slot(key);
    for (int probes = 0; probes < kCycle; ++probes) {
        if (IsEmpty(slots_[slot])) {
            slots_[slot] = value;
            return;
        }
        slot = NextSlot(slot);
    }
    InsertSlow(value, slot);
}

int THashTable::Lookup(uint32_t key) const {
    int slot = Slot(key);
    for (int probes = 0; probes < kCycle; ++probes) {
        uint32_t value = slots_[slot];
        if (IsEmpty(value)) return -1;
        if ((value >> 12) == key) return int(value & 0xFFF);
        slot = NextSlot(slot);
    }
    return LookupSlow(key);
}

int THashTable::InsertSlow(uint32_t value, int slot) {
    // Fewer than 4096 entries in 8009 slots: an empty one exists.
    for (int i = 0; i < kSize; ++i, slot = slot + 1 == kSize ? 0 : slot + 1) {
        if (IsEmpty(slots_[slot])) {
            slots_[slot] = value;
            return slot;
        }
    }
    return -1;
}

int THashTable::LookupSlow(uint32_t key) const {
    for (int i = 0; i < kSize; ++i)
        if (!IsEmpty(slots_[i]) && (slots_[i] >> 12) == key) return int(slots_[i] & 0xFFF);
    return -1;
}

} // namespace gif
