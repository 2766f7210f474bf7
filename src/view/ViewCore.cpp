#include "view/ViewCore.h"

#include "audio/TransportHost.h"
#include "dsp/FftSize.h"
#include "view/InitialFormat.h"

namespace tonmira::view {

ViewCore::ViewCore(MessageSink& sink, TransportHost& host, CollectHost& collectHost, WaveBackend& backend,
                   const LocalClock& clock)
    : m_sink(sink),
      m_session(host, backend, collectHost, clock),
      m_doc(m_session.Doc()),
      m_analysis(m_session.Analysis()),
      m_transport(m_session.Transport()),
      m_settings(m_session.Settings()),
      m_collection(m_session.Collection())
{
    m_session.Follow(true);
    // First subscriber: the range is right before the window hears of the change.
    m_nBandSubscription = m_session.Changes().Subscribe([this](ChangeSet changes) {
        if (changes & kChangeWholeBand)
            m_display.ShowWholeBand(m_doc.m_header.nSamplesPerSec);
    });
    DWORD formats = 0;
    if (m_transport.Device().QueryInputFormats(formats))
        m_transport.SetInputFormats(formats);
}

ViewCore::~ViewCore()
{
    m_session.ShutDown();
    m_session.Changes().Unsubscribe(m_nBandSubscription);
}

BOOL ViewCore::InitialUpdate()
{
    if (!m_doc.HasTake() && !IsValidRecordFormat(m_doc.m_header)) {
        FormatFromInputBits(m_transport.InputFormats(), m_doc.m_header);
        m_display.ShowWholeBand(m_doc.m_header.nSamplesPerSec);
    }
    return m_session.InitialUpdate();
}

bool ViewCore::ChangeFftSize(int index)
{
    if (index < 0 || index >= kFftSizeCount)
        return false;
    const int size = kMinFftSize << index;
    bool ok = false;
    m_session.Command(
        [&] {
            const bool wasPlaying = m_doc.m_nState == TransportState::Playing;
            const BOOL wasPaused = m_doc.m_bPause;
            if (wasPlaying) {
                // Paused first, so that the stop keeps the position for the restart.
                if (!m_doc.m_bPause)
                    m_transport.OnPause();
                m_transport.OnStop();
                if (!WindowAnalysis::FftSizeFitsTake(m_doc, size, m_sink))
                    return;
            }
            ok = m_analysis.ChangeFftSize(m_doc, size, m_sink) != 0;
            if (wasPlaying) {
                m_doc.m_bPause = wasPaused;
                m_transport.OnPlay();
            }
            if (ok) {
                const UINT n = static_cast<UINT>(m_analysis.m_nFftSize);
                const bool idle = m_doc.m_nState == TransportState::Idle;
                const UINT shown = idle ? m_doc.m_nPosition : m_transport.ShownPosition();
                m_transport.SetShownRange(m_doc.m_nSamples > n ? m_doc.m_nSamples - n : 0, shown);
                // A larger N may have pulled the position back: its text follows.
                if (idle)
                    m_transport.ShowPosition(shown);
            }
        },
        kChangeFftSize | kChangePosition | kChangeTransport | kChangeAnalysis);
    return ok;
}

void ViewCore::ApplyCollectSettings() { m_session.ApplyCollectSettings(); }

}  // namespace tonmira::view
