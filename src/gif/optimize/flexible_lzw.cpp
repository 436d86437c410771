#include "gif/optimize/flexible_lzw.h"

#include <algorithm>

namespace gif::optimize {

TFlexibleLzw::TFlexibleLzw() : table_(std::make_unique<TSlot[]>(Slots)) {}

void TFlexibleLzw::ClearTable() {
    if (++generation_ == 0) { // the stamp wrapped: old slots could look current
        std::fill_n(table_.get(), Slots, TSlot{0, 0, 0});
        generation_ = 1;
    }
}

int TFlexibleLzw::Reach(uint32_t code, size_t pos) const {
    int steps = 0;
    while (pos < n_ && steps < Lookahead) {
        uint32_t child = Child(code, colors_[pos]);
        if (child == None && free_[pos]) child = Child(code, transparent_);
        if (child == None) break;
        code = child;
        ++pos;
        ++steps;
    }
    return steps;
}

uint8_t TFlexibleLzw::StartValue(size_t pos, uint8_t previous) const {
    const uint8_t color = colors_[pos];
    if (!free_[pos] || color == transparent_) return color;
    int withColor = Reach(color, pos + 1);
    int withTransparent = Reach(transparent_, pos + 1);
    if (withColor > withTransparent + bias_) return color;
    if (withColor + bias_ < withTransparent || bias_ > 0) return transparent_;
    return previous == color ? color : transparent_; // a tie: keep a run going
}

void TFlexibleLzw::Choose(const uint8_t* colors, const uint8_t* free, size_t n, uint8_t transparent,
                          int codeSize, int bias, uint8_t* out) {
    bias_ = bias;
    if (n == 0) return;
    colors_ = colors;
    free_ = free;
    n_ = n;
    transparent_ = transparent;
    const uint32_t firstFree = (1u << codeSize) + 2;
    ClearTable();
    uint32_t next = firstFree;

    uint32_t prefix = StartValue(0, transparent);
    out[0] = uint8_t(prefix);
    for (size_t pos = 1; pos < n; ++pos) {
        const uint8_t color = colors[pos];
        uint32_t child = Child(prefix, color);
        uint8_t value = color;
        if (free[pos] && color != transparent) {
            const uint32_t hole = Child(prefix, transparent);
            bool takeHole = hole != None && child == None;
            if (hole != None && child != None) {
                const int viaColor = Reach(child, pos + 1), viaHole = Reach(hole, pos + 1);
                takeHole =
                    viaHole + bias_ > viaColor ||
                    (viaHole + bias_ == viaColor && (bias_ > 0 || out[pos - 1] == transparent));
            }
            if (takeHole) {
                child = hole;
                value = transparent;
            }
        }
        if (child != None) {
            prefix = child;
            out[pos] = value;
            continue;
        }
        // No string goes on: the code for `prefix` is sent and a new string starts here.
        value = StartValue(pos, out[pos - 1]);
        if (next >= MaxCodes - 1) {
            ClearTable();
            next = firstFree;
        } else {
            AddChild(prefix, value, next++);
        }
        prefix = value;
        out[pos] = value;
    }
}

} // namespace gif::optimize
