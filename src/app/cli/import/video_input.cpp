#include "video_input.h"

#include "gif/model/image.h"
#include "gif/reduce/reduction.h"

#include <stdexcept>
#ifdef LOOPWRIGHT_WITH_IMAGING
#include "io/video/video_import.h"
#endif
#ifdef LOOPWRIGHT_WITH_EDITOR_CORE
#include "editor/core/palette_routines.h"
#include "editor/core/settings.h"
#endif

namespace cli {

#ifdef LOOPWRIGHT_WITH_IMAGING

bool IsVideoInput(const std::string& path) { return io::IsVideoFileName(path); }

void ImportVideo(gif::TGIFImage& image, const std::string& path, const TVideoChoice& choice) {
    io::TVideoImportOptions options;
    options.Depth = choice.Depth;
    if (choice.PaletteSettings) {
#ifdef LOOPWRIGHT_WITH_EDITOR_CORE
        editor::Settings settings;
        if (settings.Value(editor::keys::PaletteType) == editor::ptQuality) {
            options.SharedPalette = true;
            options.Dither = gif::BestDitherMode(gif::crQuality);
        } else {
            // The reduction the editor gives inserted pictures of this kind.
            gif::TGIFImage scratch;
            editor::ApplyPaletteSettings(scratch, settings);
            options.Reduction = gif::TColorReduction(scratch.ReductionMethod);
            options.Dither = gif::TDitherMode(scratch.DitherMethod);
            options.Depth = scratch.ReductionDepth();
        }
#else
        throw std::runtime_error("--palette-settings needs the editor's settings, not in this build");
#endif
    } else if (choice.Reduction) {
        if (*choice.Reduction == gif::crQuality) {
            // One least-error palette for the whole clip.
            options.SharedPalette = true;
            options.Dither = gif::TDitherMode(choice.Dither.value_or(gif::BestDitherMode(gif::crQuality)));
        } else {
            if (*choice.Reduction == gif::crNone || *choice.Reduction == gif::crCustom)
                throw std::runtime_error("a video needs a reduction to 256 colours");
            options.Reduction = gif::TColorReduction(*choice.Reduction);
            options.Dither = gif::TDitherMode(choice.Dither.value_or(gif::dtFloydSteinberg));
        }
    } else if (choice.Dither) {
        options.Dither = gif::TDitherMode(*choice.Dither);
    }
    io::ImportAvi(image, path, options);
    if (image.Empty()) throw std::runtime_error("Error importing " + path + " to GIF.");
}

#else

bool IsVideoInput(const std::string&) { return false; }

void ImportVideo(gif::TGIFImage&, const std::string&, const TVideoChoice&) {
    throw std::runtime_error("videos need the video import, not in this build");
}

#endif

} // namespace cli
