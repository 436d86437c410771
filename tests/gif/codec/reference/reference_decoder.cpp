#include "reference_decoder.h"

#include "gif/base/exception.h"
#include "gif/base/messages.h"

#include <vector>

namespace giftest::ref {
namespace {

class Decoder {
  public:
    Decoder(gif::TStream& stream, int s, const std::function<void(const char*)>& warn)
        : stream_(stream), warn_(warn), s_(s) {
        K_ = 1 << s;
        E_ = K_ + 1;
        n_ = s + 1;
        T_ = 2 * K_;
        F_ = K_ + 2;
    }

    // After the last pixel: data that goes on without an end code is skipped up to and
    // including the terminator, so that the next block is read from its start.
    void SkipUnusedData() {
        if (ended_ || zeroBlock_) return;
        uint8_t length;
        while (ReadLength(length) && length != 0) {
            std::vector<uint8_t> skip(length);
            stream_.Read(skip.data(), length);
        }
    }

    int ReadPixel() {
        if (!stack_.empty()) return Pop();
        // The end code finishes the data: nothing is read after it.
        if (ended_) return -2;
        int code = ReadCode();
        while (code >= 0) {
            if (code == K_) {
                for (int i = 0; i < 4096; ++i) {
                    prefix_[i] = 0;
                    suffix_[i] = i < K_ ? uint8_t(i) : 0;
                }
                n_ = s_ + 1;
                T_ = 2 * K_;
                F_ = K_ + 2;
                stack_.clear();
                do
                    code = ReadCode();
                while (code == K_);
                // The end code right after a clear still ends the data.
                if (code == E_) continue;
                first_ = code;
                old_ = code;
                return code;
            }
            if (code == E_) {
                ended_ = true;
                if (zeroBlock_) return -2;
                uint8_t length;
                while (ReadLength(length) && length != 0) {
                    std::vector<uint8_t> skip(length);
                    stream_.Read(skip.data(), length);
                }
                return -2;
            }
            const int in = code;
            if (code >= F_) {
                Push(first_);
                code = old_;
            }
            int steps = 0;
            while (code >= K_) {
                Push(suffix_[code]);
                // A chain longer than the table revisits an entry: it is a cycle.
                if (prefix_[code] == code || ++steps > 4096)
                    throw gif::GIFException(gif::msg::CircularTableEntry);
                code = prefix_[code];
            }
            first_ = suffix_[code];
            Push(first_);
            if (F_ <= 4095) {
                prefix_[F_] = uint16_t(old_);
                suffix_[F_] = uint8_t(first_);
                ++F_;
                if (F_ >= T_ && T_ <= 4095) {
                    T_ *= 2;
                    ++n_;
                }
            }
            old_ = in;
            if (!stack_.empty()) return Pop();
            code = ReadCode();
        }
        return code;
    }

    bool StackEmpty() const { return stack_.empty(); }
    // Every pixel has arrived: the data may end without the end code.
    void AllFilled() { filled_ = true; }
    // Whether the stream ended where a sub-block length or the terminator belonged.
    bool CutShort() const { return cutShort_; }

  private:
    bool ReadLength(uint8_t& length) {
        if (stream_.ReadByte(length)) return true;
        cutShort_ = true;
        return false;
    }
    void Push(int v) { stack_.push_back(v); }
    int Pop() {
        int v = stack_.back();
        stack_.pop_back();
        return v;
    }

    // One sub-block into the buffer behind the last two bytes; false when there is none.
    bool Refill() {
        if (done_) {
            if (bitPos_ >= bitEnd_ && !filled_) warn_(gif::msg::BitBufferUnderrun);
            return false;
        }
        buf_[0] = buf_[lastByte_ - 2];
        buf_[1] = buf_[lastByte_ - 1];
        uint8_t length;
        if (!ReadLength(length)) return false;
        int L = length;
        if (L > 0) {
            size_t got = stream_.Read(buf_ + 2, size_t(L));
            if (got < size_t(L)) {
                warn_(gif::msg::PrematureEnd);
                L = int(got);
            }
        } else {
            done_ = true;
            zeroBlock_ = true;
        }
        lastByte_ = L + 2;
        bitPos_ = bitPos_ - bitEnd_ + 16;
        bitEnd_ = (L + 2) * 8;
        return true;
    }

    int ReadCode() {
        if (fresh_) {
            fresh_ = false;
            return K_;
        }
        if (bitPos_ + n_ >= bitEnd_) {
            if (!Refill()) return -1;
            // A code may need more than one new sub-block (sub-blocks of one byte), and
            // is never built from bytes that are not part of the data.
            while (bitPos_ + n_ > bitEnd_) {
                if (done_) {
                    if (!filled_) warn_(gif::msg::BitBufferUnderrun);
                    bitPos_ = bitEnd_;
                    return -1;
                }
                if (!Refill()) return -1;
            }
        }
        int byte = bitPos_ >> 3;
        uint32_t raw = uint32_t(buf_[byte]) | (uint32_t(buf_[byte + 1]) << 8) |
                       (uint32_t(buf_[byte + 2]) << 16);
        int code = int((raw >> (bitPos_ & 7)) & ((1u << n_) - 1));
        bitPos_ += n_;
        return code;
    }

    gif::TStream& stream_;
    const std::function<void(const char*)>& warn_;
    int s_, K_, E_, n_, T_, F_;
    int bitPos_ = 0, bitEnd_ = 0, lastByte_ = 2;
    bool done_ = false, zeroBlock_ = false, fresh_ = true, ended_ = false, cutShort_ = false;
    bool filled_ = false;
    int first_ = 0, old_ = 0;
    uint16_t prefix_[4096] = {};
    uint8_t suffix_[4096] = {};
    uint8_t buf_[260] = {};
    std::vector<int> stack_;
};

} // namespace

void DecodeImageData(gif::TStream& stream, const gif::TDecodeTarget& target,
                     const std::function<void(const char*)>& warn) {
    uint8_t s;
    if (!stream.ReadByte(s)) {
        warn(gif::msg::PrematureEnd);
        return;
    }
    if (s > 11) throw gif::GIFException(gif::msg::UnsupportedCodeSize);
    Decoder decoder(stream, s, warn);
    const int width = target.Width, height = target.Height;
    auto fillRow = [&](int y) {
        for (int x = 0; x < width; ++x) {
            int v = decoder.ReadPixel();
            if (v < 0) return false;
            target.Pixels[size_t(y) * size_t(width) + size_t(x)] = uint8_t(v);
        }
        return true;
    };
    const bool filled = [&] {
        if (width <= 0 || height <= 0) return false;
        if (!target.Interlaced) {
            for (int y = 0; y < height; ++y)
                if (!fillRow(y)) return false;
            return true;
        }
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < height; y += step[pass])
                if (!fillRow(y)) return false;
        return true;
    }();
    if (filled) decoder.AllFilled();
    decoder.ReadPixel();
    decoder.SkipUnusedData();
    if (decoder.CutShort()) warn(gif::msg::MissingBlockTerminator);
}

} // namespace giftest::ref
