#pragma once
// CCollectionEngine: the half of automatic collection that follows the recording timer's
// hand-over. For each event that the timer finds ended it starts one worker thread, which stops
// the recording (the event becomes the take), writes, analyses, renames, replays or deletes or
// marks the event file, empties the document and records again.
//
// Threads: the constructor, OnCollectHandOver, JoinWorker and the destructor run on the thread
// that owns the transport and the document (the UI thread, or the CLI's loop). ProcessEvent runs
// on the worker; every transport, document or screen operation it needs beyond the analysis goes
// through CollectHost::RunOnUiThread. While the transport's collection-busy flag is set the worker owns the document's
// samples, the FFT engine and the spectrum: the owner's thread must not compute a spectrum or
// draw the take meanwhile (the recording timer is off then).
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "audio/CollectHandOver.h"
#include "collect/CollectSettings.h"
#include "collect/EventLog.h"
#include "base/Types.h"

namespace tonmira {

class CTonmiraDoc;
class CTransport;
class CollectHost;
class LocalClock;
class TransportHost;
struct EventOutcome;
class WindowAnalysis;

class CCollectionEngine : public CollectHandOver {
public:
    // Nothing is owned. Each event is analysed with the analysis's FFT engine and spectrum,
    // which must be set up for its N when an event is handed over. Registers itself as the
    // transport's hand-over.
    CCollectionEngine(CTransport& transport, CTonmiraDoc& doc, WindowAnalysis& analysis, TransportHost& view,
                      CollectSettings& settings, const LocalClock& clock, CollectHost& host);
    // Joins a worker that has finished; the owner must have waited for the busy flag to clear.
    ~CCollectionEngine() override;
    CCollectionEngine(const CCollectionEngine&) = delete;
    CCollectionEngine& operator=(const CCollectionEngine&) = delete;

    // Owner's thread: copies the level and continuous time into the recording timer (after the
    // settings changed; collection is on while the level is not 0).
    void ApplySettings();

    // Owner's thread, from the recording tick that found the end of an event. The worker gets a
    // copy of the settings and the detection level as they are now, so the settings dialog may
    // change them meanwhile without touching what the worker reads.
    // False, taking nothing, while the analysis has no spectrum (after a failed size change).
    bool OnCollectHandOver() override;
    // Owner's thread: the settings' collection level becomes 0 and the timer follows.
    void ClearCollectLevel() override;

    // Owner's thread: while this holds, the worker owns the document's samples, the FFT engine
    // and the spectrum; drawing must not compute a spectrum or read the take.
    bool IsProcessing() const;

    // Worker thread: the steps of one event. Returns 1.
    BOOL ProcessEvent();

    // Owner's thread: waits for the last worker thread to end. Only once the busy flag is down,
    // since a busy worker still needs the owner's thread to run its calls.
    void JoinWorker();

    // Set by drawing while it draws; the worker waits for it before emptying the document.
    std::atomic<BOOL> m_bDrawing{0};
    // Set when the program is about to end: a worker that is processing finishes its event but
    // does not record again.
    std::atomic<bool> m_bFinishing{false};
    // The detection level (0..50) that picks the band peak test in the analysis.
    int m_nDetectLevel = 5;
    // Whether an event's replay is heard (owner's thread, before recording starts). A collection
    // from a file counts the replayed sound without keeping it: there the take is amplified only
    // as far as the analysis and an amplified event file need it.
    bool m_bTakeHeard = true;
    // The event file of the last processed event (owner's thread).
    std::string m_strEventFile;
    // Every processed event is logged here, on the owner's thread, before EventProcessed; by
    // default into events.csv in the event's output folder. A log that cannot be written is
    // reported once (through the view's message).
    EventLog m_eventLog;
    // Owner's thread, before an event is logged: a collection from a file names its input and
    // the event's start in it.
    std::function<void(EventOutcome&)> m_locateEvent;

private:
    // Step 2: the event becomes the take. False when the take could not grow: the event is lost
    // (the transport has shown its message) and its chunks are dropped.
    bool StopIntoTake();
    void ReplayEvent(int playCount);
    void WaitWhile(const std::atomic<int>& flag);
    void WaitUntilTransportIdle();

    CTransport& m_transport;
    CTonmiraDoc& m_doc;
    WindowAnalysis& m_analysis;
    TransportHost& m_view;
    CollectSettings& m_settings;
    CollectSettings m_eventSettings;  // the worker's copy
    int m_nEventDetectLevel = 5;
    bool m_bLogFailureShown = false;  // owner's thread
    const LocalClock& m_clock;
    CollectHost& m_host;
    std::thread m_worker;
};

}  // namespace tonmira
