#include "editor/window/recovery_start.h"

#include "editor/document/recovery.h"
#include "editor/window/main_window.h"

#include <QPointer>
#include <QTimer>

namespace editor {

void OfferRecoveryWhenRunning(TfrmMain& window) {
    QPointer<TfrmMain> alive(&window);
    QTimer::singleShot(0, &window, [alive] {
        if (alive) OfferRecovery(alive->Workspace());
    });
}

} // namespace editor
