#include "io/avi/frame_timing.h"

#include <algorithm>
#include <cmath>

namespace io {

namespace {

// round(100 x (ticks - origin) x tickSeconds), kept within the range of 64-bit integers.
int64_t Hundredths(int64_t ticks, int64_t origin, double tickSeconds) {
    const double value = std::round((double(ticks) - double(origin)) * tickSeconds * 100.0);
    if (!std::isfinite(value)) return 0;
    return int64_t(std::clamp(value, -9.0e15, 9.0e15));
}

} // namespace

std::vector<uint16_t> CarriedDelays(std::span<const int64_t> starts, int64_t end,
                                    double tickSeconds) {
    std::vector<uint16_t> delays;
    if (starts.empty()) return delays;
    delays.reserve(starts.size());
    const int64_t origin = starts[0];
    // Times never go back: a frame stamped before its predecessor lasts no time.
    int64_t latest = origin;
    int64_t shown = 0; // hundredths given to the frames so far
    for (size_t i = 0; i < starts.size(); ++i) {
        const int64_t next = i + 1 < starts.size() ? starts[i + 1] : end;
        latest = std::max(latest, next);
        const int64_t due = Hundredths(latest, origin, tickSeconds);
        const int64_t delay = std::clamp<int64_t>(due - shown, 0, 0xFFFF);
        shown += delay;
        delays.push_back(uint16_t(delay));
    }
    return delays;
}

bool IsConstantRate(std::span<const int64_t> starts, int64_t end, int64_t frameTicks) {
    if (frameTicks <= 0) return false;
    for (size_t i = 0; i < starts.size(); ++i) {
        const int64_t next = i + 1 < starts.size() ? starts[i + 1] : end;
        // Differences computed in double: damaged stamps may be anywhere in 64 bits.
        const double length = double(next) - double(starts[i]);
        if (std::fabs(length - double(frameTicks)) > 1.0) return false;
    }
    return true;
}

} // namespace io
