#include "view/ViewCore.h"

#include "audio/TransportHost.h"
#include "dsp/FftSize.h"
#include "view/InitialFormat.h"

namespace tonmira::view {

ViewCore::ViewCore(MessageSink& sink, TransportHost& host, CollectHost& collectHost, WaveBackend& backend,
                   const LocalClock& clock)
    : m_sink(sink), m_doc(sink), m_transport(m_doc, host, backend), m_collectHost(collectHost), m_host(host),
      m_clock(clock)
{
    DWORD formats = 0;
    if (m_transport.m_waveDevice.QueryInputFormats(formats))
        m_transport.m_dwInFormats = formats;
}

ViewCore::~ViewCore()
{
    if (m_pEngine) {
        m_pEngine->m_bFinishing.store(true);
        m_pEngine.reset();
    }
}

BOOL ViewCore::InitialUpdate()
{
    if (!m_doc.HasTake() && !IsValidRecordFormat(m_doc.m_header)) {
        FormatFromInputBits(m_transport.m_dwInFormats, m_doc.m_header);
        m_analysis.m_nMinFreq = 0;
        m_analysis.m_nMaxFreq = static_cast<int>(m_doc.m_header.nSamplesPerSec / 2);
    }
    const BOOL ok = m_analysis.InitialUpdate(m_doc, m_sink);
    m_transport.m_nSpeed = 0;
    m_transport.m_bOutputPaused = 0;
    m_transport.m_strPosition = "00:00.000";
    SyncTransportFromAnalysis();
    RebuildEngine();
    return ok;
}

void ViewCore::SyncTransportFromAnalysis()
{
    m_transport.m_nFftSize = m_analysis.m_nFftSize;
    m_transport.m_nMinFreq = m_analysis.m_nMinFreq;
    m_transport.m_nMaxFreq = m_analysis.m_nMaxFreq;
}

void ViewCore::RebuildEngine()
{
    if (IsCollectBusy())
        return;
    m_pEngine.reset();
    if (!m_analysis.m_pSpectrum)
        return;  // no spectrum to analyse events with until a size change succeeds
    m_pEngine = std::make_unique<CCollectionEngine>(m_transport, m_doc, m_host, m_settings, m_analysis.m_fft,
                                                    m_analysis.m_pSpectrum, m_clock, m_collectHost);
    m_pEngine->m_nDetectLevel = m_analysis.m_freqLevel.m_nLevel;
}

bool ViewCore::ChangeFftSize(int index)
{
    if (index < 0 || index >= kFftSizeCount)
        return false;
    const int size = kMinFftSize << index;
    const bool wasPlaying = m_doc.m_nState == 1;
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
    SyncTransportFromAnalysis();
    RebuildEngine();
    if (wasPlaying) {
        m_doc.m_bPause = wasPaused;
        m_transport.OnPlay();
    }
    return ok != 0;
}

void ViewCore::ApplyRateChange()
{
    m_analysis.m_nMinFreq = m_transport.m_nMinFreq;
    m_analysis.m_nMaxFreq = m_transport.m_nMaxFreq;
    m_analysis.SetFftSize(m_transport.m_nFftSize, m_doc, m_sink);
    SyncTransportFromAnalysis();
    RebuildEngine();
}

void ViewCore::ApplyCollectSettings()
{
    if (m_pEngine)
        m_pEngine->ApplySettings();
    else {
        m_transport.m_nCollectLevel = m_settings.m_nCollectLevel;
        m_transport.m_nContinuousMs = m_settings.m_nContinuousMs;
    }
}

void ViewCore::OnRecord()
{
    if (m_pEngine)
        m_pEngine->m_nDetectLevel = m_analysis.m_freqLevel.m_nLevel;
    m_transport.OnRecord();
}

}  // namespace tonmira::view
