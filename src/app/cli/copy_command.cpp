// `copy IN OUT [--rle]`: load a GIF and save it again.
#include <cstdio>

#include "commands.h"
#include "gif/model/image.h"
#include "load.h"

namespace cli {

namespace {

int RunCopy(const Args& args) {
    std::vector<std::string> files;
    bool rle = false;
    for (const std::string& arg : args) {
        if (arg == "--rle") rle = true;
        else files.push_back(arg);
    }
    if (files.size() != 2) {
        std::fprintf(stderr, "Usage: loopwright-cli copy IN OUT [--rle]\n");
        return 2;
    }
    gif::TGIFImage image;
    LoadGif(image, files[0], /*showWarnings=*/true);
    CheckHasFrames(image, files[0]);
    image.EncodingMethod = rle ? gif::emRLE : gif::emLZW;
    WorkOnGif(image, files[0], [&] { SaveGif(image, files[1]); });
    return 0;
}

} // namespace

const Command CopyCommand = {"copy", "copy IN OUT [--rle]       load a GIF and write it again",
                             RunCopy};

} // namespace cli
