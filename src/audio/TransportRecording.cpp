// The recording side of the transport: record command, capture timer, stop, record settings.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/RecordSetupValues.h"
#include "audio/Transport.h"
#include "audio/TransportHost.h"
#include "base/Messages.h"
#include "base/SampleMath.h"
#include "doc/TakeFigures.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftSize.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira {

namespace {

constexpr UINT kFirstRecordTickMs = 150;

}  // namespace

DWORD CTransport::BufferBytes() const
{
    const WavHeader& h = m_doc.m_header;
    return static_cast<DWORD>(std::uint64_t(h.nChannels) * h.wBitsPerSample * static_cast<UINT>(FftSize()) / 8);
}

// Recording starts by dropping the derived buffers; when it cannot start after all, the take
// gets its mono buffer back so that nothing reads a null mono buffer of a present take.
void CTransport::RestoreDerivedBuffers()
{
    if (m_doc.HasTake())
        m_doc.BuildMonoBuffer();
}

void CTransport::OnRecord()
{
    if (m_doc.m_nState != TransportState::Idle)
        return;
    // Said before anything of the take or the screen is touched, so the view stays as it was.
    if (!m_waveDevice.HasDevice(WaveDirection::Input)) {
        m_host.Message(msg::kNoInputDevice);
        return;
    }
    m_host.KillTimer(kTransportTimer);
    const UINT position = m_doc.m_nPosition;  // where a start that fails leaves it
    m_doc.ReleaseDerivedBuffers();
    CWaveDevice& dev = m_waveDevice;
    dev.m_nRate = m_doc.m_header.nSamplesPerSec;
    dev.m_nBits = m_doc.m_header.wBitsPerSample;
    dev.m_nChannels = m_doc.m_header.nChannels;
    dev.m_nBufferLen = static_cast<DWORD>(FftSize());

    const std::size_t bufferBytes = BufferBytes();
    // A format without frames would make a ring of nothing; realloc(p, 0) may free p.
    if (!bufferBytes || !Reallocate(m_pRecordRing, kWaveRingSlots * bufferBytes) || !PreparePreTrigger(bufferBytes)) {
        m_host.Message(msg::kRecordInitFailed);
        RestoreDerivedBuffers();
        m_doc.m_nPosition = position;
        return;
    }
    for (int i = 0; i < kWaveRingSlots; ++i)
        dev.m_pBuffer[i] = m_pRecordRing.get() + i * bufferBytes;
    m_nRecordedFrames = 0;
    dev.m_nRead.store(0, std::memory_order_relaxed);  // no stream runs yet
    m_nShownPosition = WindowEndingAt(m_doc.m_nSamples - 1);
    m_host.Changed(kChangePosition);
    const BOOL wasPaused = m_doc.m_bPause;
    if (m_nAutoStartLevel != 0 || m_nCollectLevel != 0)
        m_doc.m_bPause = 1;  // wait for the level
    if (dev.OpenInput()) {
        // Owner's thread only: the stream thread never reads m_nRead.
        dev.m_nRead.store(0, std::memory_order_relaxed);
        SetState(TransportState::Recording);
        m_host.SetTimer(kTransportTimer, kFirstRecordTickMs);
    } else {
        m_doc.m_bPause = wasPaused;
        RestoreDerivedBuffers();
        m_doc.m_nPosition = position;
        m_nShownPosition = position;  // no recording: the slider back at the position
        m_host.Changed(kChangePosition);
    }
}

bool CTransport::PreparePreTrigger(std::size_t bufferBytes)
{
    m_nPreSlots = m_nPreCount = m_nPreHead = 0;
    m_nPreTriggerFrames = 0;
    if (m_nCollectLevel == 0 || m_nAutoStartLevel != 0 || m_nPreTriggerMs <= 0)
        return true;
    const int ms = m_nPreTriggerMs > 5000 ? 5000 : m_nPreTriggerMs;
    const std::uint64_t frames = std::uint64_t(ms) * m_doc.m_header.nSamplesPerSec / 1000;
    const auto n = static_cast<std::uint64_t>(FftSize());
    const auto slots = static_cast<DWORD>((frames + n - 1) / n);
    if (slots == 0)
        return true;
    if (!Reallocate(m_pPreRing, slots * bufferBytes))
        return false;
    m_nPreSlots = slots;
    m_nPreTriggerFrames = static_cast<UINT>(frames);
    return true;
}

const BYTE* CTransport::RingSlot(DWORD index) const
{
    return m_pRecordRing.get() + std::size_t(index % kWaveRingSlots) * BufferBytes();
}

bool CTransport::IsLoud(DWORD index, int threshold) const
{
    // The count was published with the buffer (acquire load of m_nDone by the tick).
    DWORD n = m_waveDevice.m_nRecorded[index % kWaveRingSlots].load(std::memory_order_relaxed);
    const DWORD bufferBytes = BufferBytes();
    if (n > bufferBytes)
        n = bufferBytes;
    const int bits = m_doc.m_header.wBitsPerSample;
    // Anything but 16 bits is the 8-bit format, as the ring was sized.
    return bits == 16 ? HasSampleAtLeast(RingSlot(index), n / 2, 16, threshold) : HasSampleAtLeast(RingSlot(index), n, 8, threshold);
}

bool CTransport::AnyLoud(DWORD r, DWORD d, int threshold) const
{
    for (DWORD k = r; k < d; ++k)
        if (IsLoud(k, threshold))
            return true;
    return false;
}

bool CTransport::CopyToChunks(DWORD index) { return CopyBufferToChunks(RingSlot(index)); }

void CTransport::KeepBeforeTrigger(DWORD index)
{
    // A slot the device left empty holds old sound: never part of an event.
    if (m_nPreSlots == 0 || m_waveDevice.m_nRecorded[index % kWaveRingSlots].load(std::memory_order_relaxed) == 0)
        return;
    const std::size_t bufferBytes = BufferBytes();
    std::memcpy(m_pPreRing.get() + std::size_t(m_nPreHead) * bufferBytes, RingSlot(index), bufferBytes);
    m_nPreHead = (m_nPreHead + 1) % m_nPreSlots;
    if (m_nPreCount < m_nPreSlots)
        ++m_nPreCount;
}

bool CTransport::CopyPreTriggerToChunks()
{
    const std::size_t bufferBytes = BufferBytes();
    const DWORD oldest = (m_nPreHead + m_nPreSlots - m_nPreCount) % m_nPreSlots;
    for (DWORD i = 0; i < m_nPreCount; ++i)
        if (!CopyBufferToChunks(m_pPreRing.get() + std::size_t((oldest + i) % m_nPreSlots) * bufferBytes))
            return false;
    // The ring holds whole buffers; the take starts the pre-trigger time before the trigger.
    const UINT kept = m_nPreCount * static_cast<UINT>(FftSize());
    m_nLeadSkipFrames = kept > m_nPreTriggerFrames ? kept - m_nPreTriggerFrames : 0;
    m_nPreCount = m_nPreHead = 0;
    return true;
}

bool CTransport::CopyBufferToChunks(const BYTE* buffer)
{
    const std::size_t bufferBytes = BufferBytes();
    if (!m_chunks.Store(buffer, bufferBytes))
        return false;
    m_nRecordedFrames += static_cast<UINT>(FftSize());
    // The next chunk is had as soon as this one is full, so a failure shows with the buffer that
    // filled it, not one later.
    return m_chunks.ReserveNext(bufferBytes);
}

void CTransport::FreeChunks()
{
    m_chunks.Clear();
    m_nLeadSkipFrames = 0;
}

int CTransport::LevelThreshold() const
{
    const bool sixteen = m_doc.m_header.wBitsPerSample == 16;
    if (m_nAutoStartLevel > 0)
        return sixteen ? m_nAutoStartLevel * 32767 / 100 : m_nAutoStartLevel * 127 / 100;
    if (m_nCollectLevel > 0)
        return m_nCollectLevel;
    return 0;
}

void CTransport::RecordTick()
{
    m_host.KillTimer(kTransportTimer);
    CWaveDevice& dev = m_waveDevice;
    // Acquire pairs with the device's release: the buffers up to d and their counts are complete.
    const DWORD d = dev.m_nDone.load(std::memory_order_acquire);
    const DWORD r = dev.m_nRead.load(std::memory_order_relaxed);  // written on this thread only
    if (d > r && !TakeBatch(r, d))
        return;
    ScheduleRecordTick();
}

bool CTransport::TakeBatch(DWORD r, DWORD d)
{
    // The level of every buffer the device handed over, also while waiting for the trigger:
    // read here, after the acquire of the tick, never on the device's thread.
    m_inputLevel.NewBatch();
    for (DWORD k = r; k < d; ++k)
        m_inputLevel.Add(RingSlot(k), std::min<DWORD>(m_waveDevice.m_nRecorded[k % kWaveRingSlots].load(std::memory_order_relaxed),
                                                      BufferBytes()));
    const int threshold = LevelThreshold();
    DWORD start = r;
    bool batchLoud = false;
    if (m_doc.m_bPause == 1 && threshold > 0) {
        if (!WaitForLevel(r, d, threshold, start)) {
            m_host.Message(msg::kBufferFailed);
            return false;
        }
    } else if (m_doc.m_bPause == 0 && m_nCollectLevel > 0) {
        batchLoud = AnyLoud(r, d, threshold);
    }
    if (m_doc.m_bPause == 0) {
        if (!StoreBatch(start, d)) {
            m_host.Message(msg::kBufferFailed);
            return false;
        }
        ShowRecordedPosition();
        if (m_nCollectLevel > 0 && HandOverAfterQuiet(r, d, batchLoud))
            return false;
    }
    GiveBatchBack(d);
    return true;
}

bool CTransport::WaitForLevel(DWORD r, DWORD d, int threshold, DWORD& start)
{
    for (DWORD k = r; k < d; ++k) {
        if (IsLoud(k, threshold)) {
            OnPause();
            m_nLastSoundBuffer = static_cast<int>(k);
            start = k;
            return m_nPreCount == 0 || CopyPreTriggerToChunks();
        }
        KeepBeforeTrigger(k);
    }
    return true;
}

bool CTransport::StoreBatch(DWORD start, DWORD d)
{
    for (DWORD k = start; k < d; ++k)
        if (!CopyToChunks(k))
            return false;
    return true;
}

void CTransport::ShowRecordedPosition()
{
    const UINT p = m_doc.m_nSamples + m_nRecordedFrames;
    m_doc.m_nPosition = p;
    m_strPosition = FormatTakeTime(p, m_doc.m_header.nSamplesPerSec);
    m_strPositionField = m_strPosition;
    m_host.Changed(kChangePosition);
}

bool CTransport::HandOverAfterQuiet(DWORD r, DWORD d, bool batchLoud)
{
    if (batchLoud) {
        m_nLastSoundBuffer = static_cast<int>(r);
        return false;
    }
    const DWORD rate = m_waveDevice.m_nRate;
    const auto n = static_cast<UINT>(FftSize());
    if (IsCollectBusy() || m_nRecordedFrames <= n || rate == 0)
        return false;
    // 64-bit: in 32 bits the product wraps after about a hundred seconds of quiet.
    const std::uint64_t quietMs = std::uint64_t(d - static_cast<DWORD>(m_nLastSoundBuffer)) * n * 1000 / rate;
    return quietMs > static_cast<std::uint64_t>(m_nContinuousMs < 0 ? 0 : m_nContinuousMs) && m_pCollectHandOver &&
           m_pCollectHandOver->OnCollectHandOver();
}

void CTransport::GiveBatchBack(DWORD d)
{
    m_waveDevice.m_nRead.store(d, std::memory_order_relaxed);  // read back on this thread only
    if (!m_bStopRecording)
        m_waveDevice.RequeueInput();
    m_host.Changed(kChangeAnalysis);
}

void CTransport::ScheduleRecordTick()
{
    const DWORD rate = m_waveDevice.m_nRate;
    if (!m_bStopRecording && rate != 0)
        m_host.SetTimer(kTransportTimer, static_cast<UINT>(std::uint64_t(FftSize()) * 1000 / rate + 2));
    else
        m_bStopRecording = false;
}

// Appends the chunks to the take. False (take unchanged, chunks kept) when it cannot grow.
bool CTransport::MoveChunksIntoTake()
{
    const std::size_t frameBytes = std::size_t(m_doc.m_header.nChannels) * m_doc.m_header.wBitsPerSample / 8;
    // Pre-trigger frames beyond the pre-trigger time lead the chunks; they are not taken.
    const UINT skip = m_nLeadSkipFrames < m_nRecordedFrames ? m_nLeadSkipFrames : 0;
    const std::uint64_t frames = std::uint64_t(m_doc.m_nSamples) + m_nRecordedFrames - skip;
    BYTE* data = frames <= 0xFFFFFFFFu
                     ? static_cast<BYTE*>(std::realloc(m_doc.m_pData, static_cast<std::size_t>(frames) * frameBytes))
                     : nullptr;
    if (!data)
        return false;
    m_doc.m_pData = data;
    m_chunks.MoveOut(data + std::size_t(m_doc.m_nSamples) * frameBytes, std::size_t(skip) * frameBytes,
                     std::size_t(m_nRecordedFrames - skip) * frameBytes, BufferBytes());
    FreeChunks();
    m_doc.m_nSamples = static_cast<UINT>(frames);
    return true;
}

void CTransport::PrepareWholeTake()
{
    if (m_doc.HasTake()) {
        m_doc.BuildMonoBuffer();
        if (m_doc.m_bReverse == 1)
            m_doc.BuildReverseBuffer();
    }
    m_doc.m_nStartMark = 0;
    m_doc.m_nEndMark = m_doc.m_nSamples - 1;
    m_doc.m_nPosition = 0;
}

bool CTransport::StopRecording()
{
    m_bStopRecording = true;
    m_waveDevice.CloseInput();
    m_host.KillTimer(kTransportTimer);
    m_bStopRecording = false;

    if (m_chunks.Count() > 0 && m_nCollectLevel != 0 && !IsCollectBusy()) {
        // A manual stop in the middle of an event discards it.
        FreeChunks();
        m_nRecordedFrames = 0;
        m_strPosition = "00:00.000";
        ShowFieldsFromMembers();
    } else if (m_chunks.Count() > 0) {
        m_doc.SetModifiedFlag(1);
        if (!MoveChunksIntoTake()) {
            m_host.Message(msg::kBufferFailed);
            return false;
        }
        m_doc.m_nBalance = 50;
        PrepareWholeTake();
    } else {
        PrepareWholeTake();
    }

    m_strPosition = "00:00.000";
    m_strPositionField = m_strPosition;
    m_nPositionLimit = WindowEndingAt(m_doc.m_nSamples - 1);
    m_nShownPosition = 0;
    m_host.Changed(kChangeTakeReplaced | kChangePosition | kChangeAnalysis);
    return true;
}

void CTransport::OnRecordSetup(const std::function<bool(RecordSetupValues&)>& runDialog)
{
    for (;;) {
        RecordSetupValues values;
        values.m_bHasData = m_doc.HasTake() ? 1 : 0;
        values.m_nRateIndex = RecordRateIndex(m_doc.m_header.nSamplesPerSec);
        if (values.m_nRateIndex < 0) {
            m_host.Message(msg::kCannotChangeSettings);
            return;
        }
        values.m_nBitsRadio = m_doc.m_header.wBitsPerSample == 16 ? 0 : 1;
        values.m_nChannelRadio = m_doc.m_header.nChannels == 2 ? 0 : 1;
        values.m_nStartLevel = m_nAutoStartLevel;
        if (!runDialog(values))
            return;
        if (values.m_nRateIndex < 0 || values.m_nRateIndex > 4)
            return;
        if (!(m_dwInFormats & RecordFormatBit(values.m_nRateIndex, values.m_nBitsRadio, values.m_nChannelRadio))) {
            m_host.Message(msg::kSettingUnusable);
            continue;  // the dialog opens again with the document's format
        }
        const DWORD oldRate = m_doc.m_header.nSamplesPerSec;
        const DWORD rate = kRecordRates[values.m_nRateIndex];
        m_doc.m_header.nSamplesPerSec = rate;
        m_doc.m_header.wBitsPerSample = values.m_nBitsRadio == 0 ? 16 : 8;
        m_doc.m_header.nChannels = values.m_nChannelRadio == 0 ? 2 : 1;
        m_nAutoStartLevel = values.m_nStartLevel;
        if (m_nAutoStartLevel != 0) {
            // Automatic start and collection exclude each other. The level belongs to the
            // collection settings: clearing only this copy would let the settings dialog bring
            // it back.
            m_nCollectLevel = 0;
            if (m_pCollectHandOver)
                m_pCollectHandOver->ClearCollectLevel();
        }
        if (rate != oldRate) {
            // Engine and spectrum for the new N and format; on failure
            // the memory message has been shown and nothing is computed until N changes again.
            m_analysis.SetFftSize(DefaultFftSize(rate), m_host);
            ShowFieldsFromMembers();
            m_host.Changed(kChangeFormat | kChangeWholeBand | kChangeFftSize | kChangeAnalysis);
        }
        return;
    }
}

}  // namespace tonmira
