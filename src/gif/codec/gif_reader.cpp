// Reading a GIF file into the object model: header, the block loop with its frames
// and extension blocks, and the trailer. The image data itself is decoded by
// DecodeImageData (lzw_decoder.cpp).
#include <cctype>
#include <cstring>
#include <utility>

#include "gif/base/byte_words.h"
#include "gif/base/exception.h"
#include "gif/base/format.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/codec/lzw_decoder.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace gif {

namespace {

bool BeginsWithGIF(const uint8_t* signature) {
    return std::toupper(signature[0]) == 'G' && std::toupper(signature[1]) == 'I' &&
           std::toupper(signature[2]) == 'F';
}

// Reads bytes until one is not 0; false when the stream ends first.
bool SkipZeroBytes(TStream& stream, uint8_t& b) {
    while (stream.ReadByte(b))
        if (b != 0) return true;
    return false;
}

void StepBack(TStream& stream) {
    stream.Seek(-1, TSeekOrigin::soCurrent);
}

} // namespace

// Fills the frame's pixels with its background index and decodes its image data. The
// pixels are counted against the image's limits before they are allocated.
void TGIFSubImage::DecodePixels(TStream& stream) {
    if (TGIFImage* image = OwnerImage()) {
        int64_t pixels = int64_t(FrameWidth()) * FrameHeight();
        if (pixels > image->MaxFramePixels) throw GIFException(msg::FrameTooLarge);
        if (pixels > image->MaxImagePixels - image->decodedPixels_)
            throw GIFException(Format(msg::ImagePixelLimit, (long long)image->MaxImagePixels));
        image->decodedPixels_ += pixels;
    }
    AllocatePixels();
    int fill = IsTransparent() && ControlBlock() ? ControlBlock()->TransparentIndex() : 0;
    if (fill != 0 && HasPixels()) std::memset(Pixels(), fill, size_t(PixelCount()));
    // A frame of zero size still has image data to step over.
    TDecodeTarget target{Pixels(), FrameWidth(), FrameHeight(), IsInterlaced()};
    const int64_t start = stream.Position();
    bool warned = false;
    const size_t produced = DecodeImageData(stream, target, [&](const char* message) {
        warned = true;
        Warn(1, message);
    });
    // Data that decoded without a fault to every pixel is kept, so that writing the frame
    // unchanged copies it. Damaged data is not: saving re-encodes the frame and repairs it.
    if (!warned && produced == size_t(PixelCount()) && produced > 0) KeepDataRead(stream, start);
}

void TGIFSubImage::KeepDataRead(TStream& stream, int64_t start) {
    const int64_t end = stream.Position();
    if (end <= start) return;
    auto data = std::make_shared<TEncodedImageData>();
    data->Size = size_t(end - start);
    if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
        // The stream's own buffer, shared: no copy of the file.
        data->Storage = memory->Share();
        data->Offset = size_t(start);
        if (data->Storage->size() < size_t(end)) return;
    } else {
        auto bytes = std::make_shared<std::vector<uint8_t>>(data->Size);
        stream.SetPosition(start);
        const size_t got = stream.Read(bytes->data(), bytes->size());
        stream.SetPosition(end);
        if (got != bytes->size()) return;
        data->Storage = std::move(bytes);
    }
    if (!IsCompleteImageData(data->Bytes())) return;
    data->CodeSize = data->Bytes()[0];
    data->Interlaced = IsInterlaced();
    data->FromFile = true;
    data->LargestPixel = uint8_t(LargestByte(std::as_const(*this).PixelData()));
    KeepEncodedData(std::move(data));
}

void TGIFImage::LoadFromStream(TStream& stream) {
    Progress(this, TProgressStage::psStarting, 0, false, msg::Loading);
    try {
        ResetImage();
        decodedPixels_ = 0;
        int64_t start = stream.Position();
        try {
            headerBlock_->LoadFromStream(stream);
            frameList_->LoadFromStream(stream, this);
            if (MaxFramesRead <= 0 || FrameCount() < MaxFramesRead) {
                TGIFTrailer trailer(this);
                trailer.LoadFromStream(stream);
            }
        } catch (...) {
            // The frames read so far stay; the caller finds the stream where it was.
            stream.SetPosition(start);
            throw;
        }
    } catch (...) {
        Progress(this, TProgressStage::psEnding, 0, false, msg::Loading);
        throw;
    }
    Progress(this, TProgressStage::psEnding, 100, false, msg::Loading);
}

void TGIFHeader::LoadFromStream(TStream& stream) {
    int64_t start = stream.Position();
    uint8_t signature[6];
    stream.ReadBuffer(signature, 6);
    if (!BeginsWithGIF(signature)) {
        // Embedded GIF data starts with its 32-bit length.
        stream.SetPosition(start + 4);
        stream.ReadBuffer(signature, 6);
        if (!BeginsWithGIF(signature)) throw GIFException(msg::InvalidSignature);
    }
    uint8_t d[7];
    stream.ReadBuffer(d, 7);
    screen_.ScreenWidth = uint16_t(d[0] | d[1] << 8);
    screen_.ScreenHeight = uint16_t(d[2] | d[3] << 8);
    screen_.PackedFields = d[4];
    screen_.BackgroundColorIndex = d[5];
    screen_.AspectRatio = d[6];
    if (screen_.PackedFields & 0x80)
        globalTable_.LoadFromStream(stream, 2 << (screen_.PackedFields & 7));
    else
        globalTable_.RemoveAll();
}

void TGIFImageList::LoadFromStream(TStream& stream, TObject*) {
    TGIFImage* image = OwnerImage();
    uint8_t b;
    if (!SkipZeroBytes(stream, b)) return;
    while (b != bsTrailer) {
        StepBack(stream);
        if (b != bsExtensionIntroducer && b != bsImageSeparator) {
            Warn(1, msg::UnknownBlockType);
            StepBack(stream);
            return;
        }
        auto frame = std::make_unique<TGIFSubImage>(image);
        frame->LoadFromStream(stream);   // a failed frame is freed as it unwinds
        Append(std::move(frame));
        if (image && image->MaxFramesRead > 0 && Count() >= image->MaxFramesRead) return;
        if (image) {
            int64_t size = stream.Size();
            uint8_t percent = size > 0 ? uint8_t(stream.Position() * 100 / size) : 100;
            image->ReportProgress(this, TProgressStage::psRunning, percent, BuildBitmapsOnLoad,
                                  msg::Loading);
        }
        if (!SkipZeroBytes(stream, b)) return;
    }
    StepBack(stream);
}

void TGIFSubImage::LoadFromStream(TStream& stream) {
    ResetFrame();
    blocks_->LoadFromStream(stream, this);

    uint8_t next;
    if (!stream.ReadByte(next)) return;
    StepBack(stream);
    if (next == bsTrailer || next == 0) return;   // a blank frame that only carries blocks

    uint8_t d[10];
    stream.ReadBuffer(d, 10);
    descriptor_.Separator = d[0];
    descriptor_.Left = uint16_t(d[1] | d[2] << 8);
    descriptor_.Top = uint16_t(d[3] | d[4] << 8);
    descriptor_.Width = uint16_t(d[5] | d[6] << 8);
    descriptor_.Height = uint16_t(d[7] | d[8] << 8);
    descriptor_.PackedFields = d[9];
    if (descriptor_.Width == 0 || descriptor_.Height == 0) {
        if (TGIFImage* image = OwnerImage()) {
            descriptor_.Height = image->Header().LogicalHeight();
            descriptor_.Width = image->Header().LogicalWidth();
        }
        Warn(1, msg::ImageExceedsScreen);
    }
    if (descriptor_.PackedFields & idLocalColorTable)
        localTable_.LoadFromStream(stream, 2 << (descriptor_.PackedFields & idColorTableSize));
    DecodePixels(stream);
    if (BuildBitmapsOnLoad) FrameBitmap();
}

void TGIFTrailer::LoadFromStream(TStream& stream) {
    // A file that simply stops may have lost frames: worth a word to whoever reads it.
    uint8_t b;
    if (!stream.ReadByte(b))
        Warn(1, msg::MissingTrailer);
    else if (b != bsTrailer)
        Warn(1, msg::InvalidTrailer);
}

} // namespace gif
