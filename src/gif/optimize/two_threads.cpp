#include "gif/optimize/two_threads.h"

#include "gif/model/image.h"

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

namespace gif::optimize {

namespace {
// Below this many pixels in all frames, a second thread costs more to start than it saves
// (some 50 microseconds each time, a few times per optimisation).
constexpr int64_t SecondThreadPixels = int64_t(1) << 16;
} // namespace

bool WorthASecondThread(const TGIFImage& image) {
    int64_t pixels = 0;
    for (int i = 0; i < image.FrameCount() && pixels < SecondThreadPixels; ++i) {
        const TGIFSubImage& frame = *image.Frame(i);
        pixels += int64_t(frame.FrameWidth()) * frame.FrameHeight();
    }
    return pixels >= SecondThreadPixels;
}

bool WorthASecondThreadToPlay(const TGIFImage& image) {
    return int64_t(image.Width()) * image.Height() * image.FrameCount() >= SecondThreadPixels;
}

void ShareOutOnTwoThreads(size_t count, bool second,
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
    std::thread helper;
    if (count > 1 && second) {
        try {
            helper = std::thread(work, 1);
        } catch (const std::system_error&) {
            // No second thread: this one does it all.
        }
    }
    work(0);
    if (helper.joinable()) helper.join();
    for (std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);
}

} // namespace gif::optimize
