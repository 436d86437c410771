#include "automation/addins/addin_manager.h"

#include "automation/addins/addin.h"
#include "automation/menus/menu_item.h"
#include "automation/model/application.h"
#include "editor/core/progress_window.h"
#include "editor/core/prompter.h"
#include "editor/window/main_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QMenu>
#include <QMenuBar>
#include <QPluginLoader>
#include <QStandardPaths>

namespace automation {

namespace {

// A failed call of an add-in: it is skipped, the others still load.
struct EAddInCall {};

void Check(int hresult) {
    if (hresult < 0) throw EAddInCall{};
}

// Shows the Plug-ins menu when it has items, "&Plugin Info..." when add-ins loaded.
void ShowPlugInMenus(editor::TfrmMain& window) {
    if (QMenu* plugins = window.TopMenu("mnuPlugins"))
        plugins->menuAction()->setVisible(!plugins->actions().isEmpty());
    if (QAction* info = FindMenuItem(*window.menuBar(), "Help|Plugin Info..."))
        info->setVisible(!TAddInCollection::Instance().Empty());
}

} // namespace

TAddInCollection& TAddInCollection::Instance() {
    static TAddInCollection collection;
    return collection;
}

QStringList AddInFolders() {
    QStringList folders;
    folders << QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../lib/loopwright/addins");
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty()) folders << data + "/loopwright/addins";
    return folders;
}

QStringList FindAddIns(const QStringList& folders) {
    QStringList found;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name)) {
            if (!QLibrary::isLibrary(entry.fileName())) continue;
            if (found.size() == MaxAddIns) return found;
            found << entry.absoluteFilePath();
        }
    }
    return found;
}

QString LoadAddIns(editor::TfrmMain& window, const std::shared_ptr<TGIFApplication>& application,
                   const QStringList& folders, const TProgressFactory& createProgress) {
    std::unique_ptr<editor::IProgressWindow> progress = createProgress ? createProgress() : nullptr;
    if (progress) {
        progress->SetCancelVisible(false);
        progress->SetRange(0, 6);
        progress->SetFileLabel("Scanning for Loopwright Plug-ins...");
        progress->SetProgressLabel({});
        progress->Show();
        progress->ProcessEvents();
    }
    window.setEnabled(false);
    QString error;
    try {
        // The three steps of the scan: the folders, the list, the count.
        if (progress) progress->StepIt();
        const QStringList files = FindAddIns(folders);
        if (progress) {
            progress->StepIt();
            progress->StepIt();
        }
        if (!files.isEmpty() && progress) {
            progress->SetFileLabel("Loading Loopwright Plug-ins...");
            progress->SetRange(0, int(files.size()) + 1);
            progress->SetPosition(1);
            progress->ProcessEvents();
        }
        for (const QString& file : files) {
            // Libraries stay loaded: the menu handlers an add-in registered run its code.
            QPluginLoader loader(file);
            QObject* instance = loader.instance();
            if (!instance) throw EAutomationError(loader.errorString());
            auto* addIn = qobject_cast<IAddIn*>(instance);
            if (!addIn)
                throw EAutomationError(QString("%1 is not a Loopwright plug-in: it offers no IAddIn").arg(file));
            try {
                QString description, title, version;
                Check(addIn->SetApplication(application));
                Check(addIn->GetDescription(description));
                Check(addIn->GetTitle(title));
                Check(addIn->GetVersion(version));
                if (progress) {
                    progress->StepIt();
                    progress->SetFileLabel(QString("Loading %1...").arg(title));
                    progress->ProcessEvents();
                }
                TAddInCollection::Instance().Add({description, title, version});
                Check(addIn->RegisterMenus());
            } catch (const EAddInCall&) {
                // Released and skipped; a listed item stays.
                addIn->SetApplication(nullptr);
            }
        }
    } catch (const std::exception& failure) {
        error = QString::fromUtf8(failure.what());
    }
    application->RefreshDocumentItems();
    ShowPlugInMenus(window);
    window.setEnabled(true);
    progress.reset();
    if (!error.isEmpty()) window.Prompter().Message(editor::TMessageKind::Error, error);
    return error;
}

} // namespace automation
