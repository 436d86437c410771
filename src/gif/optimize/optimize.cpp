// TGIFImage::Optimize: the optimiser's passes in their fixed order.
#include <mutex>

#include "gif/model/image.h"
#include "gif/optimize/cleanup.h"
#include "gif/optimize/duplicate_pixels.h"
#include "gif/optimize/frame_trim.h"
#include "gif/optimize/optimize_progress.h"
#include "gif/optimize/palette_sort.h"

namespace gif {

void TGIFImage::Optimize(TGIFOptimizeOptions options) {
    if (Empty()) return;
    StopAllPainters();
    optimize::TOptimizeProgress progress(*this, FrameCount());
    progress.Start();
    try {
        // No renderer may start on frames that are being rewritten or deleted.
        std::lock_guard<std::recursive_mutex> lock(painterLock_);
        const bool cleanup = options & optCleanup;
        // The pass order matters: sorting first lets the later passes see final tables;
        // disposals are simplified before the duplicate pass looks at them; trimming
        // follows the duplicate pass, which is what makes frames transparent; blocks are
        // cleaned last so that trimming can still delete frames they would have kept.
        progress.BeginPass(1);
        if (options & optSortPalettes) optimize::SortPalettes(*this, progress);
        progress.BeginPass(1);
        if (cleanup) optimize::CleanupBeforePixels(*this, progress);
        progress.BeginPass(2);
        if (options & optDuplicatePixels) optimize::RemoveDuplicatePixels(*this, progress);
        progress.BeginPass(1);
        if (options & optTrim) optimize::TrimFrames(*this, cleanup, progress);
        progress.BeginPass(1);
        if (cleanup) optimize::CleanupAfterPixels(*this, progress);
        progress.EndPass();
        DropCachedBitmap();
    } catch (...) {
        DropCachedBitmap();
        progress.End(false);
        throw;
    }
    Changed(this);
    progress.End(true);
}

} // namespace gif
