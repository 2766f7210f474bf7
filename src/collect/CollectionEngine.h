#pragma once
// CCollectionEngine: the collection worker. The owner of the session hands it one event at a
// time, which the worker then owns alone: the take (in a document of its own), a copy of the
// settings, the detection level and an FFT engine with its spectrum buffer. The worker writes the
// event file, analyses and amplifies the take, names the file, marks or deletes a rejected one and
// hands the event back with its outcome. Everything else (stopping the recording, logging,
// replaying, recording again) is the owner's (see session/CollectionCycle.h).
//
// Threads: Start, IsDone, Finish and the destructor run on the owner's thread; the worker touches
// only the event. The worker's last step publishes "done" (release) and then posts onDone; Finish
// joins it, so everything the worker wrote to the event is visible to the owner afterwards.
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "base/MallocBlock.h"
#include "base/MessageSink.h"
#include "collect/CollectSettings.h"
#include "collect/EventProcessor.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftEngine.h"

namespace tonmira {

class LocalClock;

// One event, owned by whoever holds it: the owner until Start, the worker until it is done, the
// owner again after Finish.
struct CollectEvent {
    CollectEvent() : m_take(m_messages) {}
    CollectEvent(const CollectEvent&) = delete;
    CollectEvent& operator=(const CollectEvent&) = delete;

    // Messages of the worker's steps (a failed event file, a mono buffer that could not be made),
    // in order, for the owner to show.
    CapturingMessageSink m_messages;
    // The event's take: a copy of the samples and format the recording stopped with.
    CTonmiraDoc m_take;
    CollectSettings m_settings;
    int m_nDetectLevel = 5;
    // False when nothing plays or keeps the take after the event (see EventProcessor).
    bool m_bAmplifyTake = true;
    // The worker's FFT engine for N and its spectrum of N / 2 magnitudes.
    std::unique_ptr<CFftEngine> m_pFft;
    std::unique_ptr<int[], FreeDeleter> m_pSpectrum;

    // Filled by the worker.
    EventOutcome m_outcome;
    int m_nReplays = 0;            // how often an accepted event is to be replayed
    bool m_bRejectedShown = false;  // a rejected event: the position text goes back to the start
};

class CCollectionEngine {
public:
    explicit CCollectionEngine(const LocalClock& clock) : m_clock(clock) {}
    // Joins a worker still running (it needs nothing from the owner to finish).
    ~CCollectionEngine();
    CCollectionEngine(const CCollectionEngine&) = delete;
    CCollectionEngine& operator=(const CCollectionEngine&) = delete;

    // Owner's thread, with no event in flight: starts the worker on the event. onDone is called
    // on the worker thread as its last step (it posts to the owner). False, with the event still
    // the caller's, when no thread could be started.
    bool Start(std::unique_ptr<CollectEvent>& event, std::function<void()> onDone);
    // Owner's thread: an event is in flight (started and not yet finished).
    bool IsBusy() const { return m_pEvent != nullptr; }
    // Owner's thread: the worker in flight is done with its event.
    bool IsDone() const { return m_bDone.load(std::memory_order_acquire); }  // pairs with the worker's release
    // Owner's thread: waits for the worker and returns its event; null when none is in flight.
    std::unique_ptr<CollectEvent> Finish();

    // The steps of one event, on whichever thread owns it (the worker, or a test).
    void ProcessEvent(CollectEvent& event) const;

private:
    const LocalClock& m_clock;
    std::unique_ptr<CollectEvent> m_pEvent;  // the worker's while it runs
    std::atomic<bool> m_bDone{false};
    std::thread m_worker;
};

}  // namespace tonmira
