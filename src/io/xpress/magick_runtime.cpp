#include "io/xpress/magick_runtime.h"

#include "io/xpress/xpress.h"

#include <mutex>

namespace io {

void EnsureMagick() {
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        // Pixels stay in memory: a picture beyond these limits fails instead of spilling
        // into temporary files. ImageMagick's own time limit is not used: it counts from
        // the first picture the process ever touched and then ends the process; TDeadline
        // limits each operation instead.
        Magick::ResourceLimits::width(MaxPictureSide);
        Magick::ResourceLimits::height(MaxPictureSide);
        Magick::ResourceLimits::area(MaxPicturePixels);
        Magick::ResourceLimits::memory(MaxPictureMemory);
        Magick::ResourceLimits::map(MaxPictureMemory);
        Magick::ResourceLimits::disk(0);
        // Frames of one file (icons list every size; other kinds read only the first).
        Magick::ResourceLimits::listLength(256);
    });
}

void TDeadline::Attach(MagickCore::ImageInfo* info) {
    MagickCore::SetImageInfoProgressMonitor(info, &TDeadline::Monitor, this);
}

void TDeadline::Attach(MagickCore::Image* image) {
    MagickCore::SetImageProgressMonitor(image, &TDeadline::Monitor, this);
}

void TDeadline::Detach(MagickCore::Image* image) {
    for (; image; image = image->next)
        MagickCore::SetImageProgressMonitor(image, nullptr, nullptr);
}

MagickCore::MagickBooleanType TDeadline::Monitor(const char*, MagickCore::MagickOffsetType,
                                                 MagickCore::MagickSizeType, void* self) {
    auto* deadline = static_cast<TDeadline*>(self);
    if (std::chrono::steady_clock::now() >= deadline->end_) deadline->expired_.store(true);
    return deadline->expired_.load() ? MagickCore::MagickFalse : MagickCore::MagickTrue;
}

} // namespace io
