#pragma once
// The transport on the real default devices for record and play: PortAudio, a real-time timer
// loop on the main thread standing in for the window's timer, messages on stderr.
#include <functional>

#include "audio/Clock.h"
#include "audio/LoopTransportHost.h"
#include "audio/PortAudioBackend.h"
#include "audio/TimerLoop.h"
#include "audio/Transport.h"

namespace tonmira {
class CTonmiraDoc;
class MessageSink;
}  // namespace tonmira

namespace tonmira::cli {

class CliTransportSession {
public:
    CliTransportSession(CTonmiraDoc& doc, MessageSink& sink);

    // Runs timer 1 until the transport is idle. Every 20 ms `shouldStop` is asked; when it says
    // so the stop command runs. Returns false when a stop left the transport running.
    bool RunUntilIdle(const std::function<bool()>& shouldStop);

    PortAudioBackend m_backend;
    SteadyClock m_clock;
    TimerLoop m_loop;
    LoopTransportHost m_host;
    CTransport m_transport;

private:
    CTonmiraDoc& m_doc;
};

}  // namespace tonmira::cli
