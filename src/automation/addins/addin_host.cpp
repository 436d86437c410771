#include "automation/addins/addin_host.h"

#include "automation/menus/menu_item.h"
#include "automation/model/application.h"
#include "automation/ui/plugin_explorer.h"
#include "editor/core/prompter.h"
#include "editor/window/main_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTimer>

namespace automation {

TAddInHost::TAddInHost(editor::TfrmMain& window, std::shared_ptr<TGIFApplication> application,
                       QStringList folders, TProgressFactory createProgress)
    : QObject(&window), window_(window), application_(std::move(application)),
      folders_(std::move(folders)), createProgress_(std::move(createProgress)) {
    window_.installEventFilter(this);
    if (QAction* info = FindMenuItem(*window_.menuBar(), "Help|Plugin Info..."))
        connect(info, &QAction::triggered, this, &TAddInHost::ShowExplorer);
    if (!application_) return;
    auto refresh = [this] { application_->RefreshDocumentItems(); };
    if (auto* timer = window_.findChild<QTimer*>("Timer"))
        connect(timer, &QTimer::timeout, this, refresh);
    if (auto* area = window_.findChild<QMdiArea*>())
        connect(area, &QMdiArea::subWindowActivated, this, refresh);
}

bool TAddInHost::eventFilter(QObject* watched, QEvent* event) {
    // Before the window's own start-up work, so the welcome window comes after the menus.
    if (watched == &window_ && event->type() == editor::StartupEventType && !loaded_) Load();
    return QObject::eventFilter(watched, event);
}

void TAddInHost::Load() {
    if (loaded_) return;
    loaded_ = true;
    if (!application_) {
        window_.Prompter().Message(editor::TMessageKind::Error, NoApplicationObject);
        return;
    }
    LoadAddIns(window_, application_, folders_, createProgress_);
}

void TAddInHost::ShowExplorer() {
    TfrmPlugInExplorer explorer(&window_);
    explorer.exec();
}

} // namespace automation
