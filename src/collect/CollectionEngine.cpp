#include "collect/CollectionEngine.h"

#include <functional>
#include <system_error>

#include "audio/Transport.h"
#include "audio/TransportHost.h"
#include "base/Messages.h"
#include "base/MessageSink.h"
#include "collect/CollectHost.h"
#include "collect/CollectSettings.h"
#include "collect/EventHost.h"
#include "collect/EventProcessor.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira {

namespace {

constexpr int kPollMs = 10;

// Messages of the event steps (a failed event file) are shown by the owner's thread.
class UiThreadMessageSink : public MessageSink {
public:
    UiThreadMessageSink(CollectHost& host, MessageSink& view) : m_host(host), m_view(view) {}
    void Message(const std::string& text) override
    {
        m_host.RunOnUiThread([&] { m_view.Message(text); });
    }

private:
    CollectHost& m_host;
    MessageSink& m_view;
};

class WorkerEventHost : public EventHost {
public:
    WorkerEventHost(std::function<void(int)> replay, std::function<void()> rejected)
        : m_replay(std::move(replay)), m_rejected(std::move(rejected))
    {
    }
    void ReplayEvent(int nPlayCount) override { m_replay(nPlayCount); }
    void ShowRejectedEvent() override { m_rejected(); }

private:
    std::function<void(int)> m_replay;
    std::function<void()> m_rejected;
};

}  // namespace

CCollectionEngine::CCollectionEngine(CTransport& transport, CTonmiraDoc& doc, WindowAnalysis& analysis,
                                     TransportHost& view, CollectSettings& settings, const LocalClock& clock,
                                     CollectHost& host)
    : m_transport(transport), m_doc(doc), m_analysis(analysis), m_view(view), m_settings(settings),
      m_clock(clock), m_host(host)
{
    m_transport.SetCollectHandOver(this);
    ApplySettings();
}

CCollectionEngine::~CCollectionEngine()
{
    m_transport.SetCollectHandOver(nullptr);
    JoinWorker();
}

void CCollectionEngine::ApplySettings()
{
    m_transport.SetCollectParameters(m_settings.m_nCollectLevel, m_settings.m_nContinuousMs,
                                     m_settings.m_nPreTriggerMs);
}

void CCollectionEngine::ClearCollectLevel()
{
    m_settings.m_nCollectLevel = 0;
    ApplySettings();
}

bool CCollectionEngine::IsProcessing() const { return m_transport.IsCollectBusy(); }

void CCollectionEngine::JoinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool CCollectionEngine::OnCollectHandOver()
{
    // After a failed size change there is no spectrum to analyse with: the event is not taken
    // and the recording goes on, until a size change succeeds.
    if (!m_analysis.m_pSpectrum)
        return false;
    // The previous worker cleared m_bCollectBusy as its last step, or the timer would not have
    // handed over: it is ending or has ended, and joining it cannot wait on this thread.
    JoinWorker();
    // Busy before the thread exists, so that no stop or tick on this thread can see the event as
    // still being captured once it has been handed over.
    m_transport.SetCollectBusy(true);
    m_eventSettings = m_settings;
    m_nEventDetectLevel = m_nDetectLevel;
    m_host.WorkerStarting();
    try {
        m_worker = std::thread([this] { ProcessEvent(); });
    } catch (const std::system_error&) {
        // No thread for the event: drop it as a stop during capture would, and keep collecting.
        m_transport.SetCollectBusy(false);
        m_host.WorkerFinished();
        m_transport.OnStop();
        m_transport.OnRecord();
    }
    return true;
}

bool CCollectionEngine::StopIntoTake()
{
    bool moved = true;
    m_host.RunOnUiThread([&] {
        m_transport.OnStop();
        if (m_doc.m_nState == TransportState::Recording) {
            // The take could not grow to hold the event. Dropping it the way a stop during
            // capture does frees its chunks and closes the recording, so the next take starts
            // from nothing; both happen in this one call, so no tick sees the flag down.
            m_transport.SetCollectBusy(false);
            m_transport.OnStop();
            m_transport.SetCollectBusy(true);
            moved = false;
        }
    });
    return moved;
}

void CCollectionEngine::WaitWhile(const std::atomic<int>& flag)
{
    // Acquire pairs with the drawing's release of 0: what it read of the take is done with.
    while (flag.load(std::memory_order_acquire) != 0)
        m_host.Sleep(kPollMs);
}

void CCollectionEngine::WaitUntilTransportIdle()
{
    while (m_transport.State() != TransportState::Idle)
        m_host.Sleep(kPollMs);
}

void CCollectionEngine::ReplayEvent(int playCount)
{
    for (int i = 0; i < playCount; ++i) {
        m_host.RunOnUiThread([&] { m_transport.OnPlay(); });
        // A play that could not start leaves the transport idle: the next repetition follows.
        WaitUntilTransportIdle();
    }
    m_host.Sleep(kPollMs);
}

BOOL CCollectionEngine::ProcessEvent()
{
    m_transport.SetCollectBusy(true);
    if (StopIntoTake()) {
        UiThreadMessageSink sink(m_host, m_view);
        WorkerEventHost eventHost([this](int count) { ReplayEvent(count); },
                                  [this] {
                                      m_host.RunOnUiThread([&] {
                                          m_transport.SetPositionText("00:00.000");
                                          m_view.UpdateControlsFromMembers();
                                      });
                                  });
        EventProcessor processor(m_doc, m_eventSettings, m_analysis.m_fft, m_analysis.m_pSpectrum.get(), m_clock, sink, eventHost);
        processor.m_bAmplifyTake = m_bTakeHeard;
        EventOutcome outcome = processor.Process(m_nEventDetectLevel);
        m_host.RunOnUiThread([&] {
            m_strEventFile = outcome.m_strEventFile;
            if (m_locateEvent)
                m_locateEvent(outcome);
            if (!m_eventLog.Append(outcome, m_eventSettings.m_strOutputFolder) && !m_bLogFailureShown) {
                m_bLogFailureShown = true;  // once: a message for every event would bury the rest
                m_view.Message(FormatArgs(msg::kEventLogFailed, {m_eventLog.m_strFailedPath}));
            }
            m_host.EventProcessed(outcome);
        });
    }
    WaitWhile(m_bDrawing);
    m_host.RunOnUiThread([&] {
        m_doc.SetModifiedFlag(0);
        m_doc.OnNewDocument();
        if (!m_bFinishing.load(std::memory_order_acquire))  // pairs with the owner's release
            m_transport.OnRecord();
    });
    m_transport.SetCollectBusy(false);
    m_host.WorkerFinished();
    return 1;
}

}  // namespace tonmira
