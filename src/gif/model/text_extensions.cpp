#include "gif/model/text_extensions.h"

#include <algorithm>
#include <cstring>

#include "gif/base/stream.h"

namespace gif {

void WriteLinesAsSubBlocks(TStream& stream, const TLineList& lines) {
    for (const std::string& line : lines) {
        for (size_t done = 0; done < line.size();) {
            uint8_t n = uint8_t(std::min<size_t>(255, line.size() - done));
            stream.WriteByte(n);
            stream.WriteBuffer(line.data() + done, n);
            done += n;
        }
    }
    stream.WriteByte(0);
}

void ReadSubBlocksAsLines(TStream& stream, TLineList& lines) {
    lines.clear();
    uint8_t n;
    char buffer[255];
    while (stream.ReadByte(n) && n != 0) {
        stream.ReadBuffer(buffer, n);
        lines.emplace_back(buffer, strnlen(buffer, n));
    }
}

namespace {
template <typename T>
std::unique_ptr<TGIFExtension> Create(TGIFSubImage* frame) {
    return std::make_unique<T>(frame);
}
} // namespace

const TGIFExtensionClass TGIFCommentExtension::Class = {
    "TGIFCommentExtension", Create<TGIFCommentExtension>, ResolveToSelf};
const TGIFExtensionClass TGIFTextExtension::Class = {
    "TGIFTextExtension", Create<TGIFTextExtension>, ResolveToSelf};

void TGIFCommentExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    WriteLinesAsSubBlocks(stream, lines_);
}

void TGIFCommentExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    ReadSubBlocksAsLines(stream, lines_);
}

void TGIFTextExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    const uint8_t bytes[13] = {12,
                               uint8_t(GridLeft), uint8_t(GridLeft >> 8),
                               uint8_t(GridTop), uint8_t(GridTop >> 8),
                               uint8_t(GridWidth), uint8_t(GridWidth >> 8),
                               uint8_t(GridHeight), uint8_t(GridHeight >> 8),
                               CellWidth, CellHeight,
                               TextForegroundIndex, TextBackgroundIndex};
    stream.WriteBuffer(bytes, sizeof bytes);
    WriteLinesAsSubBlocks(stream, lines_);
}

void TGIFTextExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    uint8_t b[13];
    stream.ReadBuffer(b, sizeof b);
    GridLeft = uint16_t(b[1] | b[2] << 8);
    GridTop = uint16_t(b[3] | b[4] << 8);
    GridWidth = uint16_t(b[5] | b[6] << 8);
    GridHeight = uint16_t(b[7] | b[8] << 8);
    CellWidth = b[9];
    CellHeight = b[10];
    TextForegroundIndex = b[11];
    TextBackgroundIndex = b[12];
    ReadSubBlocksAsLines(stream, lines_);
}

} // namespace gif
