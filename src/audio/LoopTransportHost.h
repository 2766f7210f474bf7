#pragma once
// A host without a screen: timer 1 (and any other id) runs on a TimerLoop, messages go to a
// MessageSink, dialogs answer Cancel and the controls are not shown. For the CLI and offline runs.
#include "audio/TimerLoop.h"
#include "audio/TransportHost.h"

namespace tonmira {

class LoopTransportHost : public TransportHost {
public:
    LoopTransportHost(TimerLoop& loop, MessageSink& sink) : m_loop(loop), m_sink(sink) {}

    void Message(const std::string& text) override { m_sink.Message(text); }
    void SetTimer(int id, UINT ms) override { m_loop.SetTimer(id, ms); }
    void KillTimer(int id) override { m_loop.KillTimer(id); }

private:
    TimerLoop& m_loop;
    MessageSink& m_sink;
};

}  // namespace tonmira
