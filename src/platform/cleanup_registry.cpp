#include "platform/cleanup_registry.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace velarix {

namespace {

constexpr int kSlotCount = 64;
constexpr size_t kPathCapacity = 4096;

// A slot is claimed (kFilling) before its path is copied, and the handler only reads
// kLive slots, so it never sees half a path. After a removal the slot stays kRemoved
// until its owner releases it: a slot is never reused behind its owner's back.
enum SlotState : int { kFree, kFilling, kLive, kRemoving, kRemoved };

struct Slot {
    std::atomic<int> state{kFree};
    char path[kPathCapacity];
};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free atomics");

Slot gSlots[kSlotCount];

void onFatalSignal(int signal) { endBySignal(signal); }

}  // namespace

int registerTemporaryFile(const char* path) noexcept {
    const size_t length = std::strlen(path);
    if (length == 0 || length >= kPathCapacity) return -1;
    for (int i = 0; i < kSlotCount; ++i) {
        int expected = kFree;
        if (!gSlots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(gSlots[i].path, path, length + 1);
        gSlots[i].state.store(kLive);
        return i;
    }
    return -1;
}

void releaseTemporaryFile(int slot) noexcept {
    if (slot < 0 || slot >= kSlotCount) return;
    int expected = kLive;
    if (gSlots[slot].state.compare_exchange_strong(expected, kFree)) return;
    expected = kRemoved;
    gSlots[slot].state.compare_exchange_strong(expected, kFree);
    // kRemoving: a handler on another thread is removing it and ends the process.
}

void removeTemporaryFilesNow() noexcept {
    for (Slot& slot : gSlots) {
        int expected = kLive;
        if (!slot.state.compare_exchange_strong(expected, kRemoving)) continue;
        unlink(slot.path);
        slot.state.store(kRemoved);
    }
}

void endBySignal(int signal) noexcept {
    removeTemporaryFilesNow();
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signal);
    pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(signal);
    _exit(128 + signal);  // a signal whose default action does not end the process
}

void installSignalCleanup() {
    struct sigaction action {};
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&action.sa_mask, signal);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaction(signal, &action, nullptr);
}

}  // namespace velarix
