#pragma once
// CWaveDevice: one output stream and one input stream on the default devices, each through a
// ring of 128 caller-owned buffers. Buffer indices count up from 0 for the whole stream and
// address slot (index mod 128); the device hands buffers back in the order they were queued.
//
// Threads: every operation runs on the owner's (UI) thread. The backend's stream thread only
// runs RenderOutput / CaptureInput, which touch atomics and the buffers queued to the device at
// that moment. Other threads (the collection worker) may read the counters.
#include <array>
#include <atomic>
#include <memory>
#include <mutex>

#include "audio/WaveBackend.h"
#include "audio/WaveBufferHeader.h"
#include "audio/WaveFormat.h"
#include "base/Types.h"

namespace tonmira {

class MessageSink;

constexpr int kWaveRingSlots = 128;

class CWaveDevice : private WaveStreamCallbacks {
public:
    CWaveDevice(WaveBackend& backend, MessageSink& sink);
    ~CWaveDevice() override;
    CWaveDevice(const CWaveDevice&) = delete;
    CWaveDevice& operator=(const CWaveDevice&) = delete;

    // Whether the system has a default device of the direction at all.
    bool HasDevice(WaveDirection direction) { return m_backend.HasDevice(direction); }

    // Before: m_nRate, m_nBits, m_nChannels, m_nBufferLen, m_nLastSize, m_nWrite (last initial
    // index, at most 127) and m_pBuffer[0 .. m_nWrite]. TRUE when open and the buffers are queued.
    BOOL OpenOutput(BOOL startPaused);
    // Queues every supplied buffer up to m_nWrite. FALSE after an "Error - %d" message.
    BOOL FeedOutput();
    // FALSE after pausing; TRUE (nothing done) when no output is open.
    BOOL PauseOutput();
    // FALSE after restarting; TRUE (nothing done) when this layer did not hold the output paused.
    BOOL RestartOutput();
    // Hands every queued buffer back and closes. Always TRUE.
    BOOL CloseOutput();

    // Before: m_nRate, m_nBits, m_nChannels, m_nBufferLen (frames) and all 128 m_pBuffer entries.
    // TRUE when open, all 128 buffers queued and capture started; the caller then sets m_nRead = 0.
    BOOL OpenInput();
    // Queues the buffers the caller has taken again. FALSE after an "Error - %d" message.
    BOOL RequeueInput();
    // TRUE (nothing done) when no input was open; FALSE after closing. Every queued buffer comes
    // back (the one being filled with its partial byte count, the rest with 0).
    BOOL CloseInput();

    // Format bits of the default input and then of every input device; the value left is that
    // of the last device queried. FALSE (value 0) when a query fails.
    BOOL QueryInputFormats(DWORD& formats);

    // Input frames thrown away because every buffer was full and not yet taken.
    std::uint64_t DroppedInputFrames() const { return m_nDroppedFrames.load(std::memory_order_relaxed); }

    BYTE m_bOutPaused = 0;
    BYTE m_bOutOpen = 0;
    BYTE m_bInOpen = 0;
    // Never waited on; playback refuses to start while it is null.
    std::unique_ptr<std::mutex> m_hMutex;
    DWORD m_nRate = 44100;
    WORD m_nBits = 16;
    WORD m_nChannels = 1;
    // Output: samples per buffer (one channel); input: frames per buffer.
    DWORD m_nBufferLen = 0;
    // Output: samples in the final buffer once the end is scheduled; 0 = every buffer full.
    DWORD m_nLastSize = 0;
    std::array<void*, kWaveRingSlots> m_pBuffer{};
    // Owner's thread writes these two; others may read them.
    std::atomic<DWORD> m_nRead{0};
    std::atomic<DWORD> m_nWrite{0};
    // Written by the stream thread (and by the owner while no stream runs): buffers handed back.
    std::atomic<DWORD> m_nDone{0};
    // Input: bytes filled in each slot, stored before m_nDone publishes the buffer.
    std::array<std::atomic<DWORD>, kWaveRingSlots> m_nRecorded{};
    DWORD m_nPrepared = 0;
    std::unique_ptr<WaveBufferHeader[]> m_pInHeaders;
    WaveFormat m_format;
    std::unique_ptr<WaveBufferHeader[]> m_pOutHeaders;

private:
    // What the device holds of one direction: the buffers handed to it in order. Entry q of the
    // queue is read by the stream thread only after m_nQueued > q (acquire) and rewritten by the
    // owner only after the stream has handed it back (m_nDone > q, acquire).
    struct DriverQueue {
        std::array<WaveBufferHeader*, kWaveRingSlots> entries{};
        std::atomic<DWORD> queued{0};   // buffers handed to the device in this stream
        std::atomic<DWORD> offset{0};   // bytes done of the buffer in progress (stream thread)
    };

    void RenderOutput(void* dst, std::size_t bytes) noexcept override;
    void CaptureInput(const void* src, std::size_t bytes) noexcept override;

    DWORD OutputLength(DWORD index) const;
    int QueueBuffer(WaveDirection direction, DriverQueue& queue, WaveBufferHeader* header);
    void ReturnAllBuffers(DriverQueue& queue, bool input);

    WaveBackend& m_backend;
    MessageSink& m_sink;
    DriverQueue m_outQueue;
    DriverQueue m_inQueue;
    // Output is held paused: the stream plays silence and keeps its queue.
    std::atomic<bool> m_bDevicePaused{false};
    std::atomic<BYTE> m_nSilence{0};
    std::atomic<std::uint64_t> m_nDroppedFrames{0};
};

}  // namespace tonmira
