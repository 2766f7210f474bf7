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
      m_pEngine(&m_session.Engine())
{
    DWORD formats = 0;
    if (m_transport.Device().QueryInputFormats(formats))
        m_transport.SetInputFormats(formats);
}

ViewCore::~ViewCore() { m_pEngine->m_bFinishing.store(true, std::memory_order_release); }  // pairs with the worker's acquire

BOOL ViewCore::InitialUpdate()
{
    if (!m_doc.HasTake() && !IsValidRecordFormat(m_doc.m_header)) {
        FormatFromInputBits(m_transport.InputFormats(), m_doc.m_header);
        m_analysis.m_nMinFreq = 0;
        m_analysis.m_nMaxFreq = static_cast<int>(m_doc.m_header.nSamplesPerSec / 2);
    }
    const BOOL ok = m_analysis.InitialUpdate(m_doc, m_sink);
    m_transport.ResetViewState();
    m_pEngine->m_nDetectLevel = m_analysis.m_freqLevel.m_nLevel;
    return ok;
}

bool ViewCore::ChangeFftSize(int index)
{
    if (index < 0 || index >= kFftSizeCount)
        return false;
    const int size = kMinFftSize << index;
    const bool wasPlaying = m_doc.m_nState == TransportState::Playing;
    const BOOL wasPaused = m_doc.m_bPause;
    if (wasPlaying) {
        // Paused first, so that the stop keeps the position for the restart.
        if (!m_doc.m_bPause)
            m_transport.OnPause();
        m_transport.OnStop();
        if (!WindowAnalysis::FftSizeFitsTake(m_doc, size, m_sink))
            return false;
    }
    const BOOL ok = m_analysis.ChangeFftSize(m_doc, size, m_sink);
    if (wasPlaying) {
        m_doc.m_bPause = wasPaused;
        m_transport.OnPlay();
    }
    return ok != 0;
}

void ViewCore::ApplyCollectSettings() { m_session.ApplyCollectSettings(); }

void ViewCore::OnRecord()
{
    m_pEngine->m_nDetectLevel = m_analysis.m_freqLevel.m_nLevel;
    m_transport.OnRecord();
}

}  // namespace tonmira::view
