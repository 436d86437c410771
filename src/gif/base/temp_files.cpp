#include "gif/base/temp_files.h"

#include <atomic>
#include <cstring>
#include <unistd.h>

namespace gif {

namespace {

// A fixed table, so that a signal handler only reads memory that never moves. A slot goes
// free -> filling (its owner copies the path) -> ready -> free; the handler only touches
// ready slots. The table is one of the library's few globals: a signal handler cannot be
// handed a context.
enum : int { kFree = 0, kFilling = 1, kReady = 2 };
constexpr size_t kMaxPath = 4096;

struct TSlot {
    std::atomic<int> State{kFree};
    char Path[kMaxPath];
};

TSlot g_slots[kMaxRegisteredTempFiles];

static_assert(std::atomic<int>::is_always_lock_free, "signal handlers need lock-free atomics");

} // namespace

int RegisterTempFile(const char* path) noexcept {
    size_t length = std::strlen(path);
    if (length >= kMaxPath) return -1;
    for (int i = 0; i < kMaxRegisteredTempFiles; ++i) {
        int expected = kFree;
        if (!g_slots[i].State.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(g_slots[i].Path, path, length + 1);
        g_slots[i].State.store(kReady, std::memory_order_release);
        return i;
    }
    return -1;
}

void UnregisterTempFile(int slot) noexcept {
    if (slot < 0 || slot >= kMaxRegisteredTempFiles) return;
    g_slots[slot].State.store(kFree, std::memory_order_release);
}

void RemoveRegisteredTempFiles() noexcept {
    for (TSlot& slot : g_slots)
        if (slot.State.load(std::memory_order_acquire) == kReady) unlink(slot.Path);
}

} // namespace gif
