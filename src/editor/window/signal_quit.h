// Ends the editor through its event loop when the session asks it to (SIGTERM, SIGINT,
// SIGHUP), so that the windows and documents are destroyed as at a normal exit and their
// temporary files (backing files, undo snapshots, the clipboard GIF) are deleted. The real
// files are not touched: unsaved edits are dropped, as a killed editor drops them.
#pragma once

class QObject;

namespace editor {

// Installs the handlers once; the quit runs in the event loop of `owner`'s thread.
void QuitOnTerminationSignals(QObject& owner);

} // namespace editor
