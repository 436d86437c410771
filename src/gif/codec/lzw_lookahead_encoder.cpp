#include "gif/codec/lzw_lookahead_encoder.h"

#include <algorithm>

namespace gif {

namespace {
constexpr int kLastCode = 4095; // the next free code that forces a clear
constexpr int kMaxCodes = 4096;
} // namespace

void TLZWLookaheadEncoder::Send(int code) {
    EmitCode(code);
    if (nextCode_ > maxCode_) {
        ++codeSize_;
        maxCode_ = codeSize_ == 12 ? kMaxCodes : (1 << codeSize_) - 1;
    }
}

void TLZWLookaheadEncoder::Clear() {
    EmitCode(clearCode_);
    codeSize_ = initBits_;
    maxCode_ = (1 << codeSize_) - 1;
    table_.Clear(initCodeSize_);
    nextCode_ = clearCode_ + 2;
    longest_ = 1;
}

int TLZWLookaheadEncoder::Match(size_t pos) const {
    const size_t n = stream_.size();
    if (pos >= n) return 0;
    int code = stream_[pos];
    size_t end = pos + 1;
    for (; end < n; ++end) {
        const int child = Child(code, stream_[end]);
        if (child < 0) break;
        code = child;
    }
    return int(end - pos);
}

void TLZWLookaheadEncoder::Compress() {
    // The pixels in stream order, cut before the first one the colour table lacks.
    stream_.clear();
    stream_.reserve(size_t(width_) * size_t(height_));
    bool badPixel = false;
    for (int y : RowOrder()) {
        const uint8_t* row = Row(y);
        const size_t valid = ValidPixels(row, size_t(width_));
        stream_.insert(stream_.end(), row, row + valid);
        if (valid < size_t(width_)) {
            badPixel = true;
            break;
        }
    }
    path_.resize(kMaxCodes + 1);

    Clear();
    const size_t n = stream_.size();
    size_t pos = 0;
    while (pos < n) {
        // The longest match, with the code of each of its prefixes.
        int length = 1;
        path_[1] = stream_[pos];
        while (pos + size_t(length) < n) {
            const int child = Child(path_[length], stream_[pos + size_t(length)]);
            if (child < 0) break;
            path_[++length] = child;
        }
        int take = length;
        if (length > 1 && length <= kLongestShortened && bias_ >= 0) {
            int bestReach = length + Match(pos + size_t(length));
            for (int k = length - 1; k >= std::max(1, length - kWindow); --k) {
                // No string in the table is longer than longest_: once even that could not
                // reach further, the shorter strings cannot either.
                if (k + longest_ - bias_ <= bestReach) break;
                const int reach = k + Match(pos + size_t(k)) - bias_;
                if (reach > bestReach) {
                    bestReach = reach;
                    take = k;
                }
            }
        }
        const int code = path_[take];
        Send(code);
        pos += size_t(take);
        if (pos == n) break;
        if (nextCode_ >= kLastCode) {
            Clear();
            continue;
        }
        // A string ended early is already in the table with this pixel: the decoder still
        // gives the entry a new code, so the count moves on.
        if (Child(code, stream_[pos]) < 0) {
            table_.Add(uint32_t(code), stream_[pos], uint32_t(nextCode_));
            longest_ = std::max(longest_, take + 1);
        }
        ++nextCode_;
    }
    if (badPixel) ColorError();
}

} // namespace gif
