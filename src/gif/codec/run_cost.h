// Arithmetic of the run-length encoder.
#pragma once

#include <cstdint>

namespace gif {

// floor(sqrt(x)) or close to it (Newton's iteration); only a starting point for RunCodeCost.
int64_t IntegerRoot(int64_t x);

// The number of codes that send a run of `n` pixels of one colour straight after a clear,
// when at most `m` run codes fit between clears: runs of 1, 2, 3, ... pixels, each code
// one pixel longer than the one before.
int64_t RunCodeCost(int64_t n, int64_t m);

} // namespace gif
