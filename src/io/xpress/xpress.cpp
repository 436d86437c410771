#include "io/xpress/xpress.h"

#include "io/xpress/dib_export.h"
#include "io/xpress/magick_runtime.h"
#include "io/xpress/picture_format.h"
#include "io/xpress/quick_decode.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <new>
#include <span>

namespace io {

namespace {

using TException =
    std::unique_ptr<MagickCore::ExceptionInfo, decltype(&MagickCore::DestroyExceptionInfo)>;
using TImageInfo = std::unique_ptr<MagickCore::ImageInfo, decltype(&MagickCore::DestroyImageInfo)>;

TException NewException() {
    return TException(MagickCore::AcquireExceptionInfo(), &MagickCore::DestroyExceptionInfo);
}

void DestroyList(MagickCore::Image* images) {
    if (images) MagickCore::DestroyImageList(MagickCore::GetFirstImageInList(images));
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// ImageMagick's reason without the source location it appends ("... `' @ error/png.c/...").
std::string CleanReason(const MagickCore::ExceptionInfo& exception) {
    std::string reason = exception.reason ? exception.reason : "";
    size_t cut = std::min(reason.find(" `"), reason.find(" @ "));
    if (cut != std::string::npos) reason.resize(cut);
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    return reason;
}

// A decoder's complaint that the data stopped before the picture was complete. ImageMagick
// reports some of these as mere warnings and hands out a picture padded with grey.
bool EndsEarly(const std::string& reason) {
    std::string text = Lower(reason);
    for (const char* phrase : {"premature end", "unexpected end", "insufficient image data"})
        if (text.find(phrase) != std::string::npos) return true;
    return false;
}

// The control's error code for what ImageMagick reported; xeNone for harmless warnings.
int16_t Classify(const MagickCore::ExceptionInfo& exception) {
    using namespace MagickCore;
    ExceptionType severity = exception.severity;
    if (severity == UndefinedException) return xeNone;
    std::string reason = CleanReason(exception);
    // The pixel cache fails when a picture needs more than the resource limits allow.
    if (severity == ResourceLimitWarning || severity == ResourceLimitError ||
        severity == ResourceLimitFatalError || severity == CacheError ||
        severity == CacheFatalError || Lower(reason).find("exceeds limit") != std::string::npos)
        return xeTooLarge;
    if (severity == MissingDelegateError || severity == MissingDelegateWarning)
        return xeUnsupportedKind;
    if (severity >= ErrorException) return xeDamaged;
    if (EndsEarly(reason)) return xeDamaged;
    return xeNone;
}

// Reads the whole file; false when it cannot be opened or read.
bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes, int64_t& size) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    size = int64_t(file.tellg());
    if (size < 0) return false;
    if (size > MaxPictureFileBytes) return true;
    bytes.resize(size_t(size));
    file.seekg(0);
    return bool(file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size)));
}

bool IsIconFormat(const std::string& format) {
    std::string name = Lower(format);
    return name == "ico" || name == "icon";
}

// The frame to keep: the largest image of an icon, else the first.
MagickCore::Image* ChooseFrame(MagickCore::Image* images, bool icon) {
    MagickCore::Image* chosen = images;
    if (icon)
        for (MagickCore::Image* p = images; p; p = p->next)
            if (p->columns * p->rows > chosen->columns * chosen->rows) chosen = p;
    return chosen;
}

// Takes `frame` out of its list and destroys the rest.
MagickCore::Image* Detach(MagickCore::Image* frame) {
    MagickCore::Image* rest = frame;
    MagickCore::Image* taken = MagickCore::RemoveImageFromList(&rest);
    DestroyList(rest);
    return taken;
}

// Colour spaces whose channels are already the sRGB or grey values a bitmap holds.
bool NeedsConversion(MagickCore::ColorspaceType space) {
    using namespace MagickCore;
    return space != UndefinedColorspace && space != sRGBColorspace && space != GRAYColorspace &&
           space != TransparentColorspace;
}

} // namespace

// ImageMagick's picture, or the 8-bit pixels of a quick decode; the latter becomes an
// ImageMagick picture only when an operation needs one (resampling, the bitmap).
struct TXpress::TPicture {
    explicit TPicture(MagickCore::Image* image) : Image(image), HasImage(true) {}
    explicit TPicture(TQuickPicture quick) : Quick(std::move(quick)) {}

    Magick::Image& Magick() {
        if (!HasImage) {
            Image.read(size_t(Quick.Width), size_t(Quick.Height), "BGRA", Magick::CharPixel,
                       Quick.Bgra.data());
            Image.matte(Quick.Alpha);
            HasImage = true;
            Quick = {};
        }
        return Image;
    }

    Magick::Image Image;
    bool HasImage = false;
    TQuickPicture Quick;
};

namespace {

// The decoders that make a small copy faster than ImageMagick; false when there is none
// for `format` or it did not read the data cleanly.
bool DecodeQuickly(const std::string& format, std::span<const uint8_t> bytes, int coverSide,
                   TQuickPicture& picture) {
    if (format == "JPEG") return DecodeJpegQuickly(bytes, coverSide, picture);
    if (format == "PNG") return DecodePngQuickly(bytes, picture);
    if (format == "GIF") return DecodeGifFirstFrame(bytes, picture);
    return false;
}

} // namespace

const char* XpressErrorText(int16_t error) {
    switch (error) {
    case xeNone:
        return "";
    case xeFileNotFound:
        return "the file does not exist or cannot be read";
    case xeUnsupportedKind:
        return "not a picture of a supported kind";
    case xeDamaged:
        return "the picture is damaged";
    case xeTooLarge:
        return "the picture is too large";
    case xeTimeLimit:
        return "decoding the picture took too long";
    case xeNoPicture:
        return "no picture is loaded";
    case xeResampleFailed:
        return "the picture could not be resized";
    default:
        return "unknown imaging error";
    }
}

TXpress::TXpress(std::chrono::milliseconds timeBudget) : timeBudget_(timeBudget) {}

TXpress::~TXpress() = default;

void TXpress::Fail(int16_t error, const std::string& reason) {
    error_ = error;
    errorMessage_ = XpressErrorText(error);
    if (!reason.empty()) errorMessage_ += " (" + reason + ")";
}

void TXpress::SetFileName(const std::string& path, int coverSide) {
    Release();
    fileName_ = path;
    error_ = xeNone;
    errorMessage_.clear();
    try {
        EnsureMagick();
        std::vector<uint8_t> bytes;
        int64_t fileSize = 0;
        if (!ReadFile(path, bytes, fileSize)) return Fail(xeFileNotFound);
        if (fileSize > MaxPictureFileBytes) return Fail(xeTooLarge, "file larger than 256 MB");
        if (bytes.empty()) return Fail(xeDamaged, "the file is empty");
        std::string format = ChoosePictureFormat(bytes, path);
        if (format.empty()) return Fail(xeUnsupportedKind);
        bool icon = IsIconFormat(format);
        if (coverSide > 0) {
            TQuickPicture quick;
            if (DecodeQuickly(format, bytes, coverSide, quick)) {
                width_ = quick.Width;
                height_ = quick.Height;
                fileWidth_ = quick.FileWidth;
                fileHeight_ = quick.FileHeight;
                picture_ = std::make_unique<TPicture>(std::move(quick));
                return;
            }
        }

        // The format is named explicitly, so no other decoder can take over the data.
        TImageInfo info(MagickCore::AcquireImageInfo(), &MagickCore::DestroyImageInfo);
        TException exception = NewException();
        std::snprintf(info->filename, sizeof info->filename, "%s:", format.c_str());
        MagickCore::SetImageInfo(info.get(), 1, exception.get());
        if (!icon) {
            info->scene = 0;
            info->number_scenes = 1;
        }
        TDeadline deadline(timeBudget_);
        deadline.Attach(info.get());
        MagickCore::Image* images =
            MagickCore::BlobToImage(info.get(), bytes.data(), bytes.size(), exception.get());
        bytes = {};
        TDeadline::Detach(images);
        if (deadline.Expired()) {
            DestroyList(images);
            return Fail(xeTimeLimit);
        }
        int16_t error = Classify(*exception);
        std::string reason = CleanReason(*exception);
        for (MagickCore::Image* p = images; p && error == xeNone; p = p->next) {
            error = Classify(p->exception);
            reason = CleanReason(p->exception);
        }
        if (error != xeNone || !images) {
            DestroyList(images);
            return Fail(error != xeNone ? error : int16_t(xeDamaged), reason);
        }

        MagickCore::Image* image = Detach(ChooseFrame(images, icon));
        picture_ = std::make_unique<TPicture>(image);
        if (image->columns == 0 || image->rows == 0) {
            Release();
            return Fail(xeDamaged, "no pixels");
        }
        if (image->columns > size_t(MaxPictureSide) || image->rows > size_t(MaxPictureSide) ||
            int64_t(image->columns) * int64_t(image->rows) > MaxPicturePixels) {
            Release();
            return Fail(xeTooLarge);
        }
        if (NeedsConversion(image->colorspace) &&
            !MagickCore::TransformImageColorspace(image, MagickCore::sRGBColorspace)) {
            std::string why = CleanReason(image->exception);
            Release();
            return Fail(xeDamaged, why);
        }
        width_ = int32_t(image->columns);
        height_ = int32_t(image->rows);
        fileWidth_ = width_;
        fileHeight_ = height_;
    } catch (const std::bad_alloc&) {
        Release();
        Fail(xeTooLarge, "out of memory");
    } catch (const std::exception& e) {
        Release();
        Fail(xeDamaged, e.what());
    }
}

bool TXpress::Resample(int height, int width) {
    if (!picture_) {
        Fail(xeNoPicture);
        return false;
    }
    if (height < 1 || width < 1 || height > MaxPictureSide || width > MaxPictureSide) {
        Fail(xeResampleFailed, "size out of range");
        return false;
    }
    try {
        // Rescaled into a new image, so a failure leaves the picture as it was.
        auto* source = const_cast<MagickCore::Image*>(picture_->Magick().constImage());
        TException exception = NewException();
        TDeadline deadline(timeBudget_);
        deadline.Attach(source);
        MagickCore::Image* resized = MagickCore::ResizeImage(
            source, size_t(width), size_t(height), source->filter, source->blur, exception.get());
        TDeadline::Detach(source);
        TDeadline::Detach(resized);
        if (deadline.Expired() || !resized) {
            DestroyList(resized);
            Fail(deadline.Expired() ? xeTimeLimit : xeResampleFailed, CleanReason(*exception));
            return false;
        }
        picture_ = std::make_unique<TPicture>(resized);
        width_ = width;
        height_ = height;
        error_ = xeNone;
        errorMessage_.clear();
        return true;
    } catch (const std::exception& e) {
        Fail(xeResampleFailed, e.what());
        return false;
    }
}

std::vector<uint8_t> TXpress::CopyPicture() const {
    if (!picture_) return {};
    try {
        return ExportDIB(picture_->Magick().constImage());
    } catch (const std::exception&) {
        return {};
    }
}

bool TXpress::CopyPixels(uint8_t* bgra, bool& alpha) const {
    if (!picture_ || !bgra) return false;
    if (!picture_->HasImage) {
        std::copy(picture_->Quick.Bgra.begin(), picture_->Quick.Bgra.end(), bgra);
        alpha = picture_->Quick.Alpha;
        return true;
    }
    const MagickCore::Image* image = picture_->Image.constImage();
    TException exception = NewException();
    alpha = image->matte != MagickCore::MagickFalse;
    return MagickCore::ExportImagePixels(image, 0, 0, image->columns, image->rows, "BGRA",
                                         MagickCore::CharPixel, bgra, exception.get()) !=
           MagickCore::MagickFalse;
}

void TXpress::Release() {
    picture_.reset();
    width_ = 0;
    height_ = 0;
    fileWidth_ = 0;
    fileHeight_ = 0;
}

} // namespace io
