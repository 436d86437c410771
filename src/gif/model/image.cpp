#include "gif/model/image.h"

#include <algorithm>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/palettes.h"
#include "gif/render/painter.h"
#include "gif/graphics/picture.h"

namespace gif {

bool IsPaletteDisplay() {
    // Desktops this program runs on draw in true colour.
    return false;
}

TGIFImage::TGIFImage()
    : frameList_(std::make_unique<TGIFImageList>(this)),
      headerBlock_(std::make_unique<TGIFHeader>(this)) {
    ResetImage();
}

TGIFImage::~TGIFImage() {
    StopAllPainters();
    DetachPainters();
    ResetImage();
}

void TGIFImage::SetWidth(int value) {
    for (int i = 0; i < FrameCount(); ++i) {
        const TGIFSubImage* frame = Frame(i);
        if (frame->FrameLeft() + frame->FrameWidth() > value)
            throw GIFException(msg::ImageWidthTooSmall);
    }
    if (value == Width()) return;
    headerBlock_->SetLogicalWidth(uint16_t(value));
    DropCachedBitmap();
    Changed(this);
}

void TGIFImage::SetHeight(int value) {
    for (int i = 0; i < FrameCount(); ++i) {
        const TGIFSubImage* frame = Frame(i);
        if (frame->FrameTop() + frame->FrameHeight() > value)
            throw GIFException(msg::ImageHeightTooSmall);
    }
    if (value == Height()) return;
    headerBlock_->SetLogicalHeight(uint16_t(value));
    DropCachedBitmap();
    Changed(this);
}

void TGIFImage::ResetImage() {
    StopAllPainters();
    DropCachedBitmap();
    frameList_->DeleteAll();
    headerBlock_->GlobalTable().RemoveAll();
    headerBlock_->SetLogicalWidth(0);
    headerBlock_->SetLogicalHeight(0);
    headerBlock_->UpdateScreenFlags();
    SetImagePalette(nullptr);
}

int TGIFImage::AddFrame(std::unique_ptr<TGIFSubImage> frame) {
    if (!frame) throw GIFException(msg::ObjectNotSupported);
    int index = frameList_->Append(std::move(frame));
    DropCachedBitmap();
    Changed(this);
    return index;
}

int TGIFImage::AddFrame(const TPersistent* source) {
    if (!source || !(dynamic_cast<const TGraphic*>(source) ||
                     dynamic_cast<const TPicture*>(source) ||
                     dynamic_cast<const TGIFSubImage*>(source)))
        throw GIFException(msg::ObjectNotSupported);
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(source);   // a failed conversion frees the new frame as it unwinds
    return AddFrame(std::move(frame));
}

TGIFVersion TGIFImage::GifVersion() const {
    TGIFVersion version = gvUnknown;
    for (int i = 0; i < FrameCount() && version < gv89a; ++i)
        version = std::max(version, Frame(i)->GifVersion());
    return version;
}

int TGIFImage::ScreenColorResolution() const {
    int resolution = headerBlock_->GlobalTable().BitsNeeded() - 1;
    for (int i = 0; i < FrameCount(); ++i) resolution = std::max(resolution, Frame(i)->FrameColorDepth());
    return resolution;
}

int TGIFImage::ScreenBitDepth() const {
    int depth = headerBlock_->GlobalTable().BitsNeeded();
    for (int i = 0; i < FrameCount(); ++i) depth = std::max(depth, Frame(i)->FrameBitDepth());
    return depth;
}

void TGIFImage::SetReductionDepth(int value) {
    if (value < 3 || value > 8) throw GIFException(msg::InvalidBitsPerPixel);
    reductionDepth_ = value;
}

void TGIFImage::Warning(TObject* sender, uint8_t severity, const std::string& message) {
    if (WarningHandler) WarningHandler(sender, severity, message);
}

void TGIFImage::RefreshPalettes() {
    DropCachedBitmap();
    SetImagePalette(nullptr);
    for (int i = 0; i < FrameCount(); ++i) {
        Frame(i)->DropBitmap();
        Frame(i)->SetFramePalette(nullptr);
    }
    // A single-frame image keeps its colours in the global table.
    TGIFGlobalColorMap& global = headerBlock_->GlobalTable();
    if (global.EntryCount() == 0 && FrameCount() == 1) {
        global.CopyFrom(Frame(0)->LocalTable());
        Frame(0)->LocalTable().RemoveAll();
    }
}

bool TGIFImage::DoDither() const {
    if (!(drawOptions_ & doDither)) return false;
    if (!(drawOptions_ & doAutoDither)) return true;
    return IsPaletteDisplay();
}

HPALETTE TGIFImage::ImagePalette() {
    if (paletteReentrance_) throw GIFException(msg::NoColorTable);
    paletteReentrance_ = true;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{paletteReentrance_};

    if (bitmap_ && bitmap_->ColorTable()) return bitmap_->ColorTable();
    if (palette_) return palette_;
    if (DoDither()) {
        palette_ = MakeWebPalette();
        return palette_;
    }
    if (headerBlock_->GlobalTable().EntryCount() > 0) {
        palette_ = headerBlock_->GlobalTable().ToPaletteHandle();
        return palette_;
    }
    return FrameCount() > 0 ? Frame(0)->FramePalette() : nullptr;
}

void TGIFImage::SetImagePalette(HPALETTE palette) {
    if (palette == palette_) return;
    palette_ = std::move(palette);
    // Frames without a local table show the image's colours: their bitmaps are out of date.
    bool framesDropped = false;
    for (int i = 0; i < FrameCount(); ++i) {
        TGIFSubImage* frame = Frame(i);
        if (frame->HasFrameBitmap() && frame->LocalTable().EntryCount() == 0) {
            frame->DropBitmap();
            framesDropped = true;
        }
    }
    if ((bitmap_ && bitmap_->ColorTable() != palette_) || framesDropped) {
        DropCachedBitmap();
        PaletteModified = true;
        Changed(this);
    }
}

void TGIFImage::Assign(const TPersistent* source) {
    if (source == this) return;
    if (!source) {
        ResetImage();
        return;
    }
    if (auto* image = dynamic_cast<const TGIFImage*>(source)) {
        CopyFromImage(*image);
        return;
    }
    ResetImage();
    auto frame = std::make_unique<TGIFSubImage>(this);
    try {
        frame->Assign(source);
    } catch (const EConvertError&) {
        AssignError(source);
    }
    AddFrame(std::move(frame));
}

void TGIFImage::CopyFromImage(const TGIFImage& source) {
    ResetImage();
    // The source's handlers report for the duration of the copy; afterwards this
    // image has none (its own are not restored).
    OnProgress = source.OnProgress;
    WarningHandler = source.WarningHandler;
    struct Cleanup {
        TGIFImage& image;
        ~Cleanup() {
            image.OnProgress = nullptr;
            image.WarningHandler = nullptr;
        }
    } cleanup{*this};

    Progress(this, TProgressStage::psStarting, 0, false, msg::Copying);
    try {
        headerBlock_->CopyFrom(*source.headerBlock_);
        ThreadPriority = source.ThreadPriority;
        DrawBackgroundColor = source.DrawBackgroundColor;
        drawOptions_ = source.drawOptions_;
        ReductionMethod = source.ReductionMethod;
        DitherMethod = source.DitherMethod;
        int count = source.FrameCount();
        for (int i = 0; i < count; ++i) {
            auto frame = std::make_unique<TGIFSubImage>(this);
            frame->CopyFrom(*source.Frame(i));
            AddFrame(std::move(frame));
            Progress(this, TProgressStage::psRunning, uint8_t((i + 1) * 100 / count), false,
                     msg::Copying);
        }
    } catch (...) {
        Progress(this, TProgressStage::psEnding, 0, false, msg::Copying);
        throw;
    }
    Progress(this, TProgressStage::psEnding, 100, false, msg::Copying);
}

void TGIFImage::AssignTo(TPersistent* dest) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        TBitmap* own = const_cast<TGIFImage*>(this)->Bitmap();
        if (own) bitmap->Assign(own);
        else bitmap->SetSize(0, 0);
        return;
    }
    TGraphic::AssignTo(dest);
}

void TGIFImage::WriteData(TStream& stream) {
    if (OptimizeOnEmbeddedWrite) Optimize(optTrim | optDuplicatePixels | optCleanup | optSortPalettes);
    TMemoryStream data;
    SaveToStream(data);
    uint32_t size = uint32_t(data.Size());
    const uint8_t prefix[4] = {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16),
                               uint8_t(size >> 24)};
    stream.WriteBuffer(prefix, 4);
    stream.WriteBuffer(data.Bytes().data(), data.Bytes().size());
}

void TGIFImage::DropCachedBitmap() {
    StopOwnPainter();
    bitmap_.reset();
}

} // namespace gif
