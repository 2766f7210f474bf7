#include "cli/CliInterrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "doc/TempFileRegistry.h"

namespace tonmira::cli {

namespace {

std::atomic<int> g_interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

void OnSignal(int)
{
    if (g_interrupts.fetch_add(1, std::memory_order_relaxed) > 0) {
        RemoveRegisteredTempFiles();
        _exit(130);
    }
}

}  // namespace

void InstallInterruptHandler()
{
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// Relaxed: a count of signals that publishes nothing else.
bool Interrupted() { return g_interrupts.load(std::memory_order_relaxed) > 0; }

}  // namespace tonmira::cli
