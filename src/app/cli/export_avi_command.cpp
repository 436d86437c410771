// `export-avi IN.gif OUT.avi`: the animation as an uncompressed 8-bit AVI video, as the
// editor's "As AVI Animation..." writes it (frames flattened onto the first frame's size,
// one key frame per frame, rate 65).
#include <cstdio>

#include "commands.h"
#include "gif/model/image.h"
#include "io/avi/avi_export.h"
#include "io/avi/avi_messages.h"
#include "load.h"

namespace cli {

namespace {

int RunExportAvi(const Args& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "Usage: loopwright-cli export-avi IN.gif OUT.avi\n");
        return 2;
    }
    gif::TGIFImage image;
    LoadGif(image, args[0], /*showWarnings=*/true);
    if (image.Empty()) {
        std::fprintf(stderr, "loopwright-cli export-avi: %s\n", io::avimsg::ExportEmpty);
        return 1;
    }
    io::FlattenForAvi(image, {});
    // Written without seeking back, so standard output ("-") works as well.
    io::WriteAvi(OutputName(args[1]), image, {});
    return 0;
}

} // namespace

const Command ExportAviCommand = {
    "export-avi",
    "export-avi IN.gif OUT.avi  write the animation as an uncompressed 8-bit AVI video",
    RunExportAvi};

} // namespace cli
