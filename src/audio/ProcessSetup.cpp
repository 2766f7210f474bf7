#include "audio/ProcessSetup.h"

#include <alsa/asoundlib.h>

#include <atomic>

#include "doc/DecoderLog.h"

namespace tonmira {

namespace {

// Relaxed: set by main before any backend exists, read when one is constructed afterwards on
// the same thread.
std::atomic<bool> g_silenceStderrWhileProbing{false};

// ALSA reports every PCM it cannot open while PortAudio probes; none of that concerns the user.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void ConfigureProcessForDesktop()
{
    QuietDecoderLog();
    LimitDecoderAllocations();
    snd_lib_error_set_handler(&QuietAlsaErrors);
}

void ConfigureProcessForCli()
{
    ConfigureProcessForDesktop();
    g_silenceStderrWhileProbing.store(true, std::memory_order_relaxed);
}

bool SilenceStderrWhileProbing() { return g_silenceStderrWhileProbing.load(std::memory_order_relaxed); }

}  // namespace tonmira
