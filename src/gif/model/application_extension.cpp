#include "gif/model/application_extension.h"

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"

namespace gif {

namespace {

void SkipBytes(TStream& stream, int64_t count) {
    if (count > 0) stream.Seek(count, TSeekOrigin::soCurrent);
}

std::unique_ptr<TGIFExtension> CreateUnknown(TGIFSubImage* frame) {
    return std::make_unique<TGIFUnknownAppExtension>(frame);
}

std::unique_ptr<TGIFExtension> CreateLoop(TGIFSubImage* frame) {
    return std::make_unique<TGIFAppExtNSLoop>(frame);
}

// Looks at the identifier block to pick the class that understands the data.
// Sizes 10 and 11 are identifiers; anything else leaves the decision to the reader,
// which refuses sizes below 10 and reads the first 11 bytes of larger ones.
const TGIFExtensionClass* ResolveApplicationClass(const TGIFExtensionClass* self, TStream& stream) {
    int64_t start = stream.Position();
    uint8_t size;
    if (!stream.ReadByte(size)) return nullptr;
    TAppIdentifier id{};
    if (size == 10) return stream.Read(id.data(), 10) == 10 ? &TGIFUnknownAppExtension::Class : nullptr;
    if (size >= 11 && stream.Read(id.data(), 11) == 11) {
        if (size > 11) return &TGIFUnknownAppExtension::Class;
        const TGIFExtensionClass* registered = AppRegistry().Find(id);
        return registered ? registered : &TGIFUnknownAppExtension::Class;
    }
    stream.SetPosition(start);
    return self;
}

} // namespace

// The abstract base cannot read data itself; when asked to, it reads the block as
// an unknown application block, which keeps every data byte.
const TGIFExtensionClass TGIFApplicationExtension::Class = {
    "TGIFApplicationExtension", CreateUnknown, ResolveApplicationClass};
// Once a concrete class is chosen the search ends: the data sub-blocks that follow
// the identifier are not identifiers and must not be read as one.
const TGIFExtensionClass TGIFUnknownAppExtension::Class = {
    "TGIFUnknownAppExtension", CreateUnknown, ResolveToSelf};
const TGIFExtensionClass TGIFAppExtNSLoop::Class = {"TGIFAppExtNSLoop", CreateLoop, ResolveToSelf};

void TGIFApplicationExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    stream.WriteByte(11);
    stream.WriteBuffer(AppIdentifier.data(), AppIdentifier.size());
    SaveAppData(stream);
}

void TGIFApplicationExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    uint8_t size;
    stream.ReadBuffer(&size, 1);
    AppIdentifier.fill(0);
    if (size == 10) {
        stream.ReadBuffer(AppIdentifier.data(), 10);
    } else if (size < 10) {
        throw GIFException(msg::UnsupportedAppBlockSize);
    } else {
        stream.ReadBuffer(AppIdentifier.data(), 11);
        SkipBytes(stream, size - 11);
    }
    LoadAppData(stream);
}

void TGIFUnknownAppExtension::SaveAppData(TStream& stream) {
    for (const TGIFBlock& block : DataBlocks) {
        stream.WriteByte(block.BlockSize());
        stream.WriteBuffer(block.BlockData.data(), block.BlockData.size());
    }
    stream.WriteByte(0);
}

void TGIFUnknownAppExtension::LoadAppData(TStream& stream) {
    DataBlocks.clear();
    uint8_t size;
    while (stream.ReadByte(size) && size != 0) {
        TGIFBlock block(size);
        stream.ReadBuffer(block.BlockData.data(), size);
        DataBlocks.push_back(std::move(block));
    }
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* frame) : TGIFApplicationExtension(frame) {
    AppIdentifier = MakeAppIdentifier("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::SaveAppData(TStream& stream) {
    const uint8_t loop[4] = {3, 1, uint8_t(LoopCount), uint8_t(LoopCount >> 8)};
    stream.WriteBuffer(loop, sizeof loop);
    if (BufferSize != 0) {
        const uint8_t buffer[6] = {5, 2, uint8_t(BufferSize), uint8_t(BufferSize >> 8),
                                   uint8_t(BufferSize >> 16), uint8_t(BufferSize >> 24)};
        stream.WriteBuffer(buffer, sizeof buffer);
    }
    stream.WriteByte(0);
}

void TGIFAppExtNSLoop::LoadAppData(TStream& stream) {
    uint8_t n;
    while (stream.ReadByte(n) && n != 0) {
        uint8_t id;
        stream.ReadBuffer(&id, 1);
        int remaining = n - 1;
        switch (id & 7) {
        case 1: {
            if (n < 3) throw GIFException(msg::InvalidGifData);
            uint8_t b[2];
            stream.ReadBuffer(b, 2);
            LoopCount = uint16_t(b[0] | b[1] << 8);
            remaining = n - 3;
            break;
        }
        case 2: {
            if (n < 5) throw GIFException(msg::InvalidGifData);
            uint8_t b[4];
            stream.ReadBuffer(b, 4);
            BufferSize = uint32_t(b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24);
            remaining = n - 5;
            break;
        }
        default:
            break;
        }
        SkipBytes(stream, remaining);
    }
}

} // namespace gif
