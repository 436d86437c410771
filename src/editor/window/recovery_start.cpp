#include "editor/window/recovery_start.h"

#include "editor/document/recovery.h"
#include "editor/window/main_window.h"

#include <QPointer>

namespace editor {

void OfferRecoveryWhenRunning(TfrmMain& window) {
    QPointer<TfrmMain> alive(&window);
    window.AfterStartup([alive] {
        if (alive) OfferRecovery(alive->Workspace());
    });
}

} // namespace editor
