#pragma once
// The session on the real default devices for record, play and live collection: PortAudio, a
// real-time timer loop on the main thread standing in for the window's timer, the collection
// worker's post runs on that loop, local time from the system, messages on stderr.
#include <functional>

#include "audio/Clock.h"
#include "audio/LoopTransportHost.h"
#include "audio/PortAudioBackend.h"
#include "audio/TimerLoop.h"
#include "collect/LocalClock.h"
#include "collect/LoopCollectHost.h"
#include "session/TonmiraSession.h"

namespace tonmira {
class MessageSink;
}  // namespace tonmira

namespace tonmira::cli {

class CliTransportSession {
public:
    explicit CliTransportSession(MessageSink& sink);

    // Runs timer 1 until the transport is idle. Every 20 ms `shouldStop` is asked; when it says
    // so the stop command runs. Returns false when a stop left the transport running.
    bool RunUntilIdle(const std::function<bool()>& shouldStop);

    PortAudioBackend m_backend;
    SteadyClock m_clock;
    TimerLoop m_loop;
    LoopTransportHost m_host;
    LoopCollectHost m_collectHost;
    SystemLocalClock m_localTime;
    TonmiraSession m_session;
};

}  // namespace tonmira::cli
