// The logical screen descriptor and the global colour table.
#pragma once

#include <cstdint>

#include "gif/model/colormap.h"
#include "gif/model/item.h"

namespace gif {

// The 7 bytes of the logical screen descriptor, in file order.
struct TLogicalScreenDescriptor {
    uint16_t ScreenWidth = 0;
    uint16_t ScreenHeight = 0;
    uint8_t PackedFields = 0;   // bit 7 global table, 6-4 colour resolution - 1, 3 sorted, 2-0 size code
    uint8_t BackgroundColorIndex = 0;
    uint8_t AspectRatio = 0;    // 0: no information
};

class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* owner);
    const char* ClassName() const override { return "TGIFHeader"; }

    uint16_t LogicalWidth() const { return screen_.ScreenWidth; }
    uint16_t LogicalHeight() const { return screen_.ScreenHeight; }
    void SetLogicalWidth(uint16_t value) { screen_.ScreenWidth = value; }
    void SetLogicalHeight(uint16_t value) { screen_.ScreenHeight = value; }
    uint8_t ScreenFlags() const { return screen_.PackedFields; }
    void SetScreenFlags(uint8_t value) { screen_.PackedFields = value; }
    uint8_t BackgroundIndex() const { return screen_.BackgroundColorIndex; }
    void SetBackgroundIndex(uint8_t value) { screen_.BackgroundColorIndex = value; }
    uint8_t PixelAspect() const { return screen_.AspectRatio; }
    void SetPixelAspect(uint8_t value) { screen_.AspectRatio = value; }
    TLogicalScreenDescriptor& ScreenDescriptor() { return screen_; }

    TGIFGlobalColorMap& GlobalTable() { return globalTable_; }
    const TGIFGlobalColorMap& GlobalTable() const { return globalTable_; }

    // Empties the global table and zeroes all 7 descriptor bytes.
    void ResetScreen();
    // 2 when the global table is sorted or an aspect ratio is given, else 1.
    TGIFVersion GifVersion() const override;
    // Recomputes the packed screen flags from the colour tables of the image.
    void UpdateScreenFlags();
    // The colour of global entry BackgroundIndex (checked lookup).
    TColor ScreenBackground();

    // From another header or from a colour table.
    void Assign(const TPersistent* source) override;
    void CopyFrom(const TGIFHeader& source);

    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;

private:
    TLogicalScreenDescriptor screen_;
    TGIFGlobalColorMap globalTable_;
};

// The single 0x3B byte at the end of a file.
class TGIFTrailer : public TGIFItem {
public:
    explicit TGIFTrailer(TGIFImage* owner) : TGIFItem(owner) {}
    const char* ClassName() const override { return "TGIFTrailer"; }
    void SaveToStream(TStream& stream) override;
    // A byte other than 0x3B warns "Invalid Image trailer"; a missing trailer is accepted.
    void LoadFromStream(TStream& stream) override;
};

} // namespace gif
