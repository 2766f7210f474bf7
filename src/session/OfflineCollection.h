#pragma once
// Automatic collection from a recording instead of a sound card: the recording is fed through
// the simulated input device buffer by buffer while a timer loop runs the transport's recording
// timer in virtual time, so the same session (recorder and engine) as live processes an hour in
// seconds.
//
// The input is held while an event is processed: live, the input device is closed from the
// worker's stop to its next record and that sound is never heard; a recording has no such
// deadline, so here the next take resumes where the last one stopped taking buffers and nothing
// of the recording is skipped, whatever the play count. The frames of a buffer still being filled
// at that stop are delivered again. Event names carry the start time plus the recording time
// consumed when the event file is written.
//
// Threads: construct, Run and destroy on one thread (the driver), which owns the session. While
// the worker computes an event the driver waits for it, so virtual time stands still meanwhile and
// the run is deterministic whatever the thread timing.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "audio/Clock.h"
#include "audio/LoopTransportHost.h"
#include "audio/SimulatedBackend.h"
#include "audio/TimerLoop.h"
#include "collect/CollectHost.h"
#include "collect/TimelineClock.h"
#include "session/TonmiraSession.h"

namespace tonmira {

class OfflineCollection {
public:
    // Fills dst (bytes of whole frames in the document's format) from byte offset `offset` of the
    // recording; offset + bytes never exceeds the length given to SetInput.
    using InputSource = std::function<void(BYTE* dst, std::size_t bytes, std::uint64_t offset)>;

    // Messages (the session's and the worker's) go to sink.
    explicit OfflineCollection(MessageSink& sink);
    ~OfflineCollection() = default;
    OfflineCollection(const OfflineCollection&) = delete;
    OfflineCollection& operator=(const OfflineCollection&) = delete;

    // Before Run, on the session: the document's format (rate, bits, channels; the document
    // receives each event in turn), the settings (a collection level) and N (SetFftSize).
    TonmiraSession& Session() { return m_session; }

    // The recording of inputBytes bytes, whose first frame was heard at `start`. name is the
    // input as the event log names it.
    void SetInput(InputSource input, std::uint64_t inputBytes, const LocalDateTime& start,
                  const std::string& name = "");

    // Applies the session's settings, then records until the whole input has been scanned and the
    // last event processed, and stops. Run again to go on from where the input stopped. False
    // when the analysis has no FFT engine (N not set up, or its set-up failed with the memory
    // message) or the recording could not start.
    bool Run();

    // Each processed event, on the driver's thread.
    std::function<void(const EventOutcome&)> m_onEvent;
    // After every timer tick and every event the worker hands back, on the driver's thread: tests
    // use it to press stop at a chosen moment.
    std::function<void()> m_onStep;

    CTransport& Transport() { return m_session.Transport(); }
    CollectionCycle& Collection() { return m_session.Collection(); }
    SimulatedBackend& Backend() { return m_backend; }
    // Bytes of the recording the recorder has taken or dropped so far.
    std::uint64_t ConsumedBytes() const;

private:
    void FillInput(BYTE* dst, std::size_t bytes, std::uint64_t position);
    bool InputScanned() const;
    void Step();

    // The event's start in the recording, for the log: where the recorder stopped minus its frames.
    void LocateEvent(EventOutcome& outcome) const;

    InputSource m_input;
    std::string m_strInputName;
    std::uint64_t m_nInputBytes = 0;
    // Fixed by Run from the document's format and N.
    std::uint64_t m_nBufferBytes = 1;
    std::uint32_t m_nRate = 1;
    std::uint32_t m_nFrameBytes = 1;
    // Driver thread only (the simulated device pumps there); the worker reads the consumed
    // position for the names while the driver waits for it, so these need no stronger order.
    std::atomic<std::uint64_t> m_nStreamBase{0};  // recording offset of the open stream's first byte
    std::atomic<std::uint64_t> m_nDelivered{0};   // bytes the open stream has delivered

    SimulatedBackend m_backend;
    VirtualClock m_clock;
    TimerLoop m_loop;
    LoopTransportHost m_view;
    TimelineClock m_timeline;
    CollectHost m_host;  // no post: the driver waits for the worker
    // Last: destroyed first, so the engine joins its worker while the hosts still exist.
    TonmiraSession m_session;
};

}  // namespace tonmira
