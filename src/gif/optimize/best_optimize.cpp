#include "gif/optimize/best_optimize.h"

#include "gif/base/stream.h"
#include "gif/model/image.h"
#include "gif/optimize/bounded_size.h"
#include "gif/optimize/code_size_order.h"
#include "gif/optimize/compact_indices.h"
#include "gif/optimize/display_check.h"
#include "gif/optimize/model_rewrite.h"
#include "gif/optimize/encoding_choice.h"
#include "gif/optimize/still_frames.h"
#include "gif/optimize/two_threads.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace gif {

namespace {

using namespace optimize;

// Larger screens are left alone: the model and the renderer's pictures of one would take
// gigabytes. What counts is the screen of the copies the optimiser works on, which grows to
// hold every frame (a damaged file of a hundred bytes can place a frame 65000 pixels off a
// screen of 3 x 4).
constexpr int64_t MaxScreenPixels = int64_t(1) << 24;

// Every check composes each frame on the whole screen, and the model keeps screens per
// frame: the work grows with screen x frames, however little the frames hold. It may grow
// that far for any animation; beyond, it must stay in proportion to the pixels the frames
// really hold, so that a small file of many tiny frames on a large screen stays fast.
constexpr int64_t FreeScreenWork = int64_t(1) << 28;
constexpr int64_t ScreenWorkPerFramePixel = 16;

bool TooMuchScreenWork(const TGIFImage& image) {
    const int64_t screen = CopiedScreenPixels(image);
    if (screen > MaxScreenPixels) return true;
    int64_t held = 0;
    for (int i = 0; i < image.FrameCount(); ++i) {
        const TGIFSubImage& frame = *image.Frame(i);
        if (!frame.IsBlank()) held += int64_t(frame.FrameWidth()) * frame.FrameHeight();
    }
    const int64_t work = screen * image.FrameCount();
    return work > FreeScreenWork && work > ScreenWorkPerFramePixel * held;
}

constexpr TGIFOptimizeOptions AllPasses =
    optTrim | optDuplicatePixels | optCleanup | optSortPalettes;

int64_t SavedSize(TGIFImage& image) {
    TCountingStream counter;
    image.SaveToStream(counter);
    return counter.Size();
}

// The frame rewrite runs on two threads (the rewrites are independent of each other), but
// for small animations.
int RewriteThreads(const TGIFImage& image) {
    return WorthASecondThread(image) ? 2 : 1;
}

// Renumbers the colours, rewrites the frames, then plays the result through the renderer:
// while a picture differs from `before`, the last rewritten frame up to it takes its old
// form back. Returns whether the image shows what it showed before.
bool RewriteFrames(TGIFImage& image, TColor background, const std::vector<TShownPicture>& before) {
    CompactIndices(image);
    std::vector<TRewrittenFrame> rewritten =
        RewriteOnModel(image, RewriteThreads(image), /*keepOldForms=*/true);
    for (;;) {
        const std::vector<TShownPicture> after = ShownPictures(image, background);
        size_t differs = 0;
        while (differs < before.size() && differs < after.size() &&
               before[differs] == after[differs])
            ++differs;
        if (differs == before.size() && differs == after.size()) return true;
        if (rewritten.empty()) return false;
        size_t k = rewritten.size();
        while (k > 0 && size_t(rewritten[k - 1].Index) > differs)
            --k;
        if (k == 0) k = rewritten.size(); // none up to it: go back on the last one
        TRewrittenFrame& undo = rewritten[k - 1];
        image.Frame(undo.Index)->CopyFrom(*undo.Old);
        rewritten.erase(rewritten.begin() + std::ptrdiff_t(k - 1));
    }
}

// The optimiser's passes with the colour-map merge, the frame rewrite and the numbering of
// the colours for small code sizes, applied to `work` (a copy of the image). Whether the
// result shows the same is checked by the caller with one play through the renderer; when
// it does not, the caller takes the slower way that finds out which step changed the
// pictures.
void PassesAndRewrite(TGIFImage& work) {
    work.Optimize(AllPasses);
    work.OptimizeColorMaps();
    CompactIndices(work);
    RewriteOnModel(work, RewriteThreads(work), /*keepOldForms=*/false);
    // The rewrite turns frames that repeat the screen into frames that draw nothing.
    MergeStillFrames(work);
    OrderColorsForCodeSizes(work);
    DropUnusedGlobalEntries(work);
}

// What `image` shows, composed on a second thread while `meanwhile` runs on this one (on a
// copy, or on the image itself without changing what the renderer reads); on this thread
// for a small animation or when no second one can be started.
std::vector<TShownPicture> PicturesMeanwhile(TGIFImage& image, TColor background,
                                             const std::function<void()>& meanwhile) {
    return Alongside([&image, background] { return ShownPictures(image, background); }, meanwhile,
                     WorthASecondThreadToPlay(image));
}

// The optimiser; `written` receives the result's bytes when they were written on the way.
TBestOptimizeResult Run(TGIFImage& image, std::vector<uint8_t>* written) {
    TBestOptimizeResult result;
    if (image.Empty()) return result;
    image.StopAllPainters();
    // Measuring writes the image; its own handlers hear nothing of that.
    struct THandlers {
        TGIFImage& Image;
        TProgressEvent Progress;
        TGIFWarning Warning;
        explicit THandlers(TGIFImage& image)
            : Image(image), Progress(std::move(image.OnProgress)),
              Warning(std::move(image.WarningHandler)) {
            image.OnProgress = nullptr;
            image.WarningHandler = nullptr;
        }
        ~THandlers() {
            Image.OnProgress = std::move(Progress);
            Image.WarningHandler = std::move(Warning);
        }
    } handlers(image);

    if (TooMuchScreenWork(image)) {
        result.BytesBefore = result.BytesAfter = SavedSize(image);
        return result;
    }
    const TColor background = UnusedColor({&image});

    // Starting points: the optimiser's passes with the merge (without it when the merge
    // would lose colours), and, when they did not make it smaller, the image as it is.
    // The clean-up pass deletes a loop block on any frame but the first, which would end the
    // looping: such animations start from the image as it is.
    int first = LoopPoint(image) > 0 ? 2 : 0;
    std::unique_ptr<TGIFImage> best;
    if (first == 0) {
        best = std::make_unique<TGIFImage>();
        best->Assign(&image);
    }
    const std::vector<TShownPicture> pictures = PicturesMeanwhile(image, background, [&best] {
        if (best) PassesAndRewrite(*best);
    });
    const std::vector<TShownPicture> reference = Timeline(pictures);

    // Mostly the passes with the merge and the rewrite show the same: checked in one go.
    // The play runs beside the rest, which changes nothing it reads: the choice of row
    // orders and LZW parses (no pixel changes), writing the result, and measuring the input
    // only as far as needed to know that it is larger.
    TMemoryStream bestBytes;
    int64_t bestSize = 0;
    int64_t before = -1;
    bool passesShowTheSame = false;
    if (best) {
        const std::vector<TShownPicture> shown = PicturesMeanwhile(*best, background, [&] {
            ChooseFrameEncodings(*best);
            // The input is measured beside the writing of the result, until it is known
            // to be larger.
            std::atomic<int64_t> limit = std::numeric_limits<int64_t>::max() - 1;
            before = Alongside([&] { return SavedSizeUpTo(image, limit); },
                               [&] {
                                   best->SaveToStream(bestBytes);
                                   bestSize = bestBytes.Size();
                                   limit = bestSize;
                               },
                               WorthASecondThread(image));
        });
        if (Timeline(shown) == reference) {
            passesShowTheSame = true;
            first = 2;
        } else {
            best.reset();
            before = SavedSize(image);
        }
    } else {
        before = SavedSize(image);
    }
    if (best && before <= bestSize) best.reset();
    if (best) {
        result.BytesBefore = before;
        result.BytesAfter = bestSize;
        image.Assign(best.get());
        result.Changed = true;
        if (written) *written = bestBytes.TakeBytes();
        return result;
    }
    result.BytesBefore = result.BytesAfter = before;
    bool passesHelped = false;
    for (int start = first; start < 3; ++start) {
        if (start == 1 && passesShowTheSame) continue;
        if (start == 2 && passesHelped) continue;
        auto work = std::make_unique<TGIFImage>();
        work->Assign(&image);
        std::vector<TShownPicture> workPictures;
        if (start < 2) {
            work->Optimize(AllPasses);
            if (start == 0) work->OptimizeColorMaps();
            workPictures = ShownPictures(*work, background);
            if (Timeline(workPictures) != reference) continue;
            passesShowTheSame = true;
        }
        if (!RewriteFrames(*work, background, start < 2 ? workPictures : pictures)) continue;
        // The colour numbering shows the same by construction; one play confirms it.
        // So does folding the frames that draw nothing into the ones before.
        auto renumbered = std::make_unique<TGIFImage>();
        renumbered->Assign(work.get());
        const bool merged = MergeStillFrames(*renumbered) > 0;
        const bool numbered = OrderColorsForCodeSizes(*renumbered);
        if ((DropUnusedGlobalEntries(*renumbered) || numbered || merged) &&
            Timeline(ShownPictures(*renumbered, background)) == reference)
            work = std::move(renumbered);
        ChooseFrameEncodings(*work);
        const int64_t size = SavedSize(*work);
        if (start < 2) passesHelped = size < result.BytesBefore;
        if (size < result.BytesAfter) {
            result.BytesAfter = size;
            best = std::move(work);
        }
    }
    if (best) {
        image.Assign(best.get());
        result.Changed = true;
    }
    return result;
}

} // namespace

TBestOptimizeResult OptimizeBest(TGIFImage& image, std::vector<uint8_t>* written) {
    if (written) written->clear();
    TBestOptimizeResult result = Run(image, written);
    if (written && written->empty()) {
        TMemoryStream stream;
        image.SaveToStream(stream);
        *written = stream.TakeBytes();
    }
    return result;
}

} // namespace gif
