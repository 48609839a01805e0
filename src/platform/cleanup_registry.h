#pragma once

namespace velarix {
// The temporary files alive in this process, so that a signal that ends the program can
// remove them. The list is a fixed array of atomic slots holding copies of the paths:
// registering never allocates, and the removal is safe inside a signal handler.

// Registers `path`; returns the slot to release, or -1 when the path is too long or every
// slot is taken (the file is then only removed by its owner, not on a signal).
int registerTemporaryFile(const char* path) noexcept;

// Forgets a slot (the file itself is not touched); -1 is ignored.
void releaseTemporaryFile(int slot) noexcept;

// Removes every registered file. Async-signal-safe.
void removeTemporaryFilesNow() noexcept;

// Removes the registered files and ends the process by `signal` with its default action,
// so that the parent sees the signal (a shell reports 128 + signal). Async-signal-safe.
[[noreturn]] void endBySignal(int signal) noexcept;

// For programs without an orderly stop: SIGINT, SIGTERM, SIGHUP and SIGPIPE end the
// program through endBySignal.
void installSignalCleanup();

}  // namespace velarix
