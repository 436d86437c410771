// The main window's side of the wizards window: the commands that open it.
#include "editor/core/settings.h"
#include "editor/window/main_window.h"
#include "editor/window/wizards_host.h"

#include <QAction>
#include <QMenu>

namespace editor {

void TfrmMain::SetWizards(IWizards* wizards) {
    wizards_ = wizards;
    QMenu* help = TopMenu("mnuHelp");
    QAction* tips = help ? help->findChild<QAction*>("mniTipOfDay") : nullptr;
    QAction* welcome = help ? help->findChild<QAction*>("mniWelcome") : nullptr;
    if (!wizards) return;
    MarkAvailable(Action(TActionId::FileNew));
    ActionChanged(TActionId::FileNew);
    for (QAction* item : {tips, welcome}) {
        if (!item) continue;
        MarkAvailable(item);
        item->setEnabled(true);
        item->disconnect(this);
    }
    if (tips) connect(tips, &QAction::triggered, this, [this] { wizards_->TipOfTheDay(); });
    if (welcome) connect(welcome, &QAction::triggered, this, [this] { wizards_->WelcomeWindow(); });
}

bool TfrmMain::ShowWizard(void (IWizards::*which)()) {
    if (!wizards_) return false;
    HideStartupAnimation();
    StopPlayback(true);
    (wizards_->*which)();
    return true;
}

void TfrmMain::ShowWelcomeAtStartup() {
    if (wizards_ && settings_.Value(keys::WelcomeDialog) == 0) wizards_->WelcomeWindow();
}

} // namespace editor
