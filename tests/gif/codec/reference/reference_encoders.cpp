#include "reference_encoders.h"

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/codec/hash_table.h"
#include "gif/codec/run_cost.h"
#include "gif/codec/sub_block_writer.h"

#include <algorithm>
#include <memory>

namespace giftest::ref {
namespace {

class Encoder {
  public:
    explicit Encoder(const gif::TEncodeSource& src) : src_(src) {}
    virtual ~Encoder() = default;

    void Run(gif::TStream& stream) {
        s_ = std::max(src_.Bits, 2);
        stream.WriteByte(uint8_t(s_));
        initBits_ = s_ + 1;
        size_ = initBits_;
        maxCode_ = (1 << size_) - 1;
        K_ = 1 << s_;
        E_ = K_ + 1;
        limit_ = std::min(src_.ColorLimit, K_);
        left_ = src_.Interlaced ? int64_t(src_.Width) : int64_t(src_.Width) * src_.Height;
        row_ = 0;
        pass_ = 0;
        gif::TGIFWriter writer(stream);
        writer_ = &writer;
        ptr_ = src_.Pixels;
        if (src_.Pixels && src_.Width > 0 && src_.Height > 0) Compress();
        EmitCode(E_);
        writer.Close();
        stream.WriteByte(0);
    }

  protected:
    virtual void Compress() = 0;

    virtual void EmitCode(int code) {
        acc_ |= uint32_t(code) << bitCount_;
        bitCount_ += size_;
        while (bitCount_ >= 8) {
            uint8_t b = uint8_t(acc_);
            writer_->Write(&b, 1);
            acc_ >>= 8;
            bitCount_ -= 8;
        }
        if (code == E_ && bitCount_ > 0) {
            uint8_t b = uint8_t(acc_);
            writer_->Write(&b, 1);
            acc_ = 0;
            bitCount_ = 0;
        }
    }

    // Reads the pixel at the pointer, checks it and moves the pointer on.
    int TakePixel() {
        int p = *ptr_++;
        if (p >= limit_) throw gif::GIFException(gif::msg::ColorNotInTable);
        return p;
    }

    bool AdvancePixel() {
        if (--left_ > 0) return true;
        if (!src_.Interlaced) return false;
        left_ = src_.Width;
        static constexpr int kStep[4] = {8, 8, 4, 2};
        static constexpr int kStart[4] = {0, 4, 2, 1};
        row_ += kStep[pass_];
        while (row_ >= src_.Height && pass_ < 3) {
            ++pass_;
            row_ = kStart[pass_];
        }
        if (row_ >= src_.Height) return false;
        ptr_ = src_.Pixels + size_t(row_) * size_t(src_.Width);
        return true;
    }

    const gif::TEncodeSource& src_;
    gif::TGIFWriter* writer_ = nullptr;
    int s_ = 0, initBits_ = 0, size_ = 0, maxCode_ = 0, K_ = 0, E_ = 0, limit_ = 0;
    uint32_t acc_ = 0;
    int bitCount_ = 0;
    int64_t left_ = 0;
    int row_ = 0, pass_ = 0;
    const uint8_t* ptr_ = nullptr;
    bool clearPending_ = false;
};

class LZW : public Encoder {
  public:
    using Encoder::Encoder;

  protected:
    void EmitCode(int code) override {
        Encoder::EmitCode(code);
        if (F_ > maxCode_ || clearPending_) {
            if (clearPending_) {
                size_ = initBits_;
                maxCode_ = (1 << initBits_) - 1;
                clearPending_ = false;
            } else {
                ++size_;
                maxCode_ = size_ == 12 ? 4096 : (1 << size_) - 1;
            }
        }
    }
    void Clear() {
        clearPending_ = true;
        EmitCode(K_);
        table_->Clear();
        F_ = K_ + 2;
    }
    void Compress() override {
        table_ = std::make_unique<gif::THashTable>();
        Clear();
        int prefix = TakePixel();
        while (AdvancePixel()) {
            int p = TakePixel();
            uint32_t key = uint32_t(prefix) * 256 + uint32_t(p);
            int code = table_->Lookup(key);
            if (code >= 0) {
                prefix = code;
                continue;
            }
            EmitCode(prefix);
            prefix = p;
            if (F_ >= 4095) {
                Clear();
            } else {
                table_->Insert(key, F_);
                ++F_;
            }
        }
        EmitCode(prefix);
    }

  private:
    std::unique_ptr<gif::THashTable> table_;
    int F_ = 0;
};

class RLE : public Encoder {
  public:
    using Encoder::Encoder;

  protected:
    void Compress() override {
        B_ = K_ + 2;
        M_ = 4095 - B_;
        bumpInit_ = K_ - 1;
        clearInit_ = s_ <= 3 ? 9 : K_ - 2;
        Clear();
        color_ = -1;
        length_ = 0;
        bool more = true;
        while (more) {
            int x = TakePixel();
            if (length_ > 0 && x != color_) {
                EndRun(length_);
                length_ = 0;
            }
            if (x == color_) {
                ++length_;
            } else {
                color_ = x;
                length_ = 1;
            }
            more = AdvancePixel();
        }
        EndRun(length_);
    }

  private:
    void Clear() {
        bump_ = bumpInit_;
        clearAt_ = clearInit_;
        count_ = 0;
        tableRun_ = 0;
        justCleared_ = true;
        EmitCode(K_);
        size_ = initBits_;
    }
    void Literal(int code) {
        justCleared_ = false;
        EmitCode(code);
        ++count_;
        if (count_ == bump_) {
            bump_ += 1 << size_;
            ++size_;
        }
        if (count_ == clearAt_) Clear();
    }
    void EndRun(int64_t n) {
        if (n == 1)
            Literal(color_);
        else if (justCleared_)
            AfterClear(n);
        else if (tableRun_ > 1 && tableColor_ == color_)
            FromTable(n);
        else
            PlainOrCleared(n);
    }
    void Restore() {
        clearAt_ = clearInit_;
        if (count_ >= clearAt_) Clear();
    }
    void AfterClear(int64_t n) {
        clearAt_ = M_;
        tableColor_ = color_;
        int64_t k = 1;
        while (n > 0) {
            if (k == 1) {
                tableRun_ = 1;
                Literal(color_);
                n -= 1;
            } else if (n >= k) {
                tableRun_ = k;
                Literal(int(B_ + k - 2));
                n -= k;
            } else {
                tableRun_ += 1;
                if (n == 1)
                    Literal(color_);
                else
                    Literal(int(B_ + n - 2));
                n = 0;
            }
            k = count_ == 0 ? 1 : k + 1;
        }
        Restore();
    }
    void PlainOrCleared(int64_t n) {
        if (1 + gif::RunCodeCost(n, M_) < n) {
            Clear();
            AfterClear(n);
        } else {
            for (; n > 0; --n)
                Literal(color_);
        }
    }
    void FromTable(int64_t n) {
        int64_t reps = n / tableRun_, left = n % tableRun_;
        int64_t leftCodes = left > 0 ? 1 : 0;
        if (count_ + reps + leftCodes > M_) {
            reps = M_ - count_;
            left = n - reps * tableRun_;
            leftCodes = 1 + gif::RunCodeCost(left, M_);
        }
        if (1 + gif::RunCodeCost(n, M_) < reps + leftCodes) {
            Clear();
            AfterClear(n);
            return;
        }
        clearAt_ = M_;
        for (; reps > 0; --reps)
            Literal(int(B_ + tableRun_ - 2));
        if (left > 0) {
            if (justCleared_)
                AfterClear(left);
            else if (left == 1)
                Literal(color_);
            else
                Literal(int(B_ + left - 2));
        }
        Restore();
    }

    int B_ = 0, M_ = 0, bumpInit_ = 0, clearInit_ = 0, bump_ = 0, clearAt_ = 0, count_ = 0;
    int color_ = -1, tableColor_ = -1;
    int64_t length_ = 0, tableRun_ = 0;
    bool justCleared_ = false;
};

} // namespace

void EncodeImageData(gif::TStream& stream, const gif::TEncodeSource& source,
                     gif::TEncodingMethod method) {
    if (source.Bits > 8) throw gif::GIFException(gif::msg::InvalidBitsPerPixel);
    if (method == gif::emRLE) {
        RLE encoder(source);
        encoder.Run(stream);
    } else {
        LZW encoder(source);
        encoder.Run(stream);
    }
}

} // namespace giftest::ref
