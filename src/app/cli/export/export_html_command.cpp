// `export-html IN OUT`: a web page that shows the animation IN at its size.
#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "gif/model/image.h"
#include "io/export/html_page.h"
#include "load.h"

namespace cli {

namespace {

int RunExportHtml(const Args& args) {
    if (args.size() != 2 || args[0] == "-") {
        std::fprintf(stderr, "Usage: loopwright-cli export-html IN.gif OUT.htm\n"
                             "  (IN must be a file: the page names it by its full path)\n");
        return 2;
    }
    gif::TGIFImage image;
    LoadGif(image, args[0], /*showWarnings=*/true);
    const std::string path = std::filesystem::absolute(args[0]).lexically_normal().string();
    io::WriteHtmlPage(OutputName(args[1]), io::HtmlPageText(path, image.Height(), image.Width()));
    return 0;
}

} // namespace

const Command ExportHtmlCommand = {
    "export-html",
    "export-html IN OUT        write a web page (OUT, .htm) that shows the animation IN",
    RunExportHtml};

} // namespace cli
