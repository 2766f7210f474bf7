#include "session/CollectionCycle.h"

#include <cstdlib>
#include <cstring>

#include "audio/Transport.h"
#include "audio/TransportHost.h"
#include "base/Changes.h"
#include "base/Messages.h"
#include "collect/CollectHost.h"
#include "collect/CollectSettings.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira {

namespace {

// After the last replay: the pause before recording again.
constexpr UINT kAfterReplayMs = 10;

}  // namespace

CollectionCycle::CollectionCycle(CTransport& transport, CTonmiraDoc& doc, const WindowAnalysis& analysis,
                                 const CollectSettings& settings, const LocalClock& clock, CollectHost& collectHost,
                                 TransportHost& host, std::function<void(unsigned)> announce)
    : m_transport(transport), m_doc(doc), m_analysis(analysis), m_settings(settings), m_collectHost(collectHost),
      m_host(host), m_announce(std::move(announce)), m_engine(clock)
{
    m_transport.SetCollectHandOver(this);
}

CollectionCycle::~CollectionCycle()
{
    *m_pAlive = false;
    m_transport.SetCollectHandOver(nullptr);
    m_engine.Finish();
}

bool CollectionCycle::OnCollectHandOver()
{
    // After a failed size change there is no spectrum to analyse with: the event is not taken
    // and the recording goes on, until a size change succeeds.
    if (!m_analysis.m_pSpectrum || m_state != State::Listening)
        return false;
    // Busy from here: no stop or tick may see the event as still being captured.
    m_transport.SetCollectBusy(true);
    m_state = State::HandedOver;
    return true;
}

void CollectionCycle::Advance()
{
    switch (m_state) {
    case State::HandedOver:
        BeginEvent();
        break;
    case State::Processing:
        if (m_engine.IsDone())
            EndEvent(m_engine.Finish());
        break;
    case State::Replaying:
        // A play that could not start, or one that has ended: the next repetition follows.
        if (m_transport.State() == TransportState::Idle)
            ReplayNext();
        break;
    case State::Settled:
        RecordAgain();
        break;
    case State::Listening:
    case State::Pausing:
        break;
    }
}

void CollectionCycle::OnTimer(int id)
{
    if (id != kCollectTimer)
        return;
    m_host.KillTimer(kCollectTimer);
    if (m_state == State::Pausing) {
        m_state = State::Settled;
        Advance();
    }
}

void CollectionCycle::WaitForWorker()
{
    if (m_state == State::Processing)
        EndEvent(m_engine.Finish());
}

bool CollectionCycle::StopIntoTake()
{
    m_transport.OnStop();
    if (m_doc.m_nState != TransportState::Recording)
        return true;
    // The take could not grow to hold the event. Dropping it the way a stop during capture does
    // frees its chunks and closes the recording, so the next take starts from nothing.
    m_transport.SetCollectBusy(false);
    m_transport.OnStop();
    m_transport.SetCollectBusy(true);
    return false;
}

void CollectionCycle::BeginEvent()
{
    if (!StopIntoTake()) {
        m_state = State::Settled;
        Advance();
        return;
    }
    // The worker gets a copy: the window keeps showing the take meanwhile.
    auto event = std::make_unique<CollectEvent>();
    CTonmiraDoc& take = event->m_take;
    take.m_header = m_doc.m_header;
    const std::size_t bytes = std::size_t(m_doc.m_nSamples) * m_doc.FrameBytes();
    if (bytes) {
        take.m_pData = static_cast<BYTE*>(std::malloc(bytes));
        if (!take.m_pData) {
            m_host.Message(msg::kBufferFailed);
            m_state = State::Settled;
            Advance();
            return;
        }
        std::memcpy(take.m_pData, m_doc.m_pData, bytes);
    }
    take.m_nSamples = m_doc.m_nSamples;
    take.m_nBalance = m_doc.m_nBalance;
    take.m_nStartMark = m_doc.m_nStartMark;
    take.m_nEndMark = m_doc.m_nEndMark;
    event->m_settings = m_settings;
    event->m_nDetectLevel = m_nDetectLevel;
    event->m_bAmplifyTake = m_bTakeHeard;
    const int n = m_analysis.m_nFftSize;
    if (!m_pFft || m_pFft->m_nSize != n) {
        m_pFft = std::make_unique<CFftEngine>();
        m_pSpectrum.reset(static_cast<int*>(std::calloc(static_cast<std::size_t>(n / 2 > 0 ? n / 2 : 1), sizeof(int))));
        if (!m_pSpectrum || !m_pFft->Init(n, m_analysis.m_nWindowType)) {
            m_pFft.reset();
            m_host.Message(msg::kMallocFailed);
            m_state = State::Settled;
            Advance();
            return;
        }
    }
    event->m_pFft = std::move(m_pFft);
    event->m_pSpectrum = std::move(m_pSpectrum);
    m_state = State::Processing;
    CollectHost* host = &m_collectHost;
    std::shared_ptr<bool> alive = m_pAlive;
    auto onDone = [host, alive, this] {
        host->PostToOwner([alive, this] {
            if (!*alive)
                return;
            if (m_onWorkerPost)
                m_onWorkerPost();
            else
                Advance();
        });
    };
    if (!m_engine.Start(event, std::move(onDone))) {
        // No thread for the event: drop it as a stop during capture would, and keep collecting.
        m_pFft = std::move(event->m_pFft);
        m_pSpectrum = std::move(event->m_pSpectrum);
        m_state = State::Settled;
        Advance();
    }
}

void CollectionCycle::EndEvent(std::unique_ptr<CollectEvent> event)
{
    if (!event)
        return;
    m_pFft = std::move(event->m_pFft);
    m_pSpectrum = std::move(event->m_pSpectrum);
    for (const std::string& text : event->m_messages.m_messages)
        m_host.Message(text);
    if (event->m_bRejectedShown) {
        m_transport.SetPositionText("00:00.000");
        m_transport.ShowFieldsFromMembers();
    }
    EventOutcome& outcome = event->m_outcome;
    if (m_locateEvent)
        m_locateEvent(outcome);
    if (!m_eventLog.Append(outcome, event->m_settings.m_strOutputFolder) && !m_bLogFailureShown) {
        m_bLogFailureShown = true;  // once: a message for every event would bury the rest
        m_host.Message(FormatArgs(msg::kEventLogFailed, {m_eventLog.m_strFailedPath}));
    }
    m_lastEvent = outcome;
    m_announce(kChangeEventDone);

    if (!outcome.m_figures.m_bAccepted || m_bFinishing) {
        m_state = State::Settled;
        Advance();
        return;
    }
    // The replay plays the amplified take: it replaces the one recorded (a reversed buffer stays
    // as it was, as when the worker amplified the take in place).
    std::swap(m_doc.m_pData, event->m_take.m_pData);
    std::swap(m_doc.m_pMono, event->m_take.m_pMono);
    std::swap(m_doc.m_nPeak, event->m_take.m_nPeak);
    m_announce(kChangeTakeReplaced | kChangeAnalysis);
    m_nReplaysLeft = event->m_nReplays;
    m_state = State::Replaying;
    ReplayNext();
}

void CollectionCycle::ReplayNext()
{
    if (m_nReplaysLeft > 0 && !m_bFinishing) {
        --m_nReplaysLeft;
        m_transport.OnPlay();
        // A play that could not start leaves the transport idle: go on at once.
        if (m_transport.State() == TransportState::Idle)
            ReplayNext();
        return;
    }
    m_state = State::Pausing;
    m_host.SetTimer(kCollectTimer, kAfterReplayMs);
}

void CollectionCycle::RecordAgain()
{
    m_doc.SetModifiedFlag(0);
    m_doc.OnNewDocument();
    m_announce(kChangeTakeReplaced | kChangeAnalysis);
    m_state = State::Listening;
    if (!m_bFinishing)
        m_transport.OnRecord();
    m_transport.SetCollectBusy(false);
}

void CollectionCycle::Finish()
{
    m_bFinishing = true;
    if (m_state == State::Replaying || m_state == State::Pausing) {
        m_host.KillTimer(kCollectTimer);
        if (m_transport.State() != TransportState::Idle)
            m_transport.OnStop();
        m_state = State::Settled;
    }
    if (m_state == State::HandedOver)
        BeginEvent();
    if (m_state == State::Processing)
        EndEvent(m_engine.Finish());
    if (m_state == State::Settled)
        RecordAgain();
}

}  // namespace tonmira
