#include "gif/optimize/two_threads.h"

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

namespace gif::optimize {

void ShareOutOnTwoThreads(size_t count,
                          const std::function<void(size_t index, int thread)>& body) {
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr errors[2];
    auto work = [&](int thread) {
        try {
            for (size_t i = next++; i < count && !failed; i = next++)
                body(i, thread);
        } catch (...) {
            errors[thread] = std::current_exception();
            failed = true;
        }
    };
    std::thread second;
    if (count > 1) {
        try {
            second = std::thread(work, 1);
        } catch (const std::system_error&) {
            // No second thread: this one does it all.
        }
    }
    work(0);
    if (second.joinable()) second.join();
    for (std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);
}

} // namespace gif::optimize
