#include "doc/TempFileRegistry.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace tonmira {

namespace {

// free -> claimed (path being copied, not yet visible to the handler) -> live -> free.
enum SlotState : int { kFree, kClaimed, kLive };

struct Slot {
    std::atomic<int> state{kFree};
    char path[4096];
};

// More slots than saves that can run at once (one per collection job and the document).
constexpr int kSlots = 64;
Slot g_slots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

void OnTerminatingSignal(int sig)
{
    RemoveRegisteredTempFiles();
    // SA_RESETHAND has restored the default action and SA_NODEFER lets it act at once.
    raise(sig);
}

}  // namespace

int RegisterTempFile(const char* path)
{
    std::size_t length = std::strlen(path);
    if (length >= sizeof g_slots[0].path)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        // acquire pairs with the release of ForgetTempFile: the old path is no longer read.
        if (!g_slots[i].state.compare_exchange_strong(expected, kClaimed, std::memory_order_acquire))
            continue;
        std::memcpy(g_slots[i].path, path, length + 1);
        // release pairs with the acquire in RemoveRegisteredTempFiles: the path is complete.
        g_slots[i].state.store(kLive, std::memory_order_release);
        return i;
    }
    return -1;
}

void ForgetTempFile(int slot)
{
    if (slot >= 0 && slot < kSlots)
        g_slots[slot].state.store(kFree, std::memory_order_release);
}

void RemoveRegisteredTempFiles()
{
    for (Slot& slot : g_slots) {
        if (slot.state.load(std::memory_order_acquire) == kLive)
            unlink(slot.path);
    }
}

void RemoveTempFilesOnSignals()
{
    struct sigaction action {};
    action.sa_handler = &OnTerminatingSignal;
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        // A signal the caller's environment ignores (nohup) stays ignored.
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        sigaction(sig, &action, nullptr);
    }
}

}  // namespace tonmira
