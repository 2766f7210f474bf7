#include "audio/WaveDevice.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "base/MessageSink.h"

namespace tonmira {

namespace {

std::unique_ptr<WaveBufferHeader[]> AllocateHeaders()
{
    return std::unique_ptr<WaveBufferHeader[]>(new (std::nothrow) WaveBufferHeader[kWaveRingSlots]);
}

void Prepare(WaveBufferHeader& header) { header.bPrepared = 1; }
void Unprepare(WaveBufferHeader& header) { header.bPrepared = 0; }

}  // namespace

CWaveDevice::CWaveDevice(WaveBackend& backend, MessageSink& sink) : m_backend(backend), m_sink(sink)
{
    m_hMutex.reset(new (std::nothrow) std::mutex);
}

CWaveDevice::~CWaveDevice()
{
    // A device still streaming would call back into a destroyed object.
    CloseOutput();
    CloseInput();
}

DWORD CWaveDevice::OutputLength(DWORD index) const
{
    DWORD samples = (index == m_nWrite.load(std::memory_order_relaxed) && m_nLastSize != 0) ? m_nLastSize : m_nBufferLen;
    return m_nBits == 16 ? samples * 2 : samples;
}

int CWaveDevice::QueueBuffer(WaveDirection direction, DriverQueue& queue, WaveBufferHeader* header)
{
    if (int error = m_backend.Submit(direction))
        return error;
    DWORD q = queue.queued.load(std::memory_order_relaxed);
    queue.entries[q % kWaveRingSlots] = header;
    // Release: the stream thread sees the entry, its header and its data once it sees the count.
    queue.queued.store(q + 1, std::memory_order_release);
    return 0;
}

// Windows' reset: every queued buffer comes back. Only called while no callback runs.
void CWaveDevice::ReturnAllBuffers(DriverQueue& queue, bool input)
{
    DWORD queued = queue.queued.load(std::memory_order_acquire);
    DWORD done = m_nDone.load(std::memory_order_acquire);
    for (; done < queued; ++done) {
        if (input) {
            // The buffer in progress comes back with what it holds, the rest empty.
            DWORD bytes = queue.offset.exchange(0, std::memory_order_relaxed);
            m_nRecorded[done % kWaveRingSlots].store(bytes, std::memory_order_relaxed);
        }
        m_nDone.store(done + 1, std::memory_order_release);
    }
    queue.offset.store(0, std::memory_order_relaxed);
}

BOOL CWaveDevice::OpenOutput(BOOL startPaused)
{
    m_format = MakeWaveFormat(m_nRate, m_nBits, m_nChannels);
    m_outQueue.queued.store(0, std::memory_order_relaxed);
    m_outQueue.offset.store(0, std::memory_order_relaxed);
    m_nSilence.store(m_nBits == 8 ? 0x80 : 0, std::memory_order_relaxed);
    // The device starts held: nothing plays until the queue is complete.
    m_bDevicePaused.store(true, std::memory_order_release);
    if (m_backend.Open(WaveDirection::Output, m_format, *this) != 0) {
        m_backend.StopSystemSound();
        if (m_backend.Open(WaveDirection::Output, m_format, *this) != 0)
            return 0;
    }
    if (!m_pOutHeaders) {
        m_pOutHeaders = AllocateHeaders();
        if (!m_pOutHeaders) {
            m_backend.Close(WaveDirection::Output);
            return 0;
        }
    }
    DWORD last = m_nWrite.load(std::memory_order_relaxed);
    m_nPrepared = kWaveRingSlots;
    for (DWORD i = 0; i < kWaveRingSlots; ++i) {
        WaveBufferHeader& h = m_pOutHeaders[i];
        h = WaveBufferHeader{};
        h.lpData = static_cast<BYTE*>(m_pBuffer[i]);
        h.dwBufferLength = OutputLength(i);
        h.dwFlags = kWhdrDone;
        Prepare(h);
        if (i == last) {
            m_nPrepared = i + 1;
            break;
        }
    }
    m_nDone.store(0, std::memory_order_release);
    m_nRead.store(0, std::memory_order_relaxed);
    for (DWORD i = 0; i < m_nPrepared; ++i) {
        if (QueueBuffer(WaveDirection::Output, m_outQueue, &m_pOutHeaders[i]) != 0 ||
            (i == 0 && m_backend.Start(WaveDirection::Output) != 0)) {
            m_backend.Stop(WaveDirection::Output);
            for (DWORD k = 0; k < m_nPrepared; ++k)
                Unprepare(m_pOutHeaders[k]);
            m_backend.Close(WaveDirection::Output);
            return 0;
        }
    }
    m_nRead.store(last, std::memory_order_relaxed);
    if (startPaused)
        m_bOutPaused = 1;
    else
        m_bDevicePaused.store(false, std::memory_order_release);
    m_bOutOpen = 1;
    return 1;
}

BOOL CWaveDevice::FeedOutput()
{
    while (m_nRead.load(std::memory_order_relaxed) < m_nWrite.load(std::memory_order_relaxed)) {
        DWORD index = m_nRead.load(std::memory_order_relaxed) + 1;
        m_nRead.store(index, std::memory_order_relaxed);
        WaveBufferHeader& h = m_pOutHeaders[index % kWaveRingSlots];
        Unprepare(h);
        h.lpData = static_cast<BYTE*>(m_pBuffer[index % kWaveRingSlots]);
        h.dwBufferLength = OutputLength(index);
        Prepare(h);
        int error = m_bOutOpen ? QueueBuffer(WaveDirection::Output, m_outQueue, &h) : 5;
        if (error != 0) {
            m_sink.Message("Error - " + std::to_string(error));
            return 0;
        }
    }
    return 1;
}

BOOL CWaveDevice::PauseOutput()
{
    if (m_bOutOpen != 1)
        return 1;
    m_bOutPaused = 1;
    m_bDevicePaused.store(true, std::memory_order_release);
    return 0;
}

BOOL CWaveDevice::RestartOutput()
{
    if (m_bOutPaused != 1)
        return 1;
    m_bOutPaused = 0;
    m_bDevicePaused.store(false, std::memory_order_release);
    return 0;
}

BOOL CWaveDevice::CloseOutput()
{
    m_bOutPaused = 0;
    if (m_bOutOpen != 1)
        return 1;
    // Nothing more from the queue; what the device already holds still plays out while it stops.
    m_bDevicePaused.store(true, std::memory_order_release);
    // Once Stop returns no callback runs, so handing the buffers back cannot race.
    m_backend.Stop(WaveDirection::Output);
    ReturnAllBuffers(m_outQueue, false);
    for (DWORD i = 0; i < kWaveRingSlots; ++i)
        Unprepare(m_pOutHeaders[i]);
    m_backend.Close(WaveDirection::Output);
    m_bOutOpen = 0;
    return 1;
}

BOOL CWaveDevice::OpenInput()
{
    m_format = MakeWaveFormat(m_nRate, m_nBits, m_nChannels);
    m_inQueue.queued.store(0, std::memory_order_relaxed);
    m_inQueue.offset.store(0, std::memory_order_relaxed);
    if (m_backend.Open(WaveDirection::Input, m_format, *this) != 0)
        return 0;
    if (!m_pInHeaders) {
        m_pInHeaders = AllocateHeaders();
        if (!m_pInHeaders) {
            m_backend.Close(WaveDirection::Input);
            return 0;
        }
    }
    m_nDone.store(0, std::memory_order_release);
    for (DWORD i = 0; i < kWaveRingSlots; ++i) {
        WaveBufferHeader& h = m_pInHeaders[i];
        h = WaveBufferHeader{};
        h.lpData = static_cast<BYTE*>(m_pBuffer[i]);
        h.dwBufferLength = static_cast<DWORD>(std::uint64_t(m_nChannels) * m_nBits * m_nBufferLen / 8);
        Prepare(h);
        if (QueueBuffer(WaveDirection::Input, m_inQueue, &h) != 0) {
            for (DWORD k = 0; k <= i; ++k)
                Unprepare(m_pInHeaders[k]);
            m_backend.Close(WaveDirection::Input);
            return 0;
        }
    }
    m_nWrite.store(kWaveRingSlots - 1, std::memory_order_relaxed);
    if (m_backend.Start(WaveDirection::Input) != 0) {
        m_backend.Stop(WaveDirection::Input);
        for (DWORD k = 0; k < kWaveRingSlots; ++k)
            Unprepare(m_pInHeaders[k]);
        m_backend.Close(WaveDirection::Input);
        return 0;
    }
    m_bInOpen = 1;
    return 1;
}

BOOL CWaveDevice::RequeueInput()
{
    while (m_nWrite.load(std::memory_order_relaxed) < m_nRead.load(std::memory_order_relaxed) + (kWaveRingSlots - 1)) {
        DWORD index = m_nWrite.load(std::memory_order_relaxed) + 1;
        int error = m_bInOpen ? QueueBuffer(WaveDirection::Input, m_inQueue, &m_pInHeaders[index % kWaveRingSlots]) : 5;
        if (error != 0) {
            m_sink.Message("Error - " + std::to_string(error));
            return 0;
        }
        m_nWrite.store(index, std::memory_order_relaxed);
    }
    return 1;
}

BOOL CWaveDevice::CloseInput()
{
    if (m_bInOpen != 1)
        return 1;
    m_backend.Stop(WaveDirection::Input);
    ReturnAllBuffers(m_inQueue, true);
    for (DWORD i = 0; i < kWaveRingSlots; ++i)
        Unprepare(m_pInHeaders[i]);
    m_backend.Close(WaveDirection::Input);
    m_bInOpen = 0;
    return 0;
}

BOOL CWaveDevice::QueryInputFormats(DWORD& formats)
{
    int count = m_backend.InputDeviceCount();
    for (int id = -1; id < count; ++id) {
        if (!m_backend.InputFormats(id, formats)) {
            formats = 0;
            return 0;
        }
    }
    return 1;
}

// Stream thread. Plays the queued buffers in order; a buffer counts as done once its last byte
// has been copied out. Paused or out of buffers: silence, and the queue waits.
void CWaveDevice::RenderOutput(void* dst, std::size_t bytes) noexcept
{
    BYTE* out = static_cast<BYTE*>(dst);
    BYTE silence = m_nSilence.load(std::memory_order_relaxed);
    if (m_bDevicePaused.load(std::memory_order_acquire)) {
        std::memset(out, silence, bytes);
        return;
    }
    DWORD offset = m_outQueue.offset.load(std::memory_order_relaxed);
    // Only this thread advances m_nDone while the stream runs.
    DWORD done = m_nDone.load(std::memory_order_relaxed);
    while (bytes > 0) {
        // Acquire pairs with the release in QueueBuffer: entry, header and data are visible.
        if (done == m_outQueue.queued.load(std::memory_order_acquire)) {
            std::memset(out, silence, bytes);
            break;
        }
        const WaveBufferHeader* h = m_outQueue.entries[done % kWaveRingSlots];
        std::size_t n = std::min<std::size_t>(bytes, h->dwBufferLength - offset);
        if (n > 0)
            std::memcpy(out, h->lpData + offset, n);
        out += n;
        bytes -= n;
        offset += static_cast<DWORD>(n);
        if (offset >= h->dwBufferLength) {
            offset = 0;
            ++done;
            // Release: the owner may refill the slot once it sees the count.
            m_nDone.store(done, std::memory_order_release);
        }
    }
    m_outQueue.offset.store(offset, std::memory_order_relaxed);
}

// Stream thread. Fills the queued buffers in order. When every queued buffer is full and not yet
// taken back, the input is dropped and counted rather than written over a buffer in use.
void CWaveDevice::CaptureInput(const void* src, std::size_t bytes) noexcept
{
    const BYTE* in = static_cast<const BYTE*>(src);
    DWORD offset = m_inQueue.offset.load(std::memory_order_relaxed);
    DWORD done = m_nDone.load(std::memory_order_relaxed);
    while (bytes > 0) {
        if (done == m_inQueue.queued.load(std::memory_order_acquire)) {
            DWORD frameBytes = m_format.nBlockAlign ? m_format.nBlockAlign : 1;
            m_nDroppedFrames.fetch_add(bytes / frameBytes, std::memory_order_relaxed);
            break;
        }
        WaveBufferHeader* h = m_inQueue.entries[done % kWaveRingSlots];
        std::size_t n = std::min<std::size_t>(bytes, h->dwBufferLength - offset);
        if (n > 0)
            std::memcpy(h->lpData + offset, in, n);
        in += n;
        bytes -= n;
        offset += static_cast<DWORD>(n);
        if (offset >= h->dwBufferLength) {
            // The byte count goes first; the release store of m_nDone publishes it together with
            // the buffer's data to a reader that loads m_nDone with acquire.
            m_nRecorded[done % kWaveRingSlots].store(offset, std::memory_order_relaxed);
            offset = 0;
            ++done;
            m_nDone.store(done, std::memory_order_release);
        }
    }
    m_inQueue.offset.store(offset, std::memory_order_relaxed);
}

}  // namespace tonmira
