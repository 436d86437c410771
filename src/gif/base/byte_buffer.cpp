#include "gif/base/byte_buffer.h"

#include <cstring>
#include <new>

namespace gif {

TByteBuffer::TByteBuffer(const TByteBuffer& other) {
    *this = other;
}

TByteBuffer& TByteBuffer::operator=(const TByteBuffer& other) {
    if (this == &other) return *this;
    if (other.empty()) {
        Release();
        return *this;
    }
    auto* copy = static_cast<uint8_t*>(std::malloc(other.size_));
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, other.data(), other.size_);
    bytes_.reset(copy);
    size_ = other.size_;
    return *this;
}

void TByteBuffer::AssignZeroed(size_t count) {
    Release();
    if (count == 0) return;
    auto* bytes = static_cast<uint8_t*>(std::calloc(count, 1));
    if (!bytes) throw std::bad_alloc();
    bytes_.reset(bytes);
    size_ = count;
}

} // namespace gif
