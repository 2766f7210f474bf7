#pragma once
// The owner's half of automatic collection, as a small state machine on the session's thread:
//
//   Listening --(the recording tick finds an event's end)--> HandedOver
//   HandedOver --(right after that tick: stop, the event becomes the take, a copy goes to the
//                 worker)--> Processing            (no take: --> Settled)
//   Processing --(the worker is done: messages, log, "event done", the amplified take)-->
//                 Replaying (accepted) or Settled (rejected)
//   Replaying --(each playback ends; after the last, 10 ms)--> Settled
//   Settled --(empty document, record again unless finishing)--> Listening
//
// One event is in flight at a time; the worker never calls back, it posts "done" to the owner
// (CollectHost) or the owner waits for it (offline runs, shutting down).
#include <functional>
#include <memory>
#include <string>

#include "audio/CollectHandOver.h"
#include "collect/CollectionEngine.h"
#include "collect/EventLog.h"

namespace tonmira {

class CTonmiraDoc;
class CTransport;
class CollectHost;
class LocalClock;
class TransportHost;
class WindowAnalysis;
struct CollectSettings;
struct EventOutcome;

// The timer of the pause after a replay, beside the transport's timer 1.
constexpr int kCollectTimer = 4;

class CollectionCycle : public CollectHandOver {
public:
    // host: timer kCollectTimer and messages; announce: what the cycle changed (take, event done).
    CollectionCycle(CTransport& transport, CTonmiraDoc& doc, const WindowAnalysis& analysis,
                    const CollectSettings& settings, const LocalClock& clock, CollectHost& collectHost,
                    TransportHost& host, std::function<void(unsigned)> announce);
    ~CollectionCycle() override;
    CollectionCycle(const CollectionCycle&) = delete;
    CollectionCycle& operator=(const CollectionCycle&) = delete;

    // From the recording tick that found the end of an event. False, taking nothing, while the
    // analysis has no spectrum (after a failed size change) or an event is still in flight.
    bool OnCollectHandOver() override;

    // After every command, tick or post on the owner's thread: moves on when the step it waits
    // for has happened (an event handed over, a worker done, a replay ended).
    void Advance();
    // The pause after a replay has passed (timer kCollectTimer).
    void OnTimer(int id);
    // Offline runs: waits for the worker in flight, then goes on as when it posts.
    void WaitForWorker();

    // Between a hand-over and the next recording.
    bool IsRunning() const { return m_state != State::Listening; }
    // A worker computes an event now.
    bool IsWorkerBusy() const { return m_engine.IsBusy(); }

    // Shutting down: the event in flight is finished (logged and announced), not replayed, and
    // nothing records again.
    void Finish();

    // The detection level (0..50) the next event is analysed at.
    int m_nDetectLevel = 5;
    // Whether an event's replay is heard; a collection from a file counts the replayed sound
    // without keeping it, and then the take is amplified only as far as the analysis and an
    // amplified event file need it.
    bool m_bTakeHeard = true;
    // The last processed event (valid at "event done").
    EventOutcome m_lastEvent;
    // Every processed event is logged here, by default into events.csv in the event's folder. A
    // log that cannot be written is reported once.
    EventLog m_eventLog;
    // Before an event is logged: a collection from a file names its input and the event's start.
    std::function<void(EventOutcome&)> m_locateEvent;
    // On the owner's thread when the worker's post arrives; the session runs Advance there as one
    // of its commands. Unset: Advance directly.
    std::function<void()> m_onWorkerPost;

private:
    enum class State { Listening, HandedOver, Processing, Replaying, Pausing, Settled };
    void BeginEvent();
    bool StopIntoTake();
    void EndEvent(std::unique_ptr<CollectEvent> event);
    void ReplayNext();
    void RecordAgain();

    CTransport& m_transport;
    CTonmiraDoc& m_doc;
    const WindowAnalysis& m_analysis;
    const CollectSettings& m_settings;
    CollectHost& m_collectHost;
    TransportHost& m_host;
    std::function<void(unsigned)> m_announce;
    State m_state = State::Listening;
    int m_nReplaysLeft = 0;
    bool m_bFinishing = false;
    bool m_bLogFailureShown = false;
    // The worker's FFT engine and spectrum between events, kept while N stays.
    std::unique_ptr<CFftEngine> m_pFft;
    std::unique_ptr<int[], FreeDeleter> m_pSpectrum;
    // Last: its destructor joins the worker while the rest still exists.
    CCollectionEngine m_engine;
    // Cleared by the destructor, read on the owner's thread only: a post that arrives after the
    // cycle has gone does nothing.
    std::shared_ptr<bool> m_pAlive = std::make_shared<bool>(true);
};

}  // namespace tonmira
