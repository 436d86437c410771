// One frame of an animation: its image descriptor, local colour table,
// extension blocks and pixels (one colour index per byte).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "gif/base/byte_buffer.h"
#include "gif/graphics/palette.h"
#include "gif/model/colormap.h"
#include "gif/model/encoded_image_data.h"
#include "gif/model/extension.h"
#include "gif/model/item.h"

namespace gif {

class TBitmap;
class TCanvas;
class TGraphic;
class TGIFGraphicControlExtension;

// The 10 bytes of the image descriptor, in file order.
struct TImageDescriptor {
    uint8_t Separator = 0x2C;
    uint16_t Left = 0;
    uint16_t Top = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t PackedFields = 0;   // bit 7 local table, 6 interlaced, 5 sorted, 2-0 size code
};

inline constexpr uint8_t idLocalColorTable = 0x80;
inline constexpr uint8_t idInterlaced = 0x40;
inline constexpr uint8_t idSort = 0x20;
inline constexpr uint8_t idColorTableSize = 0x07;

class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFImage* owner);
    ~TGIFSubImage() override;
    TGIFSubImage(const TGIFSubImage&) = delete;
    TGIFSubImage& operator=(const TGIFSubImage&) = delete;
    const char* ClassName() const override { return "TGIFSubImage"; }
    // A number no other frame of the same image has had: frames that come and go may reuse
    // each other's memory, never each other's serial.
    uint64_t Serial() const { return serial_; }

    // Placement on the logical screen.
    uint16_t FrameLeft() const { return descriptor_.Left; }
    uint16_t FrameTop() const { return descriptor_.Top; }
    uint16_t FrameWidth() const { return descriptor_.Width; }
    uint16_t FrameHeight() const { return descriptor_.Height; }
    TRect BoundsRect() const {
        return {FrameLeft(), FrameTop(), FrameLeft() + FrameWidth(), FrameTop() + FrameHeight()};
    }
    // Stores the placement; a new size reallocates zeroed pixels. A screen too small
    // for the frame grows, with warnings when it was not 0 x 0.
    void SetPlacement(int left, int top, int width, int height);
    void SetFrameLeft(int value) { SetPlacement(value, FrameTop(), FrameWidth(), FrameHeight()); }
    void SetFrameTop(int value) { SetPlacement(FrameLeft(), value, FrameWidth(), FrameHeight()); }
    void SetFrameWidth(int value) { SetPlacement(FrameLeft(), FrameTop(), value, FrameHeight()); }
    void SetFrameHeight(int value) { SetPlacement(FrameLeft(), FrameTop(), FrameWidth(), value); }
    uint8_t DescriptorFlags() const { return descriptor_.PackedFields; }
    void SetDescriptorFlags(uint8_t value) { descriptor_.PackedFields = value; }
    TImageDescriptor& Descriptor() { return descriptor_; }
    const TImageDescriptor& Descriptor() const { return descriptor_; }

    bool IsInterlaced() const { return descriptor_.PackedFields & idInterlaced; }

    // The LZW minimum code size to write (2..8), or 0 for the one the colour table needs.
    // The writer takes it only while every pixel still fits it.
    int CodeSizeHint() const { return codeSizeHint_; }
    void SetCodeSizeHint(int bits) { codeSizeHint_ = uint8_t(bits >= 2 && bits <= 8 ? bits : 0); }
    // The LZW parse to write the pixels with: -1 for the longest match, else the bias of the
    // look-ahead parse (TLZWLookaheadEncoder), which the optimiser chose as smaller.
    int LookaheadHint() const { return int(lookaheadHint_) - 1; }
    void SetLookaheadHint(int bias) { lookaheadHint_ = uint8_t(bias >= 0 && bias < 255 ? bias + 1 : 0); }
    // How many codes the LZW encoder goes on sending with a full string table before it
    // clears it (0: clears at once), which the optimiser chose as smaller. Any decoder reads
    // such data: a full table simply stops growing.
    int ClearDelayHint() const { return clearDelayHint_; }
    void SetClearDelayHint(int codes) {
        clearDelayHint_ = uint16_t(codes > 0 && codes <= MaxClearDelay ? codes : 0);
    }
    static constexpr int MaxClearDelay = 65535;
    void SetInterlaced(bool value);

    TGIFExtensionList& Blocks() { return *blocks_; }
    const TGIFExtensionList& Blocks() const { return *blocks_; }
    TGIFLocalColorMap& LocalTable() { return localTable_; }
    const TGIFLocalColorMap& LocalTable() const { return localTable_; }
    // The local table if it has entries or the global table is empty, else the global table.
    TGIFColorMap& EffectiveTable();
    const TGIFColorMap& EffectiveTable() const;

    bool IsTransparent() const { return isTransparent_; }
    void SetIsTransparent(bool value) { isTransparent_ = value; }
    // The frame's first graphic control extension, or none.
    TGIFGraphicControlExtension* ControlBlock() const { return controlBlock_; }
    void SetControlBlock(TGIFGraphicControlExtension* block) { controlBlock_ = block; }
    // The transparent index of the control block when the frame is transparent, else -1.
    int TransparentIndex() const;

    // Pixels: FrameWidth x FrameHeight indices, top row first; empty when absent.
    // Access through a non-const frame is access for writing: it drops the kept image data
    // (EncodedData), so that no change of the pixels can be written with stale bytes. Code
    // that only reads goes through a const frame (std::as_const) and keeps them.
    bool IsBlank() const;
    bool HasPixels() const { return !pixels_.empty(); }
    int PixelCount() const { return int(pixels_.size()); }
    uint8_t* Pixels() {
        DropEncodedData();
        return pixels_.data();
    }
    const uint8_t* Pixels() const { return pixels_.data(); }
    std::span<uint8_t> PixelData() {
        DropEncodedData();
        return pixels_;
    }
    std::span<const uint8_t> PixelData() const { return pixels_; }
    void AllocatePixels();
    void ReleasePixels();
    // Allocates the pixels when absent; "Image is empty" for a frame of zero size.
    void EnsurePixels();
    // Row y for writing; "Invalid pixel coordinates" outside the frame.
    uint8_t* RowAt(int y);
    uint8_t PixelAt(int x, int y);

    // The compressed image data read from a file or last written, while the pixels, the
    // size and the interlacing it was made for are unchanged; none otherwise. Shared by the
    // copies of the frame.
    const TEncodedImageData* EncodedData() const { return encoded_.get(); }
    std::shared_ptr<const TEncodedImageData> SharedEncodedData() const { return encoded_; }
    // Keeps `data`, which the caller has just read or written for the current pixels.
    void KeepEncodedData(std::shared_ptr<const TEncodedImageData> data) {
        encoded_ = std::move(data);
    }
    void DropEncodedData() { encoded_.reset(); }

    // Bits needed for the local table's entries, and that minus one.
    int FrameBitDepth() const;
    int FrameColorDepth() const { return FrameBitDepth() - 1; }
    // 2 with a sorted local table or any extension block, else 1.
    TGIFVersion GifVersion() const override;

    // Deletes blocks, table and pixels and sets the size to 0 x 0.
    void ResetFrame();

    // Cached pictures, built on demand from the pixels.
    TBitmap* FrameBitmap();
    bool HasFrameBitmap() const { return bitmap_ != nullptr; }
    void SetHasFrameBitmap(bool value);
    void DropBitmap();
    void DropMask();
    bool HasMaskBitmap();
    TBitmap* MaskBitmap() const { return mask_.get(); }
    void ReplaceBitmap(const TGraphic* picture);
    HPALETTE FramePalette();
    void SetFramePalette(HPALETTE palette);

    // Copies from another frame, or converts a picture into this frame.
    void Assign(const TPersistent* source) override;
    void CopyFrom(const TGIFSubImage& source);

    // Sets the descriptor's table flags from the local table before writing.
    void PrepareDescriptor();
    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    friend class TGIFGraphicControlExtension;
    friend struct TFrameBitmapBuilder;
    friend struct TFrameConverter;

    // Allocates and decodes the pixels when reading (gif_reader.cpp).
    void DecodePixels(TStream& stream);
    // Keeps the image data just read, from `start` to where the stream stands, when it is
    // one complete block (gif_reader.cpp).
    void KeepDataRead(TStream& stream, int64_t start);
    // Enlarges the image's logical screen to hold the frame, warning when it was not 0 x 0.
    void GrowScreenToFit();
    // Converts bitmaps, icons, metafiles and picture containers (frame_from_picture.cpp).
    void CopyFromPicture(const TPersistent* source);

    std::unique_ptr<TGIFExtensionList> blocks_;
    TGIFLocalColorMap localTable_;
    TImageDescriptor descriptor_;
    std::unique_ptr<TBitmap> bitmap_;
    std::unique_ptr<TBitmap> mask_;
    bool maskPending_ = true;
    uint64_t serial_ = 0;
    TByteBuffer pixels_;
    std::shared_ptr<const TEncodedImageData> encoded_;
    bool isTransparent_ = false;
    uint8_t codeSizeHint_ = 0;
    uint8_t lookaheadHint_ = 0; // bias + 1, 0 for the longest match
    uint16_t clearDelayHint_ = 0;
    TGIFGraphicControlExtension* controlBlock_ = nullptr;
    HPALETTE palette_;
};

// The frames of an image, in file order.
class TGIFImageList : public TGIFList {
public:
    explicit TGIFImageList(TGIFImage* owner) : TGIFList(owner) {}
    const char* ClassName() const override { return "TGIFImageList"; }

    TGIFSubImage* Frames(int index) const { return static_cast<TGIFSubImage*>(ItemAt(index)); }
    int Count() const { return ItemCount(); }

    // Writes every frame, reporting progress.
    void SaveToStream(TStream& stream) override;
    // The block loop: frames up to the trailer.
    void LoadFromStream(TStream& stream, TObject* parent) override;
};

} // namespace gif
