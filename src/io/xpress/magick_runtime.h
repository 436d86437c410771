// Process-wide set-up of ImageMagick for the imaging control, and the time budget that
// cancels a decode running too long. Internal to src/io.
#pragma once

#include <Magick++.h>
#include <atomic>
#include <chrono>

namespace io {

// Initialises ImageMagick and sets its resource limits, once per process, from any thread.
void EnsureMagick();

// A deadline watched through ImageMagick's progress monitor: once it has passed, the
// running operation is told to stop and Expired() stays true. The object must outlive
// the operation it is attached to.
class TDeadline {
  public:
    explicit TDeadline(std::chrono::milliseconds budget)
        : end_(std::chrono::steady_clock::now() + budget) {}
    TDeadline(const TDeadline&) = delete;
    TDeadline& operator=(const TDeadline&) = delete;

    bool Expired() const { return expired_.load(); }
    // Watches reads made with `info` / operations on `image` until Detach.
    void Attach(MagickCore::ImageInfo* info);
    void Attach(MagickCore::Image* image);
    static void Detach(MagickCore::Image* image);

  private:
    static MagickCore::MagickBooleanType Monitor(const char*, MagickCore::MagickOffsetType,
                                                 MagickCore::MagickSizeType, void* self);

    std::chrono::steady_clock::time_point end_;
    std::atomic<bool> expired_{false};
};

} // namespace io
