// Independent pieces of work shared between the calling thread and a second one (the
// machines this runs on have two cores or more). Internal to gif/optimize.
#pragma once

#include <cstddef>
#include <functional>

namespace gif::optimize {

// Calls `body(index, thread)` once for every index in [0, count), on the calling thread
// (thread 0) and a second one (thread 1); `thread` lets the caller keep state per thread.
// Indexes are handed out one at a time, so uneven pieces balance out. Everything runs on
// the calling thread when there are fewer than two pieces or no second thread can be
// started. Returns when every call has returned; the first error is then rethrown (the
// pieces not yet started are left out once one has failed).
void ShareOutOnTwoThreads(size_t count, const std::function<void(size_t index, int thread)>& body);

} // namespace gif::optimize
