// The recording side of the transport: record command, capture timer, stop, record settings.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/RecordSetupValues.h"
#include "audio/Transport.h"
#include "audio/TransportHost.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftSize.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira {

namespace {

constexpr const char* kRecordInitFailed = "録音処理の初期化に失敗しました！";
constexpr const char* kBufferFailed = "バッファの取得に失敗しました！";
constexpr const char* kCannotChangeSettings = "設定変更できません！";
constexpr const char* kSettingUnusable = "選択した設定は使用できません！";
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
    if (m_doc.m_nState != 0)
        return;
    m_host.KillTimer(1);
    m_doc.ReleaseDerivedBuffers();
    CWaveDevice& dev = m_waveDevice;
    dev.m_nRate = m_doc.m_header.nSamplesPerSec;
    dev.m_nBits = m_doc.m_header.wBitsPerSample;
    dev.m_nChannels = m_doc.m_header.nChannels;
    dev.m_nBufferLen = static_cast<DWORD>(FftSize());

    const std::size_t bufferBytes = BufferBytes();
    // A format without frames would make a ring of nothing; realloc(p, 0) may free p.
    void* ring = bufferBytes ? std::realloc(m_pRecordRing, kWaveRingSlots * bufferBytes) : nullptr;
    if (!ring) {
        m_host.Message(kRecordInitFailed);
        RestoreDerivedBuffers();
        return;
    }
    m_pRecordRing = ring;
    for (int i = 0; i < kWaveRingSlots; ++i)
        dev.m_pBuffer[i] = static_cast<BYTE*>(m_pRecordRing) + i * bufferBytes;
    // The pre-trigger ring, for collection only: whole buffers covering the pre-trigger time.
    m_nPreSlots = m_nPreCount = m_nPreHead = 0;
    m_nPreTriggerFrames = 0;
    if (m_nCollectLevel != 0 && m_nAutoStartLevel == 0 && m_nPreTriggerMs > 0) {
        const int ms = m_nPreTriggerMs > 5000 ? 5000 : m_nPreTriggerMs;
        const std::uint64_t frames = std::uint64_t(ms) * m_doc.m_header.nSamplesPerSec / 1000;
        const auto n = static_cast<std::uint64_t>(FftSize());
        const auto slots = static_cast<DWORD>((frames + n - 1) / n);
        BYTE* pre = slots ? static_cast<BYTE*>(std::realloc(m_pPreRing, slots * bufferBytes)) : nullptr;
        if (slots && !pre) {
            m_host.Message(kRecordInitFailed);
            RestoreDerivedBuffers();
            return;
        }
        if (pre) {
            m_pPreRing = pre;
            m_nPreSlots = slots;
            m_nPreTriggerFrames = static_cast<UINT>(frames);
        }
    }
    m_nRecordedFrames = 0;
    dev.m_nRead.store(0);
    m_host.SetSliderPosition(WindowEndingAt(m_doc.m_nSamples - 1));
    if (m_nAutoStartLevel != 0 || m_nCollectLevel != 0)
        m_doc.m_bPause = 1;  // wait for the level
    if (dev.OpenInput()) {
        dev.m_nRead.store(0);
        m_host.EnableControl(kIdcFftSize, false);
        m_nTransport.store(2);
        m_doc.m_nState = 2;
        m_host.SetTimer(1, kFirstRecordTickMs);
    } else {
        RestoreDerivedBuffers();
    }
}

bool CTransport::IsLoud(DWORD index, int threshold) const
{
    const DWORD slot = index % kWaveRingSlots;
    // The count was published with the buffer (acquire load of m_nDone by the caller).
    DWORD n = m_waveDevice.m_nRecorded[slot].load(std::memory_order_relaxed);
    const DWORD bufferBytes = BufferBytes();
    if (n > bufferBytes)
        n = bufferBytes;
    const BYTE* data = static_cast<const BYTE*>(m_pRecordRing) + std::size_t(slot) * bufferBytes;
    // Block by block: the loudest sample of a block is found without a branch per sample, which
    // the compiler vectorises, and the scan still stops at the first block that is loud enough.
    constexpr DWORD kBlock = 64;
    if (m_doc.m_header.wBitsPerSample == 16) {
        const DWORD samples = n / 2;
        for (DWORD i = 0; i < samples; i += kBlock) {
            const DWORD end = std::min(samples, i + kBlock);
            int loudest = 0;
            for (DWORD k = i; k < end; ++k) {
                std::int16_t s;
                std::memcpy(&s, data + 2 * std::size_t(k), sizeof s);
                const int magnitude = s < 0 ? -s : s;
                loudest = magnitude > loudest ? magnitude : loudest;
            }
            if (loudest >= threshold)
                return true;
        }
    } else {
        for (DWORD i = 0; i < n; i += kBlock) {
            const DWORD end = std::min(n, i + kBlock);
            int loudest = 0;
            for (DWORD k = i; k < end; ++k) {
                const int s = data[k] - 128;
                const int magnitude = s < 0 ? -s : s;
                loudest = magnitude > loudest ? magnitude : loudest;
            }
            if (loudest >= threshold)
                return true;
        }
    }
    return false;
}

// Copies buffer `index` whole into the chunks. Chunks are never moved or copied while recording:
// only the table of chunk pointers grows, so a long recording costs one copy per buffer here and
// one at the stop.
bool CTransport::CopyToChunks(DWORD index)
{
    return CopyBufferToChunks(static_cast<const BYTE*>(m_pRecordRing) +
                              std::size_t(index % kWaveRingSlots) * BufferBytes());
}

void CTransport::KeepBeforeTrigger(DWORD index)
{
    // A slot the device left empty holds old sound: never part of an event.
    if (m_nPreSlots == 0 || m_waveDevice.m_nRecorded[index % kWaveRingSlots].load(std::memory_order_relaxed) == 0)
        return;
    const std::size_t bufferBytes = BufferBytes();
    std::memcpy(m_pPreRing + std::size_t(m_nPreHead) * bufferBytes,
                static_cast<const BYTE*>(m_pRecordRing) + std::size_t(index % kWaveRingSlots) * bufferBytes, bufferBytes);
    m_nPreHead = (m_nPreHead + 1) % m_nPreSlots;
    if (m_nPreCount < m_nPreSlots)
        ++m_nPreCount;
}

bool CTransport::CopyPreTriggerToChunks()
{
    const std::size_t bufferBytes = BufferBytes();
    const DWORD oldest = (m_nPreHead + m_nPreSlots - m_nPreCount) % m_nPreSlots;
    for (DWORD i = 0; i < m_nPreCount; ++i)
        if (!CopyBufferToChunks(m_pPreRing + std::size_t((oldest + i) % m_nPreSlots) * bufferBytes))
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
    const std::size_t chunkBytes = kWaveRingSlots * bufferBytes;
    const UINT n = static_cast<UINT>(FftSize());
    if (m_nChunkCount == 0) {
        m_ppChunks = static_cast<void**>(std::malloc(sizeof(void*)));
        if (!m_ppChunks)
            return false;
        m_ppChunks[0] = std::malloc(chunkBytes);
        if (!m_ppChunks[0]) {
            std::free(m_ppChunks);
            m_ppChunks = nullptr;
            return false;
        }
        m_nChunkCount = 1;
    }
    BYTE* chunk = static_cast<BYTE*>(m_ppChunks[m_nChunkCount - 1]);
    const std::size_t place = (m_nRecordedFrames / n) % kWaveRingSlots;
    std::memcpy(chunk + place * bufferBytes, buffer, bufferBytes);
    m_nRecordedFrames += n;
    if ((m_nRecordedFrames / n) % kWaveRingSlots == 0) {
        void** table = static_cast<void**>(std::realloc(m_ppChunks, sizeof(void*) * (m_nChunkCount + 1)));
        if (!table)
            return false;
        m_ppChunks = table;
        m_ppChunks[m_nChunkCount] = std::malloc(chunkBytes);
        if (!m_ppChunks[m_nChunkCount])
            return false;
        ++m_nChunkCount;
    }
    return true;
}

void CTransport::FreeChunks()
{
    for (int c = 0; c < m_nChunkCount; ++c)
        std::free(m_ppChunks[c]);
    std::free(m_ppChunks);
    m_ppChunks = nullptr;
    m_nChunkCount = 0;
    m_nLeadSkipFrames = 0;
}

void CTransport::RecordTick()
{
    m_host.KillTimer(1);
    CWaveDevice& dev = m_waveDevice;
    // Acquire pairs with the device's release: the buffers up to d and their counts are complete.
    const DWORD d = dev.m_nDone.load(std::memory_order_acquire);
    const DWORD r = dev.m_nRead.load(std::memory_order_relaxed);
    const DWORD rate = dev.m_nRate;
    if (d > r) {
        const bool sixteen = m_doc.m_header.wBitsPerSample == 16;
        int threshold = 0;
        if (m_nAutoStartLevel > 0)
            threshold = sixteen ? m_nAutoStartLevel * 32767 / 100 : m_nAutoStartLevel * 127 / 100;
        else if (m_nCollectLevel > 0)
            threshold = m_nCollectLevel;

        DWORD start = r;
        bool batchLoud = false;
        if (m_doc.m_bPause == 1 && threshold > 0) {
            for (DWORD k = r; k < d; ++k) {
                if (IsLoud(k, threshold)) {
                    OnPause();
                    m_nLastSoundBuffer = static_cast<int>(k);
                    start = k;
                    if (m_nPreCount && !CopyPreTriggerToChunks()) {
                        m_host.Message(kBufferFailed);
                        return;  // capture stalls until the stop command
                    }
                    break;
                }
                KeepBeforeTrigger(k);
            }
        } else if (m_doc.m_bPause == 0 && m_nCollectLevel > 0) {
            for (DWORD k = r; k < d && !batchLoud; ++k)
                batchLoud = IsLoud(k, threshold);
        }

        if (m_doc.m_bPause == 0) {
            for (DWORD k = start; k < d; ++k) {
                if (!CopyToChunks(k)) {
                    m_host.Message(kBufferFailed);
                    return;  // capture stalls until the stop command
                }
            }
            const UINT p = m_doc.m_nSamples + m_nRecordedFrames;
            m_doc.m_nPosition = p;
            m_strPosition = TimeText(p, m_doc.m_header.nSamplesPerSec);
            m_host.SetControlText(kIdcPosition, m_strPosition);

            if (m_nCollectLevel > 0) {
                if (batchLoud) {
                    m_nLastSoundBuffer = static_cast<int>(r);
                } else if (!m_bCollectBusy.load() && m_nRecordedFrames > static_cast<UINT>(FftSize()) && rate != 0) {
                    // 64-bit: in 32 bits the product wraps after about a hundred seconds of quiet.
                    std::uint64_t quietMs = std::uint64_t(d - static_cast<DWORD>(m_nLastSoundBuffer)) *
                                            static_cast<UINT>(FftSize()) * 1000 / rate;
                    if (quietMs > static_cast<std::uint64_t>(m_nContinuousMs < 0 ? 0 : m_nContinuousMs) &&
                        m_pCollectHandOver && m_pCollectHandOver->OnCollectHandOver())
                        return;
                }
            }
        }
        dev.m_nRead.store(d);
        if (!m_bStopRecording.load())
            dev.RequeueInput();
        m_host.InvalidateAnalysis();
    }
    if (m_bStopRecording.load() == 0 && rate != 0)
        m_host.SetTimer(1, static_cast<UINT>(std::uint64_t(FftSize()) * 1000 / rate + 2));
    else
        m_bStopRecording.store(0);
}

// Appends the chunks to the take. False (take unchanged, chunks kept) when it cannot grow.
bool CTransport::MoveChunksIntoTake()
{
    const std::size_t frameBytes = std::size_t(m_doc.m_header.nChannels) * m_doc.m_header.wBitsPerSample / 8;
    const std::size_t bufferBytes = BufferBytes();
    const std::size_t chunkBytes = kWaveRingSlots * bufferBytes;
    // Pre-trigger frames beyond the pre-trigger time lead the chunks; they are not taken.
    const UINT skip = m_nLeadSkipFrames < m_nRecordedFrames ? m_nLeadSkipFrames : 0;
    std::size_t lead = std::size_t(skip) * frameBytes;
    const std::uint64_t frames = std::uint64_t(m_doc.m_nSamples) + m_nRecordedFrames - skip;
    BYTE* data = frames <= 0xFFFFFFFFu
                     ? static_cast<BYTE*>(std::realloc(m_doc.m_pData, static_cast<std::size_t>(frames) * frameBytes))
                     : nullptr;
    if (!data)
        return false;
    m_doc.m_pData = data;
    BYTE* out = data + std::size_t(m_doc.m_nSamples) * frameBytes;
    std::size_t remaining = std::size_t(m_nRecordedFrames - skip) * frameBytes;
    for (int c = 0; c < m_nChunkCount; ++c) {
        const std::size_t from = lead < chunkBytes ? lead : chunkBytes;
        lead -= from;
        std::size_t n = remaining < chunkBytes - from ? remaining : chunkBytes - from;
        if (n)
            std::memcpy(out, static_cast<const BYTE*>(m_ppChunks[c]) + from, n);
        // Freed as soon as copied: the take's new pages fill while the chunks' pages go back,
        // so a long take is not held twice.
        std::free(m_ppChunks[c]);
        m_ppChunks[c] = nullptr;
        out += n;
        remaining -= n;
    }
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
    m_bStopRecording.store(1);
    m_waveDevice.CloseInput();
    m_host.KillTimer(1);
    m_bStopRecording.store(0);

    if (m_nChunkCount > 0 && m_nCollectLevel != 0 && m_bCollectBusy.load() != 1) {
        // A manual stop in the middle of an event discards it.
        FreeChunks();
        m_nRecordedFrames = 0;
        m_strPosition = "00:00.000";
        m_host.UpdateControlsFromMembers();
    } else if (m_nChunkCount > 0) {
        m_doc.SetModifiedFlag(1);
        m_host.BeginWaitCursor();
        if (!MoveChunksIntoTake()) {
            m_host.EndWaitCursor();
            m_host.Message(kBufferFailed);
            return false;
        }
        m_doc.m_nBalance = 50;
        PrepareWholeTake();
        m_host.EndWaitCursor();
    } else {
        PrepareWholeTake();
    }

    m_host.EnableControl(kIdcFftSize, true);
    m_strPosition = "00:00.000";
    m_host.SetControlText(kIdcPosition, m_strPosition);
    m_host.SetSliderRange(0, WindowEndingAt(m_doc.m_nSamples - 1));
    m_host.SetSliderPosition(0);
    m_host.InvalidateAnalysis();
    return true;
}

void CTransport::OnRecordSetup()
{
    for (;;) {
        RecordSetupValues values;
        values.m_bHasData = m_doc.HasTake() ? 1 : 0;
        values.m_nRateIndex = RecordRateIndex(m_doc.m_header.nSamplesPerSec);
        if (values.m_nRateIndex < 0) {
            m_host.Message(kCannotChangeSettings);
            return;
        }
        values.m_nBitsRadio = m_doc.m_header.wBitsPerSample == 16 ? 0 : 1;
        values.m_nChannelRadio = m_doc.m_header.nChannels == 2 ? 0 : 1;
        values.m_nStartLevel = m_nAutoStartLevel;
        if (!m_host.RunRecordSetupDialog(values))
            return;
        if (values.m_nRateIndex < 0 || values.m_nRateIndex > 4)
            return;
        if (!(m_dwInFormats & RecordFormatBit(values.m_nRateIndex, values.m_nBitsRadio, values.m_nChannelRadio))) {
            m_host.Message(kSettingUnusable);
            continue;  // the dialog opens again with the document's format
        }
        const DWORD oldRate = m_doc.m_header.nSamplesPerSec;
        const DWORD rate = kRecordRates[values.m_nRateIndex];
        m_doc.m_header.nSamplesPerSec = rate;
        m_doc.m_header.wBitsPerSample = values.m_nBitsRadio == 0 ? 16 : 8;
        m_doc.m_header.nChannels = values.m_nChannelRadio == 0 ? 2 : 1;
        m_nAutoStartLevel = values.m_nStartLevel;
        if (m_nAutoStartLevel != 0)
            m_nCollectLevel = 0;  // automatic start and collection exclude each other
        if (rate != oldRate) {
            m_analysis.m_nMaxFreq = static_cast<int>(rate / 2);
            m_analysis.m_nMinFreq = 0;
            // Engine, spectrum and detection-level window for the new N and format; on failure
            // the memory message has been shown and nothing is computed until N changes again.
            m_analysis.SetFftSize(DefaultFftSize(rate), m_doc, m_host);
            m_host.ApplyRateChange(DefaultFftSizeIndex(rate));
            m_host.UpdateControlsFromMembers();
            m_host.InvalidateAnalysis();
        }
        return;
    }
}

}  // namespace tonmira
