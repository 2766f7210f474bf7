#pragma once
// What the transport needs from its owner: timer 1 and a message sink, and an ear for what it
// changed. The session implements it for its transport; tests implement it directly. Every call
// comes from the thread that runs the transport's commands and timer.
#include "base/Changes.h"
#include "base/MessageSink.h"
#include "base/Types.h"

namespace tonmira {

// The timer that drives the transport (recording and playback ticks).
constexpr int kTransportTimer = 1;

class TransportHost : public MessageSink {
public:
    // kTransportTimer drives the transport: after `ms` milliseconds the host calls CTransport::OnTimer(id)
    // once; arming again replaces the pending time.
    virtual void SetTimer(int id, UINT ms) = 0;
    virtual void KillTimer(int id) = 0;
    // The transport changed what `changes` names (see base/Changes.h); kChangeAnalysis here means
    // that the analysis of the window must be computed afresh.
    virtual void Changed(ChangeSet /*changes*/) {}
};

}  // namespace tonmira
