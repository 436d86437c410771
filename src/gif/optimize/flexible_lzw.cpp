#include "gif/optimize/flexible_lzw.h"

#include <algorithm>

namespace gif::optimize {

int TFlexibleLzw::Reach(uint32_t code, size_t pos) const {
    int steps = 0;
    while (pos < n_ && steps < lookahead_) {
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

namespace {

// The code widths the encoder sends: a clear code first, one code per string, the width
// growing once the next free code no longer fits, a clear when it reaches 4095 (or that
// many codes later, with a clear delay), and the end code.
class TCodeBits {
  public:
    explicit TCodeBits(int codeSize, int clearDelay = 0)
        : initBits_(unsigned(codeSize) + 1), clearDelay_(clearDelay) {
        Reset();
        bits_ = width_; // the first clear code
    }
    // A string's code goes out and the string one pixel longer gets the next free code
    // (kAdded); or the table is full and stays so (kFull), or a clear code went out
    // (kCleared).
    TSent Send() {
        bits_ += width_;
        if (next_ > maxCode_) {
            ++width_;
            maxCode_ = width_ == 12 ? 4096 : (1u << width_) - 1;
        }
        if (next_ >= 4095) {
            if (sentWhileFull_++ < clearDelay_) return TSent::kFull;
            bits_ += width_;
            Reset();
            return TSent::kCleared;
        }
        ++next_;
        return TSent::kAdded;
    }
    // Bytes written so far, with the last string's code and the end code still to come.
    int64_t BytesSoFar() const { return 1 + (bits_ + 7) / 8 + (bits_ + 7) / 8 / 255 + 1; }
    // The last string's code and the end code: the bytes of the image data as written.
    // With a clear delay the look-ahead encoder writes the data, and it sends the end code
    // only in the bits left over in the last byte.
    int64_t Finish() {
        bits_ += width_;
        if (clearDelay_ == 0) {
            if (next_ > maxCode_) ++width_;
            bits_ += width_;
        }
        const int64_t data = (bits_ + 7) / 8;
        return 1 + data + (data + 254) / 255 + 1;
    }

  private:
    void Reset() {
        sentWhileFull_ = 0;
        width_ = initBits_;
        maxCode_ = (1u << width_) - 1;
        next_ = (1u << (initBits_ - 1)) + 2;
    }
    unsigned initBits_;
    int clearDelay_;
    int sentWhileFull_ = 0;
    unsigned width_ = 0;
    unsigned maxCode_ = 0;
    unsigned next_ = 0;
    int64_t bits_ = 0;
};

} // namespace

void TFlexibleLzw::TableAfterCode(TSent sent, uint32_t prefix, uint8_t value, uint32_t& next,
                                  uint32_t firstFree) {
    if (sent == TSent::kAdded) {
        AddChild(prefix, value, next++);
    } else if (sent == TSent::kCleared) {
        ClearTable();
        next = firstFree;
        ++clears_;
    }
}

int64_t TFlexibleLzw::Choose(const uint8_t* colors, const uint8_t* free, size_t n,
                             uint8_t transparent, int codeSize, int bias, int lookahead,
                             uint8_t* out, int64_t most) {
    bias_ = bias;
    lookahead_ = std::clamp(lookahead, 1, MaxLookahead);
    if (n == 0) return 0;
    colors_ = colors;
    free_ = free;
    n_ = n;
    transparent_ = transparent;
    const uint32_t firstFree = (1u << codeSize) + 2;
    codeSize_ = codeSize;
    ClearTable();
    uint32_t next = firstFree;
    TCodeBits sent(codeSize);

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
        TableAfterCode(sent.Send(), prefix, value, next, firstFree);
        prefix = value;
        out[pos] = value;
        // Checked once per code sent: a choice that has lost stops here.
        if (sent.BytesSoFar() > most) return most + 1;
    }
    return sent.Finish();
}

template <typename Sent, typename OnCode>
int64_t TFlexibleLzw::Parse(const uint8_t* pixels, size_t n, int codeSize, Sent& sent,
                            OnCode&& onCode) {
    const uint32_t firstFree = (1u << codeSize) + 2;
    codeSize_ = codeSize;
    ClearTable();
    clears_ = 0;
    uint32_t next = firstFree;
    uint32_t prefix = pixels[0];
    for (size_t pos = 1; pos < n; ++pos) {
        const uint8_t value = pixels[pos];
        const uint32_t child = Child(prefix, value);
        if (child != None) {
            prefix = child;
            continue;
        }
        const TSent result = sent.Send();
        TableAfterCode(result, prefix, value, next, firstFree);
        prefix = value;
        if (!onCode(result != TSent::kCleared)) return -1;
    }
    return sent.Finish();
}

int64_t TFlexibleLzw::Measure(const uint8_t* pixels, size_t n, int codeSize, int64_t most,
                              int clearDelay) {
    clears_ = 0;
    if (n == 0) return 0;
    TCodeBits sent(codeSize, clearDelay);
    // Checked once per code sent: a candidate that has lost stops here.
    const int64_t bytes =
        Parse(pixels, n, codeSize, sent, [&](bool) { return sent.BytesSoFar() <= most; });
    return bytes < 0 ? most + 1 : bytes;
}

void TFlexibleLzw::MeasureEachCodeSize(const uint8_t* pixels, size_t n, int codeSize,
                                       std::array<int64_t, 9>& sizes) {
    if (n == 0) {
        for (int bits = codeSize; bits <= 8; ++bits)
            sizes[size_t(bits)] = 0;
        return;
    }
    TCodeBits sent(codeSize);
    int64_t codes = 0; // sent before the last string's
    bool cleared = false;
    sizes[size_t(codeSize)] = Parse(pixels, n, codeSize, sent, [&](bool added) {
        ++codes;
        cleared = cleared || !added;
        return true;
    });
    if (cleared) return;
    for (int bits = codeSize + 1; bits <= 8; ++bits) {
        TCodeBits at(bits);
        bool fits = true;
        for (int64_t k = 0; k < codes && fits; ++k)
            fits = at.Send() == TSent::kAdded;
        if (!fits) return; // full at this size, and at larger ones sooner still
        sizes[size_t(bits)] = at.Finish();
    }
}

} // namespace gif::optimize
