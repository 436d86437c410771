#include "gif/optimize/bounded_size.h"

#include "gif/base/stream.h"
#include "gif/model/image.h"

#include <stdexcept>

namespace gif::optimize {

namespace {

// Raised by the counter to leave the writer once the limit is passed; never escapes this
// file. The writers let exceptions through and keep no state between calls that one could
// spoil (each measurement uses its own encoder).
struct TOverLimit : std::runtime_error {
    TOverLimit() : std::runtime_error("size limit passed") {}
};

class TBoundedCounter : public TStream {
  public:
    explicit TBoundedCounter(int64_t limit) : limit_(limit) {}
    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void*, size_t count) override {
        size_ += int64_t(count);
        if (size_ > limit_) throw TOverLimit();
        return count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return size_; }
    int64_t Size() override { return size_; }

  private:
    int64_t size_ = 0;
    int64_t limit_;
};

template <typename F> int64_t CountUpTo(int64_t limit, F&& write) {
    TBoundedCounter counter(limit);
    try {
        write(counter);
    } catch (const TOverLimit&) {
        return limit + 1;
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

} // namespace gif::optimize
