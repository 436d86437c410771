#include "gif/codec/rle_encoder.h"

#include "gif/codec/run_cost.h"

namespace gif {

void TRLEEncoder::Compress() {
    baseCode_ = clearCode_ + 2;
    maxCodes_ = 4095 - baseCode_;
    bumpInit_ = clearCode_ - 1;
    clearInit_ = initCodeSize_ <= 3 ? 9 : clearCode_ - 2;
    Clear();
    runColor_ = -1;
    runLength_ = 0;
    if (colorLimit_ < 256)
        CompressRows<true>();
    else
        CompressRows<false>();
    EndRun(runLength_);
}

// Runs are found a stretch of equal bytes at a time; only the first pixel of a run needs
// the colour check, the others equal it.
template <bool CheckLimit> void TRLEEncoder::CompressRows() {
    const std::vector<int> rows = RowOrder();
    // Without interlacing the rows follow each other in memory: one long row.
    const size_t span = interlaced_ ? size_t(width_) : size_t(width_) * size_t(height_);
    const size_t count = interlaced_ ? rows.size() : 1;
    for (size_t r = 0; r < count; ++r) {
        const uint8_t* p = Row(rows[r]);
        const uint8_t* const end = p + span;
        while (p < end) {
            const int pixel = *p;
            const uint8_t* q = p + 1;
            if (pixel != runColor_) {
                if (CheckLimit && pixel >= colorLimit_) ColorError();
                if (runLength_ > 0) EndRun(runLength_);
                runColor_ = pixel;
                runLength_ = 0;
            }
            while (q < end && *q == pixel)
                ++q;
            runLength_ += q - p;
            p = q;
        }
    }
}

void TRLEEncoder::Clear() {
    bumpPoint_ = bumpInit_;
    clearPoint_ = clearInit_;
    codesSinceClear_ = 0;
    tableRun_ = 0;
    justCleared_ = true;
    EmitCode(clearCode_);
    codeSize_ = initBits_;
}

void TRLEEncoder::EmitLiteral(int code) {
    justCleared_ = false;
    EmitCode(code);
    ++codesSinceClear_;
    if (codesSinceClear_ >= bumpPoint_) {
        bumpPoint_ += 1 << codeSize_;
        ++codeSize_;
    }
    if (codesSinceClear_ >= clearPoint_) Clear();
}

void TRLEEncoder::RestoreClearPoint() {
    clearPoint_ = clearInit_;
    if (codesSinceClear_ >= clearPoint_) Clear();
}

void TRLEEncoder::EndRun(int64_t n) {
    if (n == 1)
        EmitLiteral(runColor_);
    else if (justCleared_)
        EmitRunAfterClear(n);
    else if (tableRun_ > 1 && tableColor_ == runColor_)
        EmitRunFromTable(n);
    else
        EmitRunPlainOrCleared(n);
}

void TRLEEncoder::EmitRunAfterClear(int64_t n) {
    clearPoint_ = maxCodes_;
    tableColor_ = runColor_;
    int64_t k = 1;
    while (n > 0) {
        if (k == 1) {
            tableRun_ = 1;
            EmitLiteral(runColor_);
            n -= 1;
        } else if (n >= k) {
            tableRun_ = k;
            EmitLiteral(int(baseCode_ + k - 2));
            n -= k;
        } else {
            ++tableRun_;
            EmitLiteral(n == 1 ? runColor_ : int(baseCode_ + n - 2));
            n = 0;
        }
        k = codesSinceClear_ == 0 ? 1 : k + 1;
    }
    RestoreClearPoint();
}

void TRLEEncoder::EmitRunPlainOrCleared(int64_t n) {
    if (1 + RunCodeCost(n, maxCodes_) < n) {
        Clear();
        EmitRunAfterClear(n);
    } else {
        for (int64_t i = 0; i < n; ++i)
            EmitLiteral(runColor_);
    }
}

void TRLEEncoder::EmitRunFromTable(int64_t n) {
    int64_t reps = n / tableRun_;
    int64_t left = n % tableRun_;
    int64_t leftCodes = left > 0 ? 1 : 0;
    if (codesSinceClear_ + reps + leftCodes > maxCodes_) {
        reps = maxCodes_ - codesSinceClear_;
        left = n - reps * tableRun_;
        leftCodes = 1 + RunCodeCost(left, maxCodes_);
    }
    if (1 + RunCodeCost(n, maxCodes_) < reps + leftCodes) {
        Clear();
        EmitRunAfterClear(n);
        return;
    }
    clearPoint_ = maxCodes_;
    const int runCode = int(baseCode_ + tableRun_ - 2);
    for (int64_t i = 0; i < reps; ++i)
        EmitLiteral(runCode);
    if (left > 0) {
        if (justCleared_)
            EmitRunAfterClear(left);
        else
            EmitLiteral(left == 1 ? runColor_ : int(baseCode_ + left - 2));
    }
    RestoreClearPoint();
}

} // namespace gif
