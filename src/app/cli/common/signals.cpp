#include "signals.h"

#include <csignal>
#include <initializer_list>

#include "gif/base/temp_files.h"

namespace cli {

namespace {

// Removes the temporary files, then lets the signal end the process as it would have
// without a handler (so the exit status still tells which signal it was).
extern "C" void OnStopSignal(int sig) {
    gif::RemoveRegisteredTempFiles();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

} // namespace

void InstallStopSignalCleanup() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&action.sa_mask, sig);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous;
        if (sigaction(sig, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        sigaction(sig, &action, nullptr);
    }
}

} // namespace cli
