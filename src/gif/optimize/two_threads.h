// Independent pieces of work shared between the calling thread and a second one (the
// machines this runs on have two cores or more). Internal to gif/optimize.
#pragma once

#include <cstddef>
#include <functional>
#include <future>
#include <system_error>
#include <type_traits>

namespace gif {
class TGIFImage;
}

namespace gif::optimize {

// Whether work over the image's frames is worth a second thread: for small animations,
// starting and joining one costs more than it saves.
bool WorthASecondThread(const TGIFImage& image);
// The same for a play of the image, which draws the whole screen for every frame.
bool WorthASecondThreadToPlay(const TGIFImage& image);

// Calls `body(index, thread)` once for every index in [0, count), on the calling thread
// (thread 0) and a second one (thread 1); `thread` lets the caller keep state per thread.
// Indexes are handed out one at a time, so uneven pieces balance out. Everything runs on
// the calling thread when there are fewer than two pieces, `second` is false, or no second
// thread can be started. Returns when every call has returned; the first error is then
// rethrown (the pieces not yet started are left out once one has failed).
void ShareOutOnTwoThreads(size_t count, bool second,
                          const std::function<void(size_t index, int thread)>& body);
inline void ShareOutOnTwoThreads(size_t count,
                                 const std::function<void(size_t index, int thread)>& body) {
    ShareOutOnTwoThreads(count, true, body);
}

// Runs `aside` on a second thread while `here` runs on this one, and returns what `aside`
// returned. Without `second`, or when no second thread can be started, both run here,
// `here` first.
template <typename Aside, typename Here>
std::invoke_result_t<Aside&> Alongside(Aside&& aside, Here&& here, bool second = true) {
    std::future<std::invoke_result_t<Aside&>> result;
    if (!second) {
        here();
        return aside();
    }
    try {
        result = std::async(std::launch::async, [&aside] { return aside(); });
    } catch (const std::system_error&) {
        here();
        return aside();
    }
    here();
    return result.get();
}

} // namespace gif::optimize
