#include "gif/codec/run_cost.h"

namespace gif {

int64_t IntegerRoot(int64_t x) {
    if (x < 2) return x;
    int64_t r = 2;
    for (int64_t t = x; t / 4 >= 4; t /= 4)
        r *= 2;
    for (;;) {
        int64_t next = (r + x / r) / 2;
        if (next == r || next == r + 1) return r;
        r = next;
    }
}

int64_t RunCodeCost(int64_t n, int64_t m) {
    int64_t cost = 0;
    int64_t per = m * (m + 1) / 2;
    if (per > 0 && n >= per) {
        cost += (n / per) * m;
        n %= per;
    }
    if (n > 0) {
        // The smallest j with 1 + 2 + ... + j >= n.
        int64_t j = IntegerRoot(n);
        while (j * (j + 1) >= 2 * n)
            --j;
        while (j * (j + 1) < 2 * n)
            ++j;
        cost += j;
    }
    return cost;
}

} // namespace gif
