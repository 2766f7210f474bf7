#include "session/TonmiraSession.h"

#include "session/WindowValues.h"

namespace tonmira {

TonmiraSession::TonmiraSession(TransportHost& host, WaveBackend& backend, CollectHost& collectHost,
                               const LocalClock& clock)
    : m_host(host),
      m_doc(m_link),
      m_transport(m_doc, m_analysis, m_link, backend),
      m_cycle(m_transport, m_doc, m_analysis, m_settings, clock, collectHost, m_link,
              [this](ChangeSet changes) { Changed(changes); })
{
    m_cycle.m_onWorkerPost = [this] { Command([this] { m_cycle.Advance(); }, 0); };
    ApplyCollectSettings();
}

TonmiraSession::~TonmiraSession() = default;

void TonmiraSession::Changed(ChangeSet changes)
{
    m_nPending |= changes;
    if (m_nDepth == 0)
        Flush();
}

void TonmiraSession::Command(const std::function<void()>& fn, ChangeSet changes)
{
    ++m_nDepth;
    fn();
    --m_nDepth;
    Changed(changes);
}

void TonmiraSession::OnTimer(int id)
{
    Command(
        [&] {
            if (id == kCollectTimer)
                m_cycle.OnTimer(id);
            else
                m_transport.OnTimer(id);
        },
        kChangeTransport);
}

void TonmiraSession::Flush()
{
    // A subscriber's command publishes from this loop, after the current publication.
    if (m_bFlushing)
        return;
    m_bFlushing = true;
    while (m_nPending) {
        // The cycle moves on first (a hand-over in the tick just ended, a replay that ended);
        // what it changes joins this publication.
        ++m_nDepth;
        m_cycle.Advance();
        --m_nDepth;
        ChangeSet changes = std::exchange(m_nPending, 0u);
        if (changes & kChangeAnalysis) {
            if (m_bFollow)
                Recompute();
            else
                changes &= ~ChangeSet(kChangeAnalysis);
        }
        if (changes)
            m_publisher.Publish(changes);
    }
    m_bFlushing = false;
}

void TonmiraSession::Recompute()
{
    const int level = m_analysis.m_nDetectLevel;
    const std::optional<WindowValues> window = CurrentWindowValues(m_doc, m_transport, m_analysis.m_nFftSize);
    if (!window) {
        m_boxes = {};
    } else if (window->fromCapture) {
        m_analysis.FeedFromCaptureBlock(window->samples, window->blockBytes, m_doc.m_header.nChannels,
                                        m_doc.m_header.wBitsPerSample, window->fullScale);
        m_boxes = m_analysis.TransformAndPick(level, static_cast<int>(m_doc.m_header.nSamplesPerSec),
                                              m_doc.m_header.wBitsPerSample);
    } else {
        m_boxes = m_analysis.Recalculate(m_doc, level);
    }
}

BOOL TonmiraSession::InitialUpdate()
{
    BOOL ok = 0;
    // A take brings its whole band; a new document without one keeps the range shown.
    const ChangeSet band = m_doc.m_pData ? kChangeWholeBand : 0u;
    Command(
        [&] {
            ok = m_analysis.InitialUpdate(m_doc, m_link);
            m_transport.ResetViewState();
            m_cycle.m_nDetectLevel = m_analysis.m_nDetectLevel;
            const UINT n = static_cast<UINT>(m_analysis.m_nFftSize);
            m_transport.SetShownRange(m_doc.m_nSamples > n ? m_doc.m_nSamples - n : 1, 0);
            m_transport.ShowFieldsFromMembers();
        },
        kChangeTakeReplaced | kChangeFormat | band | kChangeFftSize | kChangeFields | kChangePosition | kChangeTransport |
            kChangeAnalysis);
    return ok;
}

BOOL TonmiraSession::SetFftSize(int size)
{
    BOOL ok = 0;
    Command([&] { ok = m_analysis.SetFftSize(size, m_link); }, kChangeFftSize | kChangeAnalysis);
    return ok;
}

void TonmiraSession::ApplyCollectSettings()
{
    m_transport.SetCollectParameters(m_settings.m_nCollectLevel, m_settings.m_nContinuousMs,
                                     m_settings.m_nPreTriggerMs);
}

void TonmiraSession::OnRecord()
{
    Command([&] {
        m_cycle.m_nDetectLevel = m_analysis.m_nDetectLevel;
        m_transport.OnRecord();
    });
}

void TonmiraSession::ShutDown()
{
    Command([&] {
        m_cycle.Finish();
        if (m_doc.m_nState != TransportState::Idle)
            m_transport.OnStop();
        if (m_doc.m_nState != TransportState::Idle)
            m_transport.OnDestroy();  // the take could not grow: the devices close all the same
        m_host.KillTimer(kTransportTimer);
        m_host.KillTimer(kCollectTimer);
    });
}

}  // namespace tonmira
