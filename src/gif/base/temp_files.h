// Temporary files of saves in progress, so that a program stopped by a signal can remove
// them instead of leaving NAME.~XXXXXX files behind.
//
// TSafeFileWriter registers its temporary file while it exists; a program that writes
// temporary files of its own may register them too. The library installs no signal
// handler. A program installs one for SIGINT, SIGTERM and SIGHUP that calls
// RemoveRegisteredTempFiles() and then ends the way the signal would (for example by
// restoring the default action and raising the signal again):
//
//     void OnStopSignal(int sig) {
//         gif::RemoveRegisteredTempFiles();
//         signal(sig, SIG_DFL);
//         raise(sig);
//     }
#pragma once

namespace gif {

// At most this many temporary files are registered at once; further ones are not.
inline constexpr int kMaxRegisteredTempFiles = 32;

// Registers `path` (a copy is kept; paths of 4096 bytes or more are not registered).
// Returns the slot to pass to UnregisterTempFile, or -1 when the file is not registered.
// Thread-safe.
int RegisterTempFile(const char* path) noexcept;

// Forgets the file of `slot` (nothing for -1). Call it once the file is renamed or
// removed. Thread-safe.
void UnregisterTempFile(int slot) noexcept;

// Removes every registered file. Async-signal-safe: meant for signal handlers. The slots
// stay registered; their owners unregister them as usual.
void RemoveRegisteredTempFiles() noexcept;

} // namespace gif
