// Extension blocks that carry lines of text as data sub-blocks: comments and plain text.
#pragma once

#include <string>
#include <vector>

#include "gif/model/extension.h"

namespace gif {

inline constexpr uint8_t bsCommentExtension = 0xFE;
inline constexpr uint8_t bsPlainTextExtension = 0x01;

using TLineList = std::vector<std::string>;

// Writes every line as sub-blocks of at most 255 bytes, then the 0 terminator.
void WriteLinesAsSubBlocks(TStream& stream, const TLineList& lines);
// Reads sub-blocks up to the terminator; each becomes a line, cut at its first 0 byte.
void ReadSubBlocksAsLines(TStream& stream, TLineList& lines);

class TGIFCommentExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;

    explicit TGIFCommentExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
    const char* ClassName() const override { return "TGIFCommentExtension"; }
    uint8_t ExtensionLabel() const override { return bsCommentExtension; }

    TLineList& CommentLines() { return lines_; }
    const TLineList& CommentLines() const { return lines_; }

    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;

private:
    TLineList lines_;
};

class TGIFTextExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;

    explicit TGIFTextExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
    const char* ClassName() const override { return "TGIFTextExtension"; }
    uint8_t ExtensionLabel() const override { return bsPlainTextExtension; }

    TLineList& TextLines() { return lines_; }
    const TLineList& TextLines() const { return lines_; }

    uint16_t GridLeft = 0;
    uint16_t GridTop = 0;
    uint16_t GridWidth = 0;
    uint16_t GridHeight = 0;
    uint8_t CellWidth = 0;
    uint8_t CellHeight = 0;
    uint8_t TextForegroundIndex = 0;
    uint8_t TextBackgroundIndex = 0;

    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;

private:
    TLineList lines_;
};

} // namespace gif
