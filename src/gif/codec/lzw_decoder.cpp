// The LZW decoder. The observable behaviour (pixels, warnings, errors and where the
// stream stands afterwards) is that of a one-code-at-a-time reader with a 2 + 255 byte
// block buffer and a pixel stack; the work is organised differently for speed:
//  - sub-blocks are gathered into one contiguous buffer, and a code is taken with one
//    unaligned 64-bit load. The buffer only grows when the step-by-step reader would read
//    the next sub-block, so warnings, the end of data and the stream position match it.
//  - each decoded string is copied from where it appeared earlier in the output (every
//    table entry's string is a previous code's string plus one pixel), straight into the
//    pixel buffer, instead of being walked backwards through the table onto a stack.
//    This holds while the table is well formed. Broken data (a code beyond the next free
//    one, a table code straight after a clear) switches to a plain table walk until the
//    next clear code.
#include "gif/codec/lzw_decoder.h"

#include "gif/base/byte_buffer.h"
#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

namespace gif {
namespace {

constexpr int kTableSize = 4096;
constexpr int kPad = 8; // readable bytes behind the data for the 64-bit code load

// Where the data sub-blocks come from: the bytes of a memory stream, scanned in place,
// or reads from any other stream.
class TBlockSource {
  public:
    explicit TBlockSource(TStream& stream) : stream_(stream) {
        if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
            int64_t pos = memory->Position();
            if (pos <= memory->Size()) {
                bytes_ = memory->Remaining();
                inPlace_ = true;
            }
        }
    }
    // Puts a memory stream where the reads would have left it.
    ~TBlockSource() {
        if (inPlace_ && offset_ > 0) stream_.Seek(int64_t(offset_), TSeekOrigin::soCurrent);
    }
    TBlockSource(const TBlockSource&) = delete;
    TBlockSource& operator=(const TBlockSource&) = delete;

    // An upper bound of the data bytes that the sub-blocks ahead hold (0 if unknown).
    size_t DataAhead() const {
        if (!inPlace_) return 0;
        size_t off = offset_, total = 0;
        while (off < bytes_.size()) {
            size_t length = bytes_[off++];
            if (length == 0) break;
            size_t got = std::min(length, bytes_.size() - off);
            total += got;
            off += got;
        }
        return total;
    }
    // The next sub-block's length byte, or -1 at the end of the stream.
    int ReadLength() {
        int length = -1;
        if (inPlace_) {
            if (offset_ < bytes_.size()) length = bytes_[offset_++];
        } else if (uint8_t b; stream_.ReadByte(b)) {
            length = b;
        }
        if (length < 0) cutShort_ = true;
        return length;
    }
    // Whether the stream ended where a sub-block's length byte (or the block terminator)
    // belonged: the data was cut off, perhaps exactly between two sub-blocks.
    bool CutShort() const { return cutShort_; }
    // Reads up to `count` bytes; returns how many there were.
    size_t ReadData(uint8_t* dst, size_t count) {
        if (!inPlace_) return stream_.Read(dst, count);
        size_t got = std::min(count, bytes_.size() - offset_);
        std::memcpy(dst, bytes_.data() + offset_, got);
        offset_ += got;
        return got;
    }
    // Skips up to `count` bytes.
    void Skip(size_t count) {
        if (inPlace_) {
            offset_ += std::min(count, bytes_.size() - offset_);
            return;
        }
        uint8_t scratch[256];
        while (count > 0) {
            size_t got = stream_.Read(scratch, std::min(count, sizeof scratch));
            if (got == 0) break;
            count -= got;
        }
    }

  private:
    TStream& stream_;
    std::span<const uint8_t> bytes_;
    size_t offset_ = 0;
    bool inPlace_ = false;
    bool cutShort_ = false;
};

class TLZWDecoder {
  public:
    TLZWDecoder(TStream& stream, int codeSize, const std::function<void(const char*)>& warn)
        : source_(stream), warn_(warn), s_(codeSize) {
        K_ = 1 << codeSize;
        E_ = K_ + 1;
        ReserveData(source_.DataAhead());
    }

    // Decodes up to `total` pixels into `out` in stream order; returns how many arrived.
    // Then reads what one more pixel request would read. `room` bytes of `out` may be
    // written (at least `total`); bytes past the pixels written may be overwritten.
    size_t Decode(uint8_t* out, size_t total, size_t room);

  private:
    // The bit reader.
    int ReadCodeSlow(int n);
    bool Refill();
    void ReserveData(size_t bytes);
    int TakeBits(int n) {
        uint64_t word;
        std::memcpy(&word, data_.get() + (pos_ >> 3), 8);
        int code = int((word >> (pos_ & 7)) & ((1u << n) - 1));
        pos_ += unsigned(n);
        return code;
    }
    int ReadCode(int n) { return pos_ + unsigned(n) < limit_ ? TakeBits(n) : ReadCodeSlow(n); }

  public:
    // The pixels written so far, also when an error interrupted Decode.
    size_t Produced() const { return produced_; }
    // Whether the stream ended before the frame's block terminator.
    bool CutShort() const { return source_.CutShort(); }

  private:
    // The string table.
    void ResetTable();
    void ForgetStale(int freeCode);
    void SkipRest();
    void RequestOnePixel();
    int WalkString(int code, uint8_t* stack);
    void AddEntry(int suffix);
    void ExtraPixelRequest();

    TBlockSource source_;
    const std::function<void(const char*)>& warn_;

    // Bit reader: the data bytes of the sub-blocks read so far, the absolute bit position
    // and the number of bits read in.
    std::unique_ptr<uint8_t[]> data_;
    size_t capacity_ = 0; // bytes, the padding not counted
    uint64_t pos_ = 0;
    uint64_t limit_ = 0;
    bool fresh_ = true;  // the first request gets a clear code without reading
    bool done_ = false;  // the block terminator has been read
    bool filled_ = false; // every pixel has arrived: data may end without the end code
    bool ended_ = false; // the end code has been read

    // LZW state.
    int s_, K_, E_;
    int n_ = 0, T_ = 0, F_ = 0;
    int first_ = 0, old_ = 0;
    bool wellFormed_ = true;
    bool tableReady_ = false; // entries below K hold their pixels, the rest 0 beyond F
                              // (or beyond stale_, see ForgetStale)
    int stale_ = 0;           // entries from F up to this one may still hold old values
    bool stackLeft_ = false; // the last string did not fit: pixels left on the stack
    size_t produced_ = 0;    // pixels written, kept up to date before anything may throw
    uint16_t prefix_[kTableSize];
    uint8_t suffix_[kTableSize];
    uint16_t length_[kTableSize]; // string lengths of well-formed entries
    uint32_t start_[kTableSize];  // where each well-formed entry's string is in the output
};

void TLZWDecoder::ReserveData(size_t bytes) {
    if (bytes <= capacity_ && data_) return;
    size_t size = std::max<size_t>(bytes, 1024);
    auto grown = std::make_unique_for_overwrite<uint8_t[]>(size + kPad);
    size_t used = size_t(limit_ >> 3);
    if (data_) std::memcpy(grown.get(), data_.get(), used);
    std::memset(grown.get() + used, 0, size + kPad - used);
    data_ = std::move(grown);
    capacity_ = size;
}

bool TLZWDecoder::Refill() {
    if (done_) {
        if (pos_ >= limit_ && !filled_) warn_(msg::BitBufferUnderrun);
        return false;
    }
    int length = source_.ReadLength();
    if (length < 0) return false;
    if (length == 0) {
        done_ = true;
        return true;
    }
    size_t used = size_t(limit_ >> 3);
    if (used + size_t(length) > capacity_) ReserveData(std::max(capacity_ * 2, used + 256));
    size_t got = source_.ReadData(data_.get() + used, size_t(length));
    limit_ += uint64_t(got) * 8;
    if (got < size_t(length)) warn_(msg::PrematureEnd);
    return true;
}

// A sub-block is read when the code would reach the end of the bits in hand (or end
// exactly there); more follow while the code still does not fit. A code is never
// built from bits past the data.
int TLZWDecoder::ReadCodeSlow(int n) {
    if (fresh_) {
        fresh_ = false;
        return K_;
    }
    if (pos_ + unsigned(n) < limit_) return TakeBits(n);
    if (!Refill()) return -1;
    while (pos_ + unsigned(n) > limit_) {
        if (done_) {
            if (!filled_) warn_(msg::BitBufferUnderrun);
            pos_ = limit_;
            return -1;
        }
        if (!Refill()) return -1;
    }
    return TakeBits(n);
}

// Every entry from K up reads 0 after a reset. Only the entries added since the last reset
// (K to F) can differ, so only those are cleared: data that sends a clear code every few
// codes does not pay for the whole table each time.
void TLZWDecoder::ResetTable() {
    if (!tableReady_) {
        for (int i = 0; i < K_; ++i) {
            prefix_[i] = 0;
            suffix_[i] = uint8_t(i);
        }
        std::memset(prefix_ + K_, 0, sizeof(prefix_[0]) * size_t(kTableSize - K_));
        std::memset(suffix_ + K_, 0, size_t(kTableSize - K_));
        tableReady_ = true;
    } else {
        const int top = std::max(F_, stale_);
        if (top > K_) {
            std::memset(prefix_ + K_, 0, sizeof(prefix_[0]) * size_t(top - K_));
            std::memset(suffix_ + K_, 0, size_t(top - K_));
        }
    }
    stale_ = 0;
    n_ = s_ + 1;
    T_ = 2 * K_;
    F_ = K_ + 2;
}

// Only the walk of a broken table reads prefix_ and suffix_, and there every entry from F
// up must read 0 as after a full reset. Clear codes in well-formed data therefore leave
// the old entries (data that clears every few codes spends its time on codes, not on
// clearing); they are emptied here, from the next free code up, when the data turns out
// broken.
void TLZWDecoder::ForgetStale(int freeCode) {
    if (stale_ > freeCode) {
        std::memset(prefix_ + freeCode, 0, sizeof(prefix_[0]) * size_t(stale_ - freeCode));
        std::memset(suffix_ + freeCode, 0, size_t(stale_ - freeCode));
    }
    stale_ = 0;
}

// The end code: the rest of the frame's sub-blocks is skipped, up to and including the
// terminator, unless the terminator has been read already.
void TLZWDecoder::SkipRest() {
    ended_ = true;
    if (done_) return;
    for (;;) {
        int length = source_.ReadLength();
        if (length <= 0) return;
        source_.Skip(size_t(length));
    }
}

void TLZWDecoder::AddEntry(int suffix) {
    if (F_ > kTableSize - 1) return;
    prefix_[F_] = uint16_t(old_);
    suffix_[F_] = uint8_t(suffix);
    ++F_;
    if (F_ >= T_ && T_ <= kTableSize - 1) {
        T_ *= 2;
        ++n_;
    }
}

// The plain table walk for a table that may hold anything: pushes the string of `code`
// last pixel first, adds the table entry, and returns the number of pixels pushed.
int TLZWDecoder::WalkString(int code, uint8_t* stack) {
    const int in = code;
    int count = 0;
    if (code >= F_) {
        stack[count++] = uint8_t(first_);
        code = old_;
    }
    int steps = 0;
    while (code >= K_) {
        stack[count++] = suffix_[code];
        // A chain longer than the table must revisit an entry: a cycle.
        if (prefix_[code] == code || ++steps > kTableSize)
            throw GIFException(msg::CircularTableEntry);
        code = prefix_[code];
    }
    first_ = suffix_[code];
    stack[count++] = uint8_t(first_);
    AddEntry(first_);
    old_ = in;
    return count;
}

// Copies a table string of `length` bytes from earlier output. With `wide`, lengths up to
// 16 move as one 16-byte block (the bytes past `length` are overwritten later, or restored
// when decoding stops early); the source ends at or before `dst`, and the load happens
// before the store.
static inline void CopyString(uint8_t* dst, const uint8_t* src, size_t length, bool wide) {
    if (wide && length <= 16) {
        uint8_t block[16];
        std::memcpy(block, src, 16);
        std::memcpy(dst, block, 16);
    } else {
        std::memcpy(dst, src, length);
    }
}

// The hot loop keeps the bit reader and table state in locals and hands them back to
// the members around the rare calls (sub-block reads, clears, broken tables).
size_t TLZWDecoder::Decode(uint8_t* const out, const size_t total, const size_t room) {
    if (total == 0) {
        ExtraPixelRequest();
        return 0;
    }
    fresh_ = false;
    uint8_t stack[kTableSize + 8];
    const int K = K_;
    const int E = E_;
    size_t pos = 0;     // pixels written
    size_t prevPos = 0; // where the previous code's string starts
    uint64_t bitPos = pos_;
    uint64_t limit = limit_;
    const uint8_t* data = data_.get();
    int n = 0, F = 0, T = 0, old = 0;
    uint32_t mask = 0;
    bool wellFormed = true;
    // Strings up to 16 pixels are copied as whole 16-byte blocks while that much room is
    // left behind them.
    const size_t wideEnd = room >= 16 ? room - 16 : 0;

    auto save = [&]() {
        pos_ = bitPos;
        produced_ = pos;
        n_ = n;
        F_ = F;
        T_ = T;
        old_ = old;
    };
    auto load = [&]() {
        bitPos = pos_;
        limit = limit_;
        data = data_.get();
        n = n_;
        F = F_;
        T = T_;
        old = old_;
        mask = (1u << n) - 1;
    };

    // The entry of the previous code's string plus `suffix`: that string starts at prevPos
    // and the new one ends at pos, so it is pos - prevPos + 1 pixels long.
    auto addEntry = [&](uint8_t suffix) {
        if (F >= kTableSize) return;
        start_[F] = uint32_t(prevPos);
        length_[F] = uint16_t(pos - prevPos + 1);
        prefix_[F] = uint16_t(old);
        suffix_[F] = suffix;
        if (++F >= T && T < kTableSize) {
            T *= 2;
            ++n;
            mask = (1u << n) - 1;
        }
    };

    int code = K; // the first request always initialises the table
    for (;;) {
        if (wellFormed && code < F && code > E) {
            // A table entry: its string is a copy of earlier output.
            const size_t length = length_[code];
            const uint8_t* const src = out + start_[code];
            const uint8_t head = *src;
            const size_t left = total - pos;
            if (length <= left) [[likely]] {
                CopyString(out + pos, src, length, pos <= wideEnd);
            } else {
                std::memmove(out + pos, src, left);
                stackLeft_ = true;
            }
            addEntry(head);
            old = code;
            prevPos = pos;
            pos += std::min(length, left);
        } else if (wellFormed && code < K) {
            out[pos] = uint8_t(code);
            addEntry(uint8_t(code));
            old = code;
            prevPos = pos;
            pos += 1;
        } else if (wellFormed && code == F) {
            // The string of the previous code plus its own first pixel.
            const size_t length = pos - prevPos + 1;
            const uint8_t* const src = out + prevPos;
            const uint8_t head = *src;
            const size_t left = total - pos;
            if (length <= left) [[likely]] {
                CopyString(out + pos, src, length - 1, pos <= wideEnd);
                out[pos + length - 1] = head;
            } else {
                std::memmove(out + pos, src, left);
                stackLeft_ = true;
            }
            addEntry(head);
            old = code;
            prevPos = pos;
            pos += std::min(length, left);
        } else if (code == K) {
            // Data may send a clear code every few codes: the reset and the next code
            // stay in locals unless the table is new or the bits run out.
            if (tableReady_ && wellFormed) {
                stale_ = std::max(stale_, F);
                n = s_ + 1;
                T = 2 * K;
                F = K + 2;
                mask = (1u << n) - 1;
            } else {
                save();
                ResetTable();
                load();
            }
            do {
                if (bitPos + unsigned(n) < limit) [[likely]] {
                    uint64_t word;
                    std::memcpy(&word, data + (bitPos >> 3), 8);
                    code = int((word >> (bitPos & 7)) & mask);
                    bitPos += unsigned(n);
                } else {
                    save();
                    code = ReadCodeSlow(n);
                    load();
                }
            } while (code == K);
            if (code < 0) break;
            if (code == E) {
                SkipRest();
                break;
            }
            first_ = code;
            old = code;
            // A table code straight after a clear refers to nothing sensible.
            wellFormed = code < K;
            if (!wellFormed) ForgetStale(F);
            prevPos = pos;
            out[pos++] = uint8_t(code);
        } else if (code == E) {
            SkipRest();
            break;
        } else {
            // A code beyond the next free one, or any code while the table is broken:
            // walk the table as it stands.
            if (wellFormed) {
                wellFormed = false;
                first_ = out[prevPos];
                ForgetStale(F);
            }
            save();
            const int count = WalkString(code, stack);
            load();
            const size_t take = std::min<size_t>(size_t(count), total - pos);
            for (size_t i = 0; i < take; ++i)
                out[pos + i] = stack[count - 1 - int(i)];
            if (take < size_t(count)) stackLeft_ = true;
            prevPos = pos;
            pos += take;
        }
        if (pos >= total) break;
        if (bitPos + unsigned(n) < limit) [[likely]] {
            uint64_t word;
            std::memcpy(&word, data + (bitPos >> 3), 8);
            code = int((word >> (bitPos & 7)) & mask);
            bitPos += unsigned(n);
        } else {
            save();
            code = ReadCodeSlow(n);
            load();
            if (code < 0) break;
        }
    }
    save();
    wellFormed_ = wellFormed;
    filled_ = pos >= total;
    ExtraPixelRequest();
    return pos;
}

// After the fill, one more pixel is requested and thrown away; with the end code next,
// this reads the rest of the data and the terminator. Data that goes on without an end
// code (some writers add codes past the last pixel) is skipped up to the terminator too,
// so that the frames after it are not lost. Data whose every pixel has arrived may also
// stop without the end code: gifsicle leaves it out where it would start another byte,
// and such files are everywhere, so that is no fault worth a warning.
void TLZWDecoder::ExtraPixelRequest() {
    RequestOnePixel();
    if (!ended_) SkipRest();
}

void TLZWDecoder::RequestOnePixel() {
    if (stackLeft_ || ended_) return;
    int code = ReadCode(n_);
    if (code < 0) return;
    if (code == K_) {
        ResetTable();
        do
            code = ReadCode(n_);
        while (code == K_);
        if (code == E_) SkipRest();
        first_ = code;
        old_ = code;
        return;
    }
    if (code == E_) {
        SkipRest();
        return;
    }
    // A well-formed table cannot hold a cycle; only a walk of a broken one can fail.
    if (!wellFormed_) {
        uint8_t stack[kTableSize + 8];
        WalkString(code, stack);
    }
}

} // namespace

size_t DecodeImageData(TStream& stream, const TDecodeTarget& target,
                     const std::function<void(const char* message)>& warn) {
    uint8_t codeSize;
    if (!stream.ReadByte(codeSize)) {
        warn(msg::PrematureEnd);
        return 0;
    }
    // Above 11 the clear code would reach the end of the 4096-entry table.
    if (codeSize > 11) throw GIFException(msg::UnsupportedCodeSize);
    const size_t width = target.Width > 0 ? size_t(target.Width) : 0;
    const size_t height = target.Height > 0 ? size_t(target.Height) : 0;
    const size_t total = width * height;
    if (total > 0xFFFFFFFFu) throw GIFException(msg::InvalidImageDimensions);
    TLZWDecoder decoder(stream, codeSize, warn);
    // A file cut between two sub-blocks gives no other sign: every code read was whole.
    struct TTerminatorCheck {
        const TLZWDecoder& Decoder;
        const std::function<void(const char*)>& Warn;
        ~TTerminatorCheck() {
            if (Decoder.CutShort() && std::uncaught_exceptions() == 0)
                Warn(msg::MissingBlockTerminator);
        }
    } terminatorCheck{decoder, warn};
    if (total == 0) {
        decoder.Decode(nullptr, 0, 0);
        return 0;
    }
    if (!target.Interlaced) {
        // Straight into the pixels. Whole-block copies may run up to 16 bytes past the
        // last pixel decoded; when decoding stops early those get the fill value back.
        uint8_t* const pixels = target.Pixels;
        const uint8_t fill = pixels[total - 1];
        auto restore = [&](size_t produced) {
            if (produced < total)
                std::memset(pixels + produced, fill, std::min<size_t>(16, total - produced));
        };
        size_t produced;
        try {
            produced = decoder.Decode(pixels, total, total);
        } catch (...) {
            restore(decoder.Produced());
            throw;
        }
        restore(produced);
        return produced;
    }
    // Interlaced rows arrive in pass order: decode in that order, then put rows in place
    // (also the rows that arrived before an error).
    TByteBuffer linear;   // untouched pages cost nothing when the data ends early
    linear.AssignZeroed(total + 16);
    auto scatter = [&](size_t produced) {
        static constexpr size_t kStart[4] = {0, 4, 2, 1};
        static constexpr size_t kStep[4] = {8, 8, 4, 2};
        size_t from = 0;
        for (int pass = 0; pass < 4 && from < produced; ++pass) {
            for (size_t y = kStart[pass]; y < height && from < produced; y += kStep[pass]) {
                size_t count = std::min(width, produced - from);
                std::memcpy(target.Pixels + y * width, linear.data() + from, count);
                from += count;
            }
        }
    };
    size_t produced;
    try {
        produced = decoder.Decode(linear.data(), total, linear.size());
    } catch (...) {
        scatter(decoder.Produced());
        throw;
    }
    scatter(produced);
    return std::min(produced, total);
}

} // namespace gif
