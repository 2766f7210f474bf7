#pragma once
// The process-wide settings of the sound and decoder libraries. Each program's main makes one of
// these calls first, before any device or file is opened; nothing else in the core changes the
// process's state (its file descriptors, a library's global handlers or log level).

namespace tonmira {

// tonmira-cli: FFmpeg's log off, ALSA's error printer replaced by one that prints nothing, and
// stderr pointed at /dev/null while PortAudio probes the devices (the JACK client library
// prints its connection attempts there and has no handler to silence it). The CLI has one
// thread then, so the redirect hides nobody else's output; its stderr carries only its messages.
void ConfigureProcessForCli();

// The desktop program: FFmpeg's log and ALSA's error printer off as for the CLI, but stderr is
// never redirected, since other threads of a GUI process may write there at any time.
void ConfigureProcessForDesktop();

// Whether PortAudioBackend silences stderr while it initialises PortAudio (ConfigureProcessForCli).
bool SilenceStderrWhileProbing();

}  // namespace tonmira
