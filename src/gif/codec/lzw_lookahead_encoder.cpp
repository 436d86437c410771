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
    longestFrom_.fill(1);
}

int TLZWLookaheadEncoder::Match(size_t pos, int* __restrict path) const {
    path[1] = stream_[pos];
    return Extend(pos, path, 1);
}

int TLZWLookaheadEncoder::Extend(size_t pos, int* __restrict path, int length) const {
    const size_t n = stream_.size();
    // The code stays in a register: read back from the path, each step would wait on a
    // store.
    int code = path[length];
    while (pos + size_t(length) < n) {
        code = Child(code, stream_[pos + size_t(length)]);
        if (code < 0) break;
        path[++length] = code;
    }
    return length;
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
    // The longest match at the current position, with the code of each of its prefixes by
    // length, and the one being tried from a later position; the winner's walk is the next
    // string's longest match (the table only grows until a clear: the walk stays valid and
    // at most the entry added after the code may lengthen it).
    path_.resize(kMaxCodes + 1);
    tried_.resize(kMaxCodes + 1);
    nextPath_.resize(kMaxCodes + 1);

    Clear();
    int sentWhileFull = 0;
    const size_t n = stream_.size();
    size_t pos = 0;
    int length = n > 0 ? Match(0, path_.data()) : 0;
    while (pos < n) {
        int take = length;
        int nextLength = 0; // the length of nextPath_'s match, 0: none
        // While the table is full and kept so, a string ended early adds no entry, so it
        // wastes none: whatever reaches further wins. Before a clear nothing is gained by
        // ending early: the next string starts from a single pixel whatever it is.
        const bool full = nextCode_ >= kLastCode;
        const bool lastBeforeClear = full && sentWhileFull >= clearDelay_;
        const int bias = full ? 0 : bias_;
        if (length > 1 && length <= kLongestShortened && bias_ >= 0 && !lastBeforeClear &&
            pos + size_t(length) < n) {
            int next = Match(pos + size_t(length), tried_.data());
            int bestReach = length + next;
            std::swap(tried_, nextPath_);
            for (int k = length - 1; k >= std::max(1, length - kWindow); --k) {
                // No string in the table is longer than longest_: once even that could not
                // reach further, the shorter strings cannot either.
                if (k + longest_ - bias <= bestReach) break;
                if (k + longestFrom_[stream_[pos + size_t(k)]] - bias <= bestReach) continue;
                const int matched = Match(pos + size_t(k), tried_.data());
                const int reach = k + matched - bias;
                if (reach > bestReach) {
                    bestReach = reach;
                    take = k;
                    next = matched;
                    std::swap(tried_, nextPath_);
                }
            }
            nextLength = next;
        }
        const int code = path_[take];
        Send(code);
        pos += size_t(take);
        if (pos == n) break;
        if (nextCode_ >= kLastCode) {
            // The table is full: it stays as it is for the codes the clear is put off by.
            if (sentWhileFull++ >= clearDelay_) {
                Clear();
                sentWhileFull = 0;
                length = Match(pos, path_.data());
                continue;
            }
        } else {
            // A string ended early is already in the table with this pixel: the decoder
            // still gives the entry a new code, so the count moves on.
            if (Child(code, stream_[pos]) < 0) {
                table_.Add(uint32_t(code), stream_[pos], uint32_t(nextCode_));
                longest_ = std::max(longest_, take + 1);
                uint16_t& fromFirst = longestFrom_[stream_[pos - size_t(take)]];
                fromFirst = uint16_t(std::max(int(fromFirst), take + 1));
            }
            ++nextCode_;
        }
        if (nextLength > 0) {
            std::swap(path_, nextPath_);
            length = Extend(pos, path_.data(), nextLength);
        } else {
            length = Match(pos, path_.data());
        }
    }
    if (badPixel) ColorError();
}

} // namespace gif
