// The Help menu: the help pages shipped with the program and the product's web site.
#include "editor/core/project_links.h"
#include "editor/core/shell.h"
#include "editor/window/main_window.h"
#include "editor/window/program_files.h"

#include <QDir>

namespace editor {

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
