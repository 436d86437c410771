// The Help menu: the help pages shipped with the program and the product's web site.
#include <QDir>

#include "editor/core/shell.h"
#include "editor/window/main_window.h"
#include "editor/window/program_files.h"

namespace editor {

namespace {

// The product's web site; its "help/" folder holds the online support pages.
constexpr const char* WebSite = "https://loopwright.example.org/";

} // namespace

void TfrmMain::HelpContentsExecute() {
    const QString help = ProgramFile(QString("help/") + HelpFileName);
    ShellOpen(*prompter_, help.isEmpty() ? QString(WebSite) + "help/" : help);
}

void TfrmMain::OpenWebLink(const char* name) {
    const QString site = WebSite;
    const QString target = QString(name) == "mniSupport"    ? site + "help/"
                           : QString(name) == "mniDownload" ? site + "download/"
                                                            : site;
    ShellOpen(*prompter_, target);
}

} // namespace editor
