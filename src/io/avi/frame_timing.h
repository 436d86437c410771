// The delays of imported frames. A video of constant frame rate gives every frame the same
// delay (AviFrameDelay); one whose frames come at uneven times keeps each frame's own
// duration, in hundredths of a second, with the rounding error carried to the next frame so
// that the total time stays right.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace io {

// The delay of each frame from the frames' start times, in ticks of `tickSeconds`, in
// display order, and the end time of the last one (its start time plus its duration).
// Frame i lasts from its start to the next frame's start (the last one to `end`); its delay
// is round(100 x its end) - round(100 x its start), counted from the first frame's start.
// Start times that go backwards count as a duration of 0; delays stay within 0..65535.
std::vector<uint16_t> CarriedDelays(std::span<const int64_t> starts, int64_t end,
                                    double tickSeconds);

// Whether the frames come at a constant pace: every frame, the last one included, lasts
// `frameTicks` ticks, give or take one tick (time stamps are often rounded).
bool IsConstantRate(std::span<const int64_t> starts, int64_t end, int64_t frameTicks);

} // namespace io
