// A zero-filled byte array for pixels. Its memory comes from calloc, which hands out large
// blocks as fresh pages from the system: they cost nothing until written, so a frame whose
// data ends long before its declared size only occupies what was decoded.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

namespace gif {

class TByteBuffer {
public:
    TByteBuffer() = default;
    TByteBuffer(const TByteBuffer& other);
    TByteBuffer& operator=(const TByteBuffer& other);
    TByteBuffer(TByteBuffer&& other) noexcept = default;
    TByteBuffer& operator=(TByteBuffer&& other) noexcept = default;

    // Replaces the contents by `count` zero bytes; raises std::bad_alloc.
    void AssignZeroed(size_t count);
    void Release() {
        bytes_.reset();
        size_ = 0;
    }

    bool empty() const { return size_ == 0; }
    size_t size() const { return size_; }
    uint8_t* data() { return bytes_.get(); }
    const uint8_t* data() const { return bytes_.get(); }
    uint8_t* begin() { return data(); }
    uint8_t* end() { return data() + size_; }
    const uint8_t* begin() const { return data(); }
    const uint8_t* end() const { return data() + size_; }
    operator std::span<uint8_t>() { return {data(), size_}; }
    operator std::span<const uint8_t>() const { return {data(), size_}; }

private:
    struct TFree {
        void operator()(uint8_t* p) const noexcept { std::free(p); }
    };
    std::unique_ptr<uint8_t[], TFree> bytes_;
    size_t size_ = 0;
};

} // namespace gif
