#include "gif/optimize/bounded_size.h"

#include "gif/base/stream.h"
#include "gif/model/image.h"

#include <stdexcept>
#include <type_traits>

namespace gif::optimize {

namespace {

// Raised by the counter to leave the writer once the limit is passed; never escapes this
// file. The writers let exceptions through and keep no state between calls that one could
// spoil (each measurement uses its own encoder).
struct TOverLimit : std::runtime_error {
    TOverLimit() : std::runtime_error("size limit passed") {}
};

// `Limit` is an int64_t, or an atomic one that another thread may lower meanwhile.
template <typename Limit> class TBoundedCounter : public TStream {
  public:
    explicit TBoundedCounter(const Limit& limit) : limit_(limit) {}
    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void*, size_t count) override {
        size_ += int64_t(count);
        if (size_ > Current()) throw TOverLimit();
        return count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return size_; }
    int64_t Size() override { return size_; }
    int64_t Current() const {
        if constexpr (std::is_same_v<Limit, int64_t>)
            return limit_;
        else
            return limit_.load(std::memory_order_relaxed);
    }

  private:
    int64_t size_ = 0;
    const Limit& limit_;
};

template <typename Limit, typename F> int64_t CountUpTo(const Limit& limit, F&& write) {
    TBoundedCounter<Limit> counter(limit);
    try {
        write(counter);
    } catch (const TOverLimit&) {
        // Stopped: the count so far is already above the limit.
    }
    return counter.Size();
}

} // namespace

int64_t EncodedSizeUpTo(const TEncodeSource& source, TEncodingMethod method, int64_t limit) {
    return CountUpTo(limit, [&](TStream& stream) { EncodeImageData(stream, source, method); });
}

int64_t EncodedSizeUpTo(const TEncodeSource& source, TImageDataWriter& writer, int64_t limit) {
    return CountUpTo(limit, [&](TStream& stream) { writer.Write(stream, source, emLZW); });
}

int64_t SavedSizeUpTo(TGIFImage& image, int64_t limit) {
    return CountUpTo(limit, [&](TStream& stream) { image.SaveToStream(stream); });
}

int64_t SavedSizeUpTo(TGIFImage& image, const std::atomic<int64_t>& limit) {
    return CountUpTo(limit, [&](TStream& stream) { image.SaveToStream(stream); });
}

} // namespace gif::optimize
