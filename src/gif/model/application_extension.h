// Application extension blocks: the looping block ("NETSCAPE2.0", "ANIMEXTS1.0")
// and any other application's block, kept byte for byte.
#pragma once

#include <vector>

#include "gif/model/extension.h"

namespace gif {

inline constexpr uint8_t bsApplicationExtension = 0xFF;

class TGIFApplicationExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;

    const char* ClassName() const override { return "TGIFApplicationExtension"; }
    uint8_t ExtensionLabel() const override { return bsApplicationExtension; }

    TAppIdentifier AppIdentifier{};   // zero-filled until set or read

    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;
    virtual void SaveAppData(TStream& stream) = 0;
    virtual void LoadAppData(TStream& stream) = 0;

protected:
    explicit TGIFApplicationExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
};

// A data sub-block of an application block, as read.
struct TGIFBlock {
    explicit TGIFBlock(uint8_t size) : BlockData(size, 0) {}
    uint8_t BlockSize() const { return uint8_t(BlockData.size()); }
    std::vector<uint8_t> BlockData;
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass Class;

    explicit TGIFUnknownAppExtension(TGIFSubImage* frame) : TGIFApplicationExtension(frame) {}
    const char* ClassName() const override { return "TGIFUnknownAppExtension"; }

    std::vector<TGIFBlock> DataBlocks;

    void SaveAppData(TStream& stream) override;
    void LoadAppData(TStream& stream) override;
};

// The looping block: how many times an animation repeats (0 = for ever).
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass Class;

    // Created as "NETSCAPE2.0" with loop count 0 and no buffer size.
    explicit TGIFAppExtNSLoop(TGIFSubImage* frame);
    const char* ClassName() const override { return "TGIFAppExtNSLoop"; }

    uint16_t LoopCount = 0;
    uint32_t BufferSize = 0;   // 0: not written

    void SaveAppData(TStream& stream) override;
    void LoadAppData(TStream& stream) override;
};

} // namespace gif
