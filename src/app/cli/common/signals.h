// Stopping loopwright-cli with SIGINT, SIGTERM or SIGHUP during a save removes the
// save's temporary file before the process ends.
#pragma once

namespace cli {

// Installs the handlers; signals the caller's parent set to be ignored stay ignored.
void InstallStopSignalCleanup();

} // namespace cli
