// Writing the object model as a GIF file: header, frames with their extension
// blocks, descriptors and colour tables, and the trailer. The image data itself is
// compressed by EncodeImageData (image_data_writer.cpp).
#include <algorithm>

#include "gif/base/byte_words.h"
#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/model/encoded_image_data.h"
#include "gif/codec/image_data_writer.h"
#include "gif/model/image.h"

namespace gif {

TEncodeSource FrameEncodeSource(const TGIFSubImage& frame, int screenBitDepth) {
    int bits;
    int limit;
    if (frame.LocalTable().EntryCount() > 0) {
        bits = frame.LocalTable().BitsNeeded();
        limit = frame.LocalTable().EntryCount();
    } else {
        bits = screenBitDepth;
        limit = 1 << bits;
    }
    // A smaller code size chosen for the frame holds while every pixel fits it.
    if (int hint = frame.CodeSizeHint(); hint > 0 && hint < std::max(bits, 2) && frame.HasPixels()) {
        if (LargestByte(frame.PixelData()) < (1 << hint)) {
            bits = hint;
            limit = std::min(limit, 1 << hint);
        }
    }
    return TEncodeSource{frame.HasPixels() ? frame.Pixels() : nullptr,
                         frame.FrameWidth(),
                         frame.FrameHeight(),
                         frame.IsInterlaced(),
                         bits,
                         limit,
                         frame.LookaheadHint(),
                         frame.ClearDelayHint()};
}

namespace {

void PutWord(uint8_t* p, uint16_t value) {
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}

// Writes one frame's image data: the bytes it keeps when they are what the encoder would
// write, else its pixels compressed with the encoder the image asks for, which the frame
// then keeps for the next write.
void WriteImageData(TGIFSubImage& frame, TStream& stream, int screenBitDepth,
                    TImageDataWriter& writer) {
    TGIFImage* image = frame.OwnerImage();
    const TEncodingMethod method = image ? image->EncodingMethod : emLZW;
    const TEncodeSource source = FrameEncodeSource(frame, screenBitDepth);
    if (const TEncodedImageData* kept = frame.EncodedData();
        kept && EncodedDataFits(*kept, source, method)) {
        stream.WriteBuffer(kept->Bytes().data(), kept->Size);
        return;
    }
    if (!source.Pixels || source.Width <= 0 || source.Height <= 0) {
        writer.Write(stream, source, method);
        return;
    }
    TMemoryStream& encoded = writer.Scratch();
    auto written = [&] {
        return std::span<const uint8_t>(encoded.Bytes().data(), size_t(encoded.Position()));
    };
    try {
        writer.Write(encoded, source, method);
    } catch (...) {
        // The sub-blocks completed before a bad pixel still reach the file.
        stream.WriteBuffer(written().data(), written().size());
        throw;
    }
    const std::span<const uint8_t> bytes = written();
    stream.WriteBuffer(bytes.data(), bytes.size());

    auto data = std::make_shared<TEncodedImageData>();
    data->Storage = std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
    data->Size = bytes.size();
    data->CodeSize = uint8_t(std::max(source.Bits, 2));
    data->Interlaced = source.Interlaced;
    data->Method = method;
    data->LookaheadBias = method == emLZW ? source.LookaheadBias : -1;
    data->ClearDelay = method == emLZW ? source.ClearDelay : 0;
    // The LZW encoder found it on the way; the others did not look.
    const int largest = writer.LastLargestPixel();
    data->LargestPixel = uint8_t(
        largest >= 0 ? largest : LargestByte({source.Pixels, size_t(source.Width) * size_t(source.Height)}));
    frame.KeepEncodedData(std::move(data));
}

// The blocks, descriptor, local table and image data of one frame.
void WriteFrame(TGIFSubImage& frame, TStream& stream, int screenBitDepth,
                TImageDataWriter& writer) {
    frame.Blocks().SaveToStream(stream);
    if (frame.IsBlank()) return;
    frame.PrepareDescriptor();
    const TImageDescriptor& descriptor = frame.Descriptor();
    uint8_t d[10];
    d[0] = bsImageSeparator;
    PutWord(d + 1, descriptor.Left);
    PutWord(d + 3, descriptor.Top);
    PutWord(d + 5, descriptor.Width);
    PutWord(d + 7, descriptor.Height);
    d[9] = descriptor.PackedFields;
    stream.WriteBuffer(d, sizeof d);
    frame.LocalTable().SaveToStream(stream);
    WriteImageData(frame, stream, screenBitDepth, writer);
}

int ScreenBitDepthOf(const TGIFImage* image) {
    return image ? image->ScreenBitDepth() : 0;
}

} // namespace

void TGIFImage::SaveToStream(TStream& stream) {
    Progress(this, TProgressStage::psStarting, 0, false, msg::Saving);
    try {
        headerBlock_->SaveToStream(stream);
        frameList_->SaveToStream(stream);
        TGIFTrailer trailer(this);
        trailer.SaveToStream(stream);
    } catch (...) {
        Progress(this, TProgressStage::psEnding, 0, true, msg::Saving);
        throw;
    }
    Progress(this, TProgressStage::psEnding, 100, true, msg::Saving);
}

void TGIFHeader::SaveToStream(TStream& stream) {
    TGIFImage* image = OwnerImage();
    TGIFVersion version = image ? image->GifVersion() : gvUnknown;
    if (version == gvUnknown) throw GIFException(msg::UnsupportedVersion);
    // A sorted global table and an aspect ratio are GIF89a features too; writing them
    // into a file marked 87a would make strict readers reject it.
    version = std::max(version, GifVersion());

    uint8_t bytes[13] = {'G', 'I', 'F', '8', uint8_t(version == gv89a ? '9' : '7'), 'a'};
    UpdateScreenFlags();
    PutWord(bytes + 6, screen_.ScreenWidth);
    PutWord(bytes + 8, screen_.ScreenHeight);
    bytes[10] = screen_.PackedFields;
    bytes[11] = screen_.BackgroundColorIndex;
    bytes[12] = screen_.AspectRatio;
    stream.WriteBuffer(bytes, sizeof bytes);
    if (screen_.PackedFields & 0x80) globalTable_.SaveToStream(stream);
}

void TGIFImageList::SaveToStream(TStream& stream) {
    TGIFImage* image = OwnerImage();
    const int depth = ScreenBitDepthOf(image);
    TImageDataWriter writer;   // one set of encoder tables for every frame
    int count = ItemCount();
    for (int i = 0; i < count; ++i) {
        WriteFrame(*Frames(i), stream, depth, writer);
        if (image)
            image->ReportProgress(this, TProgressStage::psRunning, uint8_t((i + 1) * 100 / count),
                                  false, msg::Saving);
    }
}

void TGIFSubImage::SaveToStream(TStream& stream) {
    TImageDataWriter writer;
    WriteFrame(*this, stream, IsBlank() ? 0 : ScreenBitDepthOf(OwnerImage()), writer);
}

void TGIFTrailer::SaveToStream(TStream& stream) {
    stream.WriteByte(bsTrailer);
}

} // namespace gif
