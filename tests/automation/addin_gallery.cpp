// Pictures of the add-ins: the main window with the Plug-ins menu open on the shipped
// add-ins (and Timing's submenu), and the Plugin Information window.
//   addin_gallery OUT ADDINS
#include "automation/addins/addin_manager.h"
#include "automation/menus/menu_item.h"
#include "automation/model/application.h"
#include "automation/ui/plugin_explorer.h"
#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/document/workspace.h"
#include "editor/support/editor_test_util.h"
#include "editor/window/main_window.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void Pump() {
    for (int i = 0; i < 20; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 3) return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir home;
    editor::Settings settings(home.filePath("settings.ini"));
    settings.SetValue(editor::keys::DisplayAnimation, 0);
    editor::TfrmMain window(settings);
    window.resize(900, 560);
    window.show();
    Pump();
    auto context = std::make_shared<automation::TAutomationContext>(
        automation::TAutomationContext{window, nullptr, nullptr});
    auto app = std::make_shared<automation::TGIFApplication>(context);
    const QString error = automation::LoadAddIns(window, app, {QString::fromLocal8Bit(argv[2])}, nullptr);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    // A document, so that the add-ins' items are enabled.
    const QString gif = home.filePath("frames.gif");
    editortest::MakeAnimation(5, 160, 120)->SaveToFile(editor::NativePath(gif));
    window.Workspace().OpenGifDocument(gif);
    app->RefreshDocumentItems();
    Pump();

    // The window, with the menu and the submenu drawn where they open.
    QMenu* plugins = window.TopMenu("mnuPlugins");
    const QRect titleRect = window.menuBar()->actionGeometry(plugins->menuAction());
    const QPoint menuAt = window.menuBar()->mapTo(&window, titleRect.bottomLeft());
    plugins->popup(window.mapToGlobal(menuAt));
    Pump();
    QAction* timing = automation::FindMenuItem(*window.menuBar(), "Plug-ins|Timing");
    plugins->setActiveAction(timing);
    QMenu* sub = timing->menu();
    const QPoint subAt = menuAt + QPoint(plugins->width() - 4, plugins->actionGeometry(timing).top());
    sub->popup(window.mapToGlobal(subAt));
    Pump();
    QPixmap picture = window.grab();
    {
        QPainter painter(&picture);
        painter.drawPixmap(menuAt, plugins->grab());
        painter.drawPixmap(subAt, sub->grab());
    }
    picture.save(out + "/plugins-menu.png");
    sub->hide();
    plugins->hide();

    automation::TfrmPlugInExplorer explorer(&window);
    explorer.show();
    Pump();
    explorer.lbPlugIns->setCurrentRow(0);
    Pump();
    explorer.grab().save(out + "/plugin-information.png");
    return 0;
}
