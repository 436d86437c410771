// The threads of this process, for tests that check that finished work leaves none behind.
#pragma once

#include <chrono>
#include <filesystem>
#include <thread>

namespace testsupport {

// Threads of this process, as the kernel lists them.
inline int ThreadCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

// Whether the thread count falls to `expected` within 5 s. A joined thread can still be
// listed for a moment: the kernel wakes the joining thread before it removes the task.
inline bool ThreadsDownTo(int expected) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (ThreadCount() > expected) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace testsupport
