// `info FILE`: what a GIF file holds, frame by frame.
#include <cstdio>

#include "commands.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "load.h"

namespace cli {

namespace {

const char* DisposalName(int code) {
    static const char* const names[] = {"none", "leave", "background", "previous"};
    return code < 4 ? names[code] : "reserved";
}

std::string IdentifierText(const gif::TAppIdentifier& id) {
    std::string text;
    for (uint8_t c : id) text += (c >= 32 && c < 127) ? char(c) : '.';
    return text;
}

void PrintBlocks(const gif::TGIFSubImage& frame) {
    for (int i = 0; i < frame.Blocks().ItemCount(); ++i) {
        gif::TGIFExtension* block = frame.Blocks().Extensions(i);
        if (auto* gce = dynamic_cast<gif::TGIFGraphicControlExtension*>(block)) {
            std::printf("    graphic control: delay %u, disposal %u (%s), user input %s, "
                        "transparent %s, transparent index %u\n",
                        gce->DelayTime(), gce->DisposalCode(), DisposalName(gce->DisposalCode()),
                        gce->UserInputFlag() ? "yes" : "no", gce->TransparentFlag() ? "yes" : "no",
                        gce->TransparentIndex());
        } else if (auto* loop = dynamic_cast<gif::TGIFAppExtNSLoop*>(block)) {
            std::printf("    loop count: %u%s (%s)\n", loop->LoopCount,
                        loop->LoopCount == 0 ? " (for ever)" : "",
                        IdentifierText(loop->AppIdentifier).c_str());
        } else if (auto* app = dynamic_cast<gif::TGIFUnknownAppExtension*>(block)) {
            std::printf("    application block %s: %zu data sub-blocks\n",
                        IdentifierText(app->AppIdentifier).c_str(), app->DataBlocks.size());
        } else if (auto* comment = dynamic_cast<gif::TGIFCommentExtension*>(block)) {
            for (const std::string& line : comment->CommentLines())
                std::printf("    comment: %s\n", line.c_str());
        } else if (auto* text = dynamic_cast<gif::TGIFTextExtension*>(block)) {
            std::printf("    plain text at %u,%u:", text->GridLeft, text->GridTop);
            for (const std::string& line : text->TextLines()) std::printf(" %s", line.c_str());
            std::printf("\n");
        }
    }
}

// The entries of a colour table as RRGGBB, eight to a line.
void PrintColors(const gif::TGIFColorMap& table) {
    int column = 0;
    for (const gif::TGIFColor& c : table.Entries()) {
        std::printf(column == 0 ? "    colors:" : "");
        std::printf(" %02X%02X%02X", c.Red, c.Green, c.Blue);
        if (++column == 8) {
            std::printf("\n");
            column = 0;
        }
    }
    if (column) std::printf("\n");
}

int RunInfo(const Args& argsIn) {
    Args args = argsIn;
    bool colors = false;
    if (args.size() == 2 && args[1] == "--colors") {
        colors = true;
        args.pop_back();
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "Usage: loopwright-cli info FILE [--colors]\n");
        return 2;
    }
    gif::TGIFImage image;
    LoadGif(image, args[0], /*showWarnings=*/true);

    const gif::TGIFHeader& header = image.Header();
    std::printf("%s\n", args[0].c_str());
    std::printf("  version: GIF%s\n", gif::GifVersionText(image.GifVersion()));
    std::printf("  logical screen: %d x %d, background index %u, aspect %u\n", image.Width(),
                image.Height(), header.BackgroundIndex(), header.PixelAspect());
    std::printf("  global color table: %d entries%s\n", header.GlobalTable().EntryCount(),
                header.GlobalTable().SortedByUse() ? " (sorted)" : "");
    if (colors) PrintColors(header.GlobalTable());
    std::printf("  frames: %d\n", image.FrameCount());
    for (int i = 0; i < image.FrameCount(); ++i) {
        const gif::TGIFSubImage& frame = *image.Frame(i);
        if (frame.IsBlank()) {
            std::printf("  frame %d: blank (carries %d extension blocks)\n", i,
                        frame.Blocks().ItemCount());
        } else {
            std::printf("  frame %d: %u x %u at %u,%u, local color table: %d entries%s, %s\n", i,
                        frame.FrameWidth(), frame.FrameHeight(), frame.FrameLeft(), frame.FrameTop(),
                        frame.LocalTable().EntryCount(),
                        frame.LocalTable().SortedByUse() ? " (sorted)" : "",
                        frame.IsInterlaced() ? "interlaced" : "not interlaced");
            if (colors) PrintColors(frame.LocalTable());
        }
        PrintBlocks(frame);
    }
    return 0;
}

} // namespace

const Command InfoCommand = {"info",
                             "info FILE                 describe a GIF file frame by frame\n"
                             "                            [--colors] (the colour tables' entries)",
                             RunInfo};

} // namespace cli
