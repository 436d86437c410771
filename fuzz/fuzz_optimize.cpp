// Loads arbitrary bytes as a GIF file and optimises what loads, two ways: the optimiser's
// passes with the colour-table merge (they must not fail in any other way than refusing an
// unwritable image), and the best-effort optimiser, whose result must show exactly what the
// input shows, for as long, and must be no larger.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "gif/base/stream.h"
#include "gif/model/image.h"
#include "gif/optimize/best_optimize.h"
#include "gif/optimize/display_check.h"

namespace {

void IgnoreWarnings(gif::TGIFImage& image) {
    image.WarningHandler = [](gif::TObject*, uint8_t, const std::string&) {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gif::TGIFImage image;
    image.MaxFramePixels = 1 << 16; // keep every run small and fast
    IgnoreWarnings(image);
    gif::TMemoryStream in(std::span<const uint8_t>(data, size));
    try {
        image.LoadFromStream(in);
    } catch (const std::runtime_error&) {
        // Damaged input is refused; the frames read so far stay and are optimised below.
    }
    if (image.Empty() || gif::optimize::CopiedScreenPixels(image) > (1 << 16) ||
        image.FrameCount() > 64)
        return 0;

    try {
        gif::TGIFImage passes;
        passes.Assign(&image);
        IgnoreWarnings(passes);
        passes.Optimize(gif::optTrim | gif::optDuplicatePixels | gif::optCleanup |
                        gif::optSortPalettes);
        passes.OptimizeColorMaps();
        gif::TCountingStream counter;
        passes.SaveToStream(counter);
    } catch (const std::runtime_error&) {
        // Pixels outside their colour table, or nothing writable: refused, not broken.
    }

    // The optimiser's own input: a copy of a frame grows the screen to hold it, so the copy
    // may show more than what was loaded.
    gif::TGIFImage best;
    best.Assign(&image);
    IgnoreWarnings(best);
    const gif::TColor background = gif::optimize::UnusedColor({&best});
    std::vector<gif::optimize::TShownPicture> shownBefore;
    try {
        shownBefore = gif::optimize::Timeline(gif::optimize::ShownPictures(best, background));
    } catch (const std::runtime_error&) {
        return 0; // the renderer refuses it (no colour table at all): nothing to compare
    }
    gif::TBestOptimizeResult result;
    try {
        result = gif::OptimizeBest(best);
    } catch (const std::runtime_error&) {
        return 0; // an image that cannot be written cannot be measured either
    }
    if (result.BytesAfter > result.BytesBefore) std::abort();
    if (gif::optimize::Timeline(gif::optimize::ShownPictures(best, background)) != shownBefore)
        std::abort();
    return 0;
}
