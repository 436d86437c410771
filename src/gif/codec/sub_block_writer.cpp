#include "gif/codec/sub_block_writer.h"

#include "gif/base/exception.h"
#include "gif/base/messages.h"

#include <cstring>

namespace gif {

size_t TGIFStream::Read(void*, size_t) {
    throw GIFException(msg::InvalidStreamOperation);
}

size_t TGIFStream::Write(const void*, size_t) {
    throw GIFException(msg::InvalidStreamOperation);
}

int64_t TGIFStream::Seek(int64_t, TSeekOrigin) {
    throw GIFException(msg::InvalidStreamOperation);
}

size_t TGIFWriter::Write(const void* buffer, size_t count) {
    pending_ = true;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    size_t left = count;
    while (left > 0) {
        size_t take = std::min<size_t>(left, 255 - count_);
        std::memcpy(block_ + 1 + count_, bytes, take);
        count_ += unsigned(take);
        bytes += take;
        left -= take;
        if (count_ == 255) {
            Flush();
            pending_ = left > 0;
        }
    }
    return count;
}

void TGIFWriter::Flush() {
    block_[0] = uint8_t(count_);
    stream_.WriteBuffer(block_, count_ + 1);
    count_ = 0;
    pending_ = false;
}

} // namespace gif
