// At start: the unsaved changes of editors that were killed are offered once the main
// window runs its event loop and its start-up work is done (so that the questions show
// over it, not under the splash or behind the add-ins' loading window).
#pragma once

namespace editor {

class TfrmMain;

void OfferRecoveryWhenRunning(TfrmMain& window);

} // namespace editor
