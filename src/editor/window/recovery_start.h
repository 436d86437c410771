// At start: the unsaved changes of editors that were killed are offered once the main
// window runs its event loop (so that the questions show over it, not under the splash).
#pragma once

namespace editor {

class TfrmMain;

void OfferRecoveryWhenRunning(TfrmMain& window);

} // namespace editor
