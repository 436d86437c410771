// The graphic control extension: delay, disposal and transparency of a frame.
#pragma once

#include "gif/base/types.h"
#include "gif/model/extension.h"

namespace gif {

inline constexpr uint8_t bsGraphicControlExtension = 0xF9;

// Disposal codes; 4 to 7 are reserved by the format.
enum TDisposalMethod : uint8_t {
    dmNone = 0,          // no disposal given
    dmNoDisposal = 1,    // leave in place
    dmBackground = 2,    // restore to background
    dmPrevious = 3,      // restore to previous
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;

    // Becomes the frame's control block when the frame has none yet.
    explicit TGIFGraphicControlExtension(TGIFSubImage* frame);
    // Clears the frame's transparency (when set here) and its control block reference.
    ~TGIFGraphicControlExtension() override;
    const char* ClassName() const override { return "TGIFGraphicControlExtension"; }
    uint8_t ExtensionLabel() const override { return bsGraphicControlExtension; }

    bool TransparentFlag() const { return data_.PackedFields & 0x01; }
    // Also sets the frame's transparency.
    void SetTransparentFlag(bool value);
    bool UserInputFlag() const { return data_.PackedFields & 0x02; }
    void SetUserInputFlag(bool value);
    uint8_t DisposalCode() const { return (data_.PackedFields >> 2) & 7; }
    void SetDisposalCode(uint8_t value);
    uint16_t DelayTime() const { return data_.DelayTime; }
    void SetDelayTime(uint16_t value) { data_.DelayTime = value; }
    uint8_t TransparentIndex() const { return data_.TransparentIndex; }
    // An index outside a non-empty effective table warns "Invalid color index" and stores 0.
    void SetTransparentIndex(uint8_t value);
    // Stores the index without checking it against the colour table.
    void SetTransparentIndexUnchecked(uint8_t value) { data_.TransparentIndex = value; }
    TColor TransparentColorValue() const;
    void SetTransparentColorValue(TColor value);

    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;

private:
    struct Data {   // file layout
        uint8_t BlockSize = 4;
        uint8_t PackedFields = 0;
        uint16_t DelayTime = 0;
        uint8_t TransparentIndex = 0;
        uint8_t Terminator = 0;
    } data_;
};

} // namespace gif
