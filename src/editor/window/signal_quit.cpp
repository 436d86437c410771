#include "editor/window/signal_quit.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace editor {

namespace {

// The pair: the handler writes a byte into [0], the notifier reads it from [1].
int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t requested = 0;

extern "C" void NoteSignal(int number) {
    requested = 1;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

// Leaves every event loop: the main one and any nested one (a modal box, the splash
// window's waiting). Loops started afterwards return at once, until the main loop.
void EndAllLoops() {
    QCoreApplication::exit(0);
}

} // namespace

void InstallTerminationHandlers() {
    if (signalPipe[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    struct sigaction action = {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
}

bool TerminationRequested() {
    return requested != 0;
}

void QuitOnTerminationSignals(QObject& owner) {
    InstallTerminationHandlers();
    if (signalPipe[1] < 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &owner, [] {
        char bytes[16];
        while (::read(signalPipe[1], bytes, sizeof bytes) > 0) {
        }
        EndAllLoops();
    });
}

} // namespace editor
