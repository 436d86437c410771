#include "gif/model/graphic_control.h"

#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/model/subimage.h"

namespace gif {

namespace {
std::unique_ptr<TGIFExtension> CreateGraphicControl(TGIFSubImage* frame) {
    return std::make_unique<TGIFGraphicControlExtension>(frame);
}
} // namespace

const TGIFExtensionClass TGIFGraphicControlExtension::Class = {
    "TGIFGraphicControlExtension", CreateGraphicControl, ResolveToSelf};

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* frame)
    : TGIFExtension(frame) {
    if (frame && !frame->ControlBlock()) frame->SetControlBlock(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
    TGIFSubImage* frame = OwnerFrame();
    if (!frame) return;
    if (TransparentFlag()) frame->SetIsTransparent(false);
    if (frame->ControlBlock() == this) frame->SetControlBlock(nullptr);
}

void TGIFGraphicControlExtension::SetTransparentFlag(bool value) {
    data_.PackedFields = uint8_t((data_.PackedFields & ~0x01) | (value ? 0x01 : 0));
    if (OwnerFrame()) OwnerFrame()->SetIsTransparent(value);
}

void TGIFGraphicControlExtension::SetUserInputFlag(bool value) {
    data_.PackedFields = uint8_t((data_.PackedFields & ~0x02) | (value ? 0x02 : 0));
}

void TGIFGraphicControlExtension::SetDisposalCode(uint8_t value) {
    data_.PackedFields = uint8_t((data_.PackedFields & ~0x1C) | ((value * 4) & 0x1C));
}

void TGIFGraphicControlExtension::SetTransparentIndex(uint8_t value) {
    int count = OwnerFrame() ? OwnerFrame()->EffectiveTable().EntryCount() : 0;
    if (value >= count && count > 0) {
        Warn(1, msg::InvalidColorIndex);
        value = 0;
    }
    data_.TransparentIndex = value;
}

TColor TGIFGraphicControlExtension::TransparentColorValue() const {
    return OwnerFrame()->EffectiveTable().ColorAt(data_.TransparentIndex);
}

void TGIFGraphicControlExtension::SetTransparentColorValue(TColor value) {
    data_.TransparentIndex = uint8_t(OwnerFrame()->EffectiveTable().FindOrAppend(value));
}

void TGIFGraphicControlExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    const uint8_t bytes[6] = {data_.BlockSize,
                              data_.PackedFields,
                              uint8_t(data_.DelayTime),
                              uint8_t(data_.DelayTime >> 8),
                              data_.TransparentIndex,
                              data_.Terminator};
    stream.WriteBuffer(bytes, sizeof bytes);
}

void TGIFGraphicControlExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    uint8_t bytes[6] = {};
    size_t got = stream.Read(bytes, sizeof bytes);
    // Block size and terminator are kept as read but not checked: writers get them wrong.
    data_ = {bytes[0], bytes[1], uint16_t(bytes[2] | bytes[3] << 8), bytes[4], bytes[5]};
    if (got < sizeof bytes) {
        Warn(1, msg::PrematureEnd);
        return;
    }
    if (TransparentFlag() && OwnerFrame()) OwnerFrame()->SetIsTransparent(true);
}

} // namespace gif
