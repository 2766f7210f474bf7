#include "audio/Transport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "audio/TransportHost.h"
#include "doc/TakeFigures.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira {

CTransport::CTransport(CTonmiraDoc& doc, WindowAnalysis& analysis, TransportHost& host, WaveBackend& backend)
    : m_doc(doc), m_analysis(analysis), m_host(host), m_waveDevice(backend, host)
{
}

int CTransport::FftSize() const { return m_analysis.m_nFftSize; }

CTransport::~CTransport()
{
    m_waveDevice.CloseOutput();
    m_waveDevice.CloseInput();
}

void CTransport::SetCollectParameters(int level, int continuousMs, int preTriggerMs)
{
    m_nCollectLevel = level;
    m_nContinuousMs = continuousMs;
    m_nPreTriggerMs = preTriggerMs;
}

void CTransport::ResetViewState()
{
    m_nSpeed = 0;
    m_bOutputPaused = 0;
    m_strPosition = "00:00.000";
    m_counters = {};
}

void CTransport::ShowFieldsFromMembers()
{
    m_strPositionField = m_strPosition;
    m_host.Changed(kChangeFields);
}

void CTransport::SetState(TransportState state)
{
    m_nTransport.store(state, std::memory_order_release);  // pairs with State()'s acquire
    m_doc.m_nState = state;
    // A recording's start measures afresh (its clips too); any other state shows no level.
    m_inputLevel.Reset(m_doc.m_header.nChannels, m_doc.m_header.wBitsPerSample);
    m_host.Changed(kChangeTransport);
}

DWORD CTransport::SpeedRate(DWORD rate, int speed)
{
    return static_cast<DWORD>(std::floor(rate * std::pow(1.05946309436, speed)));
}

UINT CTransport::WindowEndingAt(UINT lastFrame) const
{
    UINT n = static_cast<UINT>(FftSize());
    return lastFrame + 1 >= n ? lastFrame + 1 - n : 0;
}

void CTransport::ShowPositionInControls(UINT p)
{
    m_nShownPosition = p;
    m_strPositionField = FormatTakeTime(p, m_doc.m_header.nSamplesPerSec);
    m_host.Changed(kChangePosition | kChangeAnalysis);
}

void CTransport::ShowPosition(UINT p)
{
    m_doc.m_nPosition = p;
    m_strPosition = FormatTakeTime(p, m_doc.m_header.nSamplesPerSec);
    ShowPositionInControls(p);
}

void CTransport::OnTimer(int id)
{
    if (id != kTransportTimer)
        return;
    if (m_doc.m_nState == TransportState::Recording)
        RecordTick();
    else if (m_doc.m_nState == TransportState::Playing)
        PlayTick();
    else
        m_host.KillTimer(kTransportTimer);
}

void CTransport::OnStop()
{
    if (m_doc.m_nState == TransportState::Recording) {
        if (!StopRecording())
            return;  // the take could not be enlarged; the chunks wait for another stop
    } else if (m_doc.m_nState == TransportState::Playing) {
        m_waveDevice.CloseOutput();
        m_host.KillTimer(kTransportTimer);
        // A paused playback that is stopped keeps its position.
        if (m_doc.m_bPause != 1)
            ShowPosition(m_doc.m_bReverse ? WindowEndingAt(m_doc.m_nEndMark) : m_doc.m_nStartMark);
    }
    if (m_doc.m_bPause == 1) {
        m_doc.m_bPause = 0;
        m_bOutputPaused = 0;
    }
    SetState(TransportState::Idle);
}

void CTransport::OnPause()
{
    if (m_doc.m_bPause == 1) {
        if (m_doc.m_nState == TransportState::Playing) {
            m_waveDevice.RestartOutput();
            m_bOutputPaused = 0;
            m_host.SetTimer(kTransportTimer, 100);
        }
        m_doc.m_bPause = 0;
    } else {
        if (m_doc.m_nState == TransportState::Playing) {
            m_host.KillTimer(kTransportTimer);
            if (!m_waveDevice.PauseOutput())
                m_bOutputPaused = 1;
        }
        // Set while idle it only cues: the next play opens the device paused.
        m_doc.m_bPause = 1;
    }
}

void CTransport::OnLock() { m_doc.m_bLock = m_doc.m_bLock == 1 ? 0 : 1; }

void CTransport::OnGoTop()
{
    if (m_doc.m_nState != TransportState::Idle) {
        OnStop();
        return;
    }
    m_doc.m_nPosition = m_doc.m_nStartMark < m_doc.m_nPosition ? m_doc.m_nStartMark : 0;
    ShowPositionInControls(m_doc.m_nPosition);
}

void CTransport::OnGoEnd()
{
    if (m_doc.m_nState != TransportState::Idle)
        OnStop();
    UINT endWindow = WindowEndingAt(m_doc.m_nEndMark);
    m_doc.m_nPosition = m_doc.m_nPosition < endWindow ? endWindow : WindowEndingAt(m_doc.m_nSamples - 1);
    ShowPositionInControls(m_doc.m_nPosition);
}

void CTransport::OnStartMark() { m_doc.m_nStartMark = m_doc.m_nStartMark == 0 ? m_doc.m_nPosition : 0; }

void CTransport::OnEndMark()
{
    UINT last = m_doc.m_nSamples - 1;
    if (m_doc.m_nEndMark == last) {
        // The last frame of the window at the cursor, but never past the take: playback up to
        // the end mark reads the take up to it.
        std::uint64_t end = std::uint64_t(m_doc.m_nPosition) + FftSize() - 1;
        m_doc.m_nEndMark = end < last ? static_cast<UINT>(end) : last;
    } else {
        m_doc.m_nEndMark = last;
    }
}

void CTransport::OnHScroll(ScrollCode code, UINT sliderPosition)
{
    if (!m_doc.HasTake())
        return;
    const UINT n = static_cast<UINT>(FftSize());
    const UINT last = WindowEndingAt(m_doc.m_nSamples - 1);  // M: the window ending on the last frame
    const UINT pos = m_doc.m_nPosition;
    switch (code) {
    case ScrollCode::LineLeft:
        if (pos > 0)
            ShowPosition(pos - 1);
        break;
    case ScrollCode::LineRight:
        if (pos < last)
            ShowPosition(pos + 1);
        break;
    case ScrollCode::PageLeft:
        if (pos > 0)
            ShowPosition(pos > n ? pos - n : 0);
        break;
    case ScrollCode::PageRight:
        if (pos < last)
            ShowPosition(last - pos > n ? pos + n : last);
        break;
    case ScrollCode::EndScroll:
        ShowPosition(sliderPosition);
        break;
    case ScrollCode::ThumbTrack:
        break;
    }
}

void CTransport::OnDestroy()
{
    if (m_doc.m_nState == TransportState::Playing)
        m_waveDevice.CloseOutput();
    else if (m_doc.m_nState == TransportState::Recording)
        m_waveDevice.CloseInput();
    m_host.KillTimer(kTransportTimer);
    FreeChunks();
    m_nRecordedFrames = 0;
    m_pRecordRing.reset();
}

}  // namespace tonmira
