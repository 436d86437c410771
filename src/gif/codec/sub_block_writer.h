// Cutting compressed image data into GIF data sub-blocks.
#pragma once

#include "gif/base/stream.h"

#include <cstdint>

namespace gif {

// A write-only view of another stream: reading and seeking through it are errors
// ("Invalid stream operation"), and so is writing unless a subclass says otherwise.
class TGIFStream : public TStream {
  public:
    explicit TGIFStream(TStream& stream) : stream_(stream) {}

    // Always raises GIFException "Invalid stream operation".
    size_t Read(void* buffer, size_t count) override;
    // Always raises GIFException "Invalid stream operation".
    size_t Write(const void* buffer, size_t count) override;
    // Always raises GIFException "Invalid stream operation".
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  protected:
    TStream& stream_;
};

// Gathers bytes into sub-blocks of up to 255 data bytes, each written to the wrapped
// stream as its count byte followed by the data, in one write. It never writes the block
// terminator: the encoder does that after Close().
class TGIFWriter : public TGIFStream {
  public:
    explicit TGIFWriter(TStream& stream) : TGIFStream(stream) {}

    // Takes `count` bytes; every time 255 have gathered they leave as one sub-block.
    size_t Write(const void* buffer, size_t count) override;
    // Writes the gathered bytes as a (short) sub-block when any are pending.
    void Flush();
    // Writes the last, partial sub-block. Bytes still pending when the writer is destroyed
    // without Close() (an error is passing) are dropped.
    void Close() {
        if (pending_) Flush();
    }

  private:
    uint8_t block_[256] = {};
    unsigned count_ = 0;
    bool pending_ = false;
};

} // namespace gif
