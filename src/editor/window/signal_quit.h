// Ends the editor through its event loop when the session asks it to (SIGTERM, SIGINT,
// SIGHUP), so that the windows and documents are destroyed as at a normal exit, the
// settings are written and the temporary files (backing files, undo snapshots, the
// clipboard GIF) are deleted. The real files are not touched: unsaved edits are dropped, as
// a killed editor drops them, and no question is asked on the way out.
//
// A request is remembered from the moment the handlers are installed: one that arrives
// while the program starts (the splash window runs loops of its own, a message box may be
// up) ends every loop then running and keeps the main loop from starting at all.
#pragma once

class QObject;

namespace editor {

// Installs the signal handlers (once). Call it first thing in main, before the
// application object exists: from then on no request is lost.
void InstallTerminationHandlers();
// A termination signal has arrived.
bool TerminationRequested();
// Installs the handlers if needed and has every request end all running event loops
// (QCoreApplication::exit, which closes no window and so asks nothing), also one that
// arrived before. The watcher lives as long as `owner`.
void QuitOnTerminationSignals(QObject& owner);

} // namespace editor
