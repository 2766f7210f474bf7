// The playback side of the transport: play command, feeding timer, reverse, balance, speed.
#include <cstdio>
#include <string>

#include "audio/Transport.h"
#include "audio/TransportHost.h"
#include "base/Messages.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

namespace {

constexpr UINT kPlayTickMs = 100;

}  // namespace

// Start of the played range in the mono buffer (forwards) or the reversed buffer (backwards).
// Backwards the range starts at the last frame of the window at m_nPlayStart; OnPlay has
// clipped m_nPlayStart and m_nPlayLength so that the range lies inside the take.
BYTE* CTransport::PlayBase() const
{
    const std::size_t width = m_doc.m_header.wBitsPerSample == 16 ? 2 : 1;
    if (m_doc.m_bReverse != 1)
        return m_doc.m_pMono + std::size_t(m_nPlayStart) * width;
    std::int64_t first = std::int64_t(m_doc.m_nSamples) - FftSize() - m_nPlayStart;
    return m_doc.m_pReverse + static_cast<std::size_t>(first < 0 ? 0 : first) * width;
}

void CTransport::SupplyBuffer(DWORD index, BYTE* base)
{
    const std::size_t width = m_doc.m_header.wBitsPerSample == 16 ? 2 : 1;
    m_waveDevice.m_pBuffer[index % kWaveRingSlots] = base + std::size_t(index) * static_cast<UINT>(FftSize()) * width;
}

void CTransport::OnPlay()
{
    if (m_bOutputPaused == 1 || m_doc.m_nState == TransportState::Recording)
        return;
    if (!m_waveDevice.m_hMutex) {
        m_host.Message(msg::kPlayInitFailed);
        return;
    }
    m_waveDevice.CloseOutput();
    const bool forwards = m_doc.m_bReverse != 1;
    // Nothing to read from (no take, or its mono or reversed buffer could not be built).
    if (!m_doc.HasTake() || !(forwards ? m_doc.m_pMono : m_doc.m_pReverse)) {
        m_host.KillTimer(kTransportTimer);
        return;
    }
    if (!m_waveDevice.HasDevice(WaveDirection::Output)) {
        m_host.KillTimer(kTransportTimer);
        m_host.Message(msg::kNoOutputDevice);
        return;
    }
    CWaveDevice& dev = m_waveDevice;
    const UINT n = static_cast<UINT>(FftSize());
    dev.m_nRate = SpeedRate(m_doc.m_header.nSamplesPerSec, m_nSpeed);
    dev.m_nBits = m_doc.m_header.wBitsPerSample;
    dev.m_nChannels = 1;
    dev.m_nBufferLen = n;

    const UINT pos = m_doc.m_nPosition;
    const UINT samples = m_doc.m_nSamples;
    m_nPlayStart = pos;
    std::int64_t length;
    if (forwards) {
        length = m_doc.m_nEndMark > pos ? std::int64_t(m_doc.m_nEndMark) - pos + 1 : std::int64_t(samples) - pos;
        if (length < 0)
            length = 0;  // a position past the take plays nothing
    } else {
        length = m_doc.m_nStartMark < pos ? std::int64_t(pos) - m_doc.m_nStartMark + n : std::int64_t(pos) + n;
        // Backwards the range starts at frame pos + n - 1, which lies past the take when the
        // window at the cursor does; play only what the take holds.
        std::int64_t beyond = std::int64_t(pos) + n - samples;
        if (beyond > 0)
            length -= beyond;
        if (length < 0)
            length = 0;
    }
    m_nPlayLength = static_cast<UINT>(length);

    BYTE* base = PlayBase();
    dev.m_nLastSize = 0;
    DWORD c = 0;
    while (c < kWaveRingSlots && std::uint64_t(c) * n < m_nPlayLength)
        SupplyBuffer(c++, base);
    if (c == 0) {
        SetState(TransportState::Playing);
        OnStop();
        return;
    }
    if (m_nPlayLength <= std::uint64_t(c) * n)
        dev.m_nLastSize = m_nPlayLength - (c - 1) * n;
    // m_nWrite and m_nRead are written on this thread only (relaxed); the stream thread reads the
    // device's own queue, which QueueBuffer publishes.
    dev.m_nWrite.store(c - 1, std::memory_order_relaxed);
    if (dev.OpenOutput(m_doc.m_bPause)) {
        SetState(TransportState::Playing);
        if (m_doc.m_bPause != 1)
            m_host.SetTimer(kTransportTimer, kPlayTickMs);  // a paused start waits for the pause command
    } else {
        m_host.KillTimer(kTransportTimer);
    }
}

void CTransport::PlayTick()
{
    m_host.KillTimer(kTransportTimer);
    CWaveDevice& dev = m_waveDevice;
    const UINT n = static_cast<UINT>(FftSize());
    // Acquire pairs with the device's release of m_nDone: those slots may be given new data.
    const DWORD d = dev.m_nDone.load(std::memory_order_acquire);
    if (dev.m_nLastSize == 0) {
        if (!dev.m_bOutOpen) {
            OnPlay();
            return;
        }
        BYTE* base = PlayBase();
        DWORD i = dev.m_nWrite.load(std::memory_order_relaxed) + 1;
        for (; i < d + kWaveRingSlots && std::uint64_t(i) * n < m_nPlayLength; ++i)
            SupplyBuffer(i, base);
        if (m_nPlayLength <= std::uint64_t(i) * n)
            dev.m_nLastSize = static_cast<DWORD>(m_nPlayLength - std::uint64_t(i - 1) * n);
        dev.m_nWrite.store(i - 1, std::memory_order_relaxed);
        dev.FeedOutput();
    }
    m_counters.m_bShown = true;
    m_counters.m_nWrite = dev.m_nWrite.load(std::memory_order_relaxed);
    m_counters.m_nRead = dev.m_nRead.load(std::memory_order_relaxed);
    m_counters.m_nDone = d;
    m_counters.m_nLastSize = dev.m_nLastSize;
    m_host.Changed(kChangeTransport);
    if (dev.m_nLastSize != 0 && d > dev.m_nWrite.load(std::memory_order_relaxed)) {
        OnStop();  // every buffer has played
        return;
    }
    ShowPosition(m_doc.m_bReverse == 1 ? m_nPlayStart - n * d : m_nPlayStart + n * d);
    m_host.SetTimer(kTransportTimer, kPlayTickMs);
}

void CTransport::OnReverse()
{
    if (m_doc.m_bReverse == 1) {
        m_doc.m_bReverse = 0;
        if (m_doc.m_nPosition == WindowEndingAt(m_doc.m_nEndMark))
            m_doc.m_nPosition = m_doc.m_nStartMark;
    } else {
        // Without the reversed buffer backward playback would read nothing: stay forwards.
        if (!m_doc.m_pReverse && !m_doc.BuildReverseBuffer())
            return;
        m_doc.m_bReverse = 1;
        if (m_doc.m_nPosition == m_doc.m_nStartMark)
            m_doc.m_nPosition = WindowEndingAt(m_doc.m_nEndMark);
    }
    ShowPositionInControls(m_doc.m_nPosition);
}

void CTransport::ApplyBalance(int balance)
{
    m_doc.m_nBalance = balance;
    m_doc.BuildMonoBuffer();
    if (m_doc.m_bReverse == 1)
        m_doc.BuildReverseBuffer();
    m_host.Changed(kChangeTakeEdited | kChangeAnalysis);
}

}  // namespace tonmira
