#include "cli/CliInterrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "doc/TempFileRegistry.h"

namespace tonmira::cli {

namespace {

std::atomic<int> g_interrupts{0};
std::atomic<int> g_firstSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

void OnSignal(int sig)
{
    int none = 0;
    g_firstSignal.compare_exchange_strong(none, sig, std::memory_order_relaxed);
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
    // A hang-up that the caller ignores (nohup) stays ignored.
    struct sigaction hangUp {};
    if (sigaction(SIGHUP, nullptr, &hangUp) == 0 && hangUp.sa_handler != SIG_IGN)
        sigaction(SIGHUP, &action, nullptr);
}

void EndAsInterrupted()
{
    std::fflush(stdout);
    const int sig = g_firstSignal.load(std::memory_order_relaxed);
    const int ending = sig ? sig : SIGINT;
    std::signal(ending, SIG_DFL);
    ::raise(ending);
    std::_Exit(128 + ending);
}

// Relaxed: a count of signals that publishes nothing else.
bool Interrupted() { return g_interrupts.load(std::memory_order_relaxed) > 0; }

}  // namespace tonmira::cli
