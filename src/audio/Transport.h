#pragma once
// CTransport: recording, playback and the transport commands of the main view, without the
// screen. It holds the view's transport members under their names, owns the wave device, reads
// and writes the document's members directly and reaches the screen through TransportHost.
// The FFT size N (the length of every device buffer) and the frequency range are the
// analysis's; the transport reads them there and sets them there when the rate changes.
//
// Threads: the commands and OnTimer run on one thread (the UI thread, or the CLI's main loop).
// m_nTransport, m_bStopRecording and m_bCollectBusy are atomics because the collection worker
// polls them from its own thread.
#include <atomic>
#include <string>

#include "audio/CollectHandOver.h"
#include "audio/WaveDevice.h"
#include "base/Types.h"

namespace tonmira {

class CTonmiraDoc;
class TransportHost;
class WaveBackend;
class WindowAnalysis;

// Scroll codes of the position slider.
enum class ScrollCode { LineLeft, LineRight, PageLeft, PageRight, EndScroll, ThumbTrack };

class CTransport {
public:
    CTransport(CTonmiraDoc& doc, WindowAnalysis& analysis, TransportHost& host, WaveBackend& backend);
    ~CTransport();
    CTransport(const CTransport&) = delete;
    CTransport& operator=(const CTransport&) = delete;

    // Commands (record 32781, play 32778, stop 32779, pause 32780, ...). They do not check
    // whether the command is enabled; the caller asks the document's availability rules.
    void OnRecord();
    void OnPlay();
    void OnStop();
    void OnPause();
    void OnReverse();
    void OnBalance();
    void OnSpeed();
    void OnLock();
    void OnGoTop();
    void OnGoEnd();
    void OnStartMark();
    void OnEndMark();
    void OnRecordSetup();
    // The position slider; sliderPosition is the slider's own position (used at EndScroll).
    void OnHScroll(ScrollCode code, UINT sliderPosition);
    // Timer ticks from the host; only id 1 is the transport's.
    void OnTimer(int id);
    // The view goes away: devices closed, timer off, chunks and ring freed (recorded frames lost).
    void OnDestroy();

    // The balance command's work after its dialog: new balance, mono (and reversed) buffer.
    void ApplyBalance(int balance);
    // Shows frame p as the position: document, slider, position text, analysis.
    void ShowPosition(UINT p);
    // "%02d:%02d.%03d" of the time of frame p at the rate.
    static std::string TimeText(UINT p, DWORD rate);
    // Playback device rate for a take rate at a speed of -12..12 semitones.
    static DWORD SpeedRate(DWORD rate, int speed);

    // The collection engine, when there is one; not owned.
    void SetCollectHandOver(CollectHandOver* handOver) { m_pCollectHandOver = handOver; }

    // --- Transport members ---
    int m_nAutoStartLevel = 0;  // automatic start level, percent of full scale, 0 = off
    std::atomic<int> m_bStopRecording{0};
    UINT m_nPlayLength = 0;  // mono samples the current playback covers
    UINT m_nPlayStart = 0;   // position at which it started
    UINT m_nRecordedFrames = 0;
    void* m_pRecordRing = nullptr;  // 128 buffers of N frames
    int m_nChunkCount = 0;
    void** m_ppChunks = nullptr;  // each chunk holds 128 buffers
    int m_bOutputPaused = 0;
    int m_nSpeed = 0;  // semitones
    CWaveDevice m_waveDevice;

    // --- Collection members read by the recording timer ---
    int m_nCollectLevel = 0;
    int m_nContinuousMs = 0;
    // Pre-trigger, 0..5000 ms: while collection waits, the latest input is kept in a ring
    // (allocated by the record command, not per buffer) and an event begins this much earlier
    // than the buffer that reached the level. 0 = the event begins at that buffer.
    int m_nPreTriggerMs = 0;
    int m_nLastSoundBuffer = 0;  // running index of the buffer that began the last batch with sound
    std::atomic<int> m_nTransport{0};  // 2 recording, 1 playing, 0 after a stop
    std::atomic<BOOL> m_bCollectBusy{0};

    // --- View members ---
    std::string m_strPosition;
    DWORD m_dwInFormats = 0;  // format bits of the input device, queried once

private:
    // Recording
    void RecordTick();
    // False when the take could not be enlarged: still recording, the chunks kept.
    bool StopRecording();
    // Derived buffers for the take, the marks around all of it, the position at its start.
    void PrepareWholeTake();
    bool IsLoud(DWORD index, int threshold) const;
    bool CopyToChunks(DWORD index);
    bool CopyBufferToChunks(const BYTE* buffer);
    // Pre-trigger: keeps buffer `index` in the ring while waiting; at the trigger moves the ring
    // into the chunks, oldest first. False when the chunks cannot grow.
    void KeepBeforeTrigger(DWORD index);
    bool CopyPreTriggerToChunks();
    void FreeChunks();
    bool MoveChunksIntoTake();
    DWORD BufferBytes() const;
    // Playback
    void PlayTick();
    BYTE* PlayBase() const;
    void SupplyBuffer(DWORD index, BYTE* base);
    // Slider, position edit and analysis for frame p (the document's position is set by callers).
    void ShowPositionInControls(UINT p);
    // N, the analysis's FFT size: frames per device buffer and per analysis window.
    int FftSize() const;
    // First frame of the window of N frames that ends on lastFrame (0 when the take is
    // shorter than a window).
    UINT WindowEndingAt(UINT lastFrame) const;
    void RestoreDerivedBuffers();

    CTonmiraDoc& m_doc;
    WindowAnalysis& m_analysis;
    TransportHost& m_host;
    CollectHandOver* m_pCollectHandOver = nullptr;
    // Pre-trigger ring: m_nPreSlots buffers, m_nPreCount of them filled, the next one written at
    // m_nPreHead. The frames at the start of the chunks beyond the pre-trigger time (the ring
    // holds whole buffers) are left out of the take.
    BYTE* m_pPreRing = nullptr;
    DWORD m_nPreSlots = 0;
    DWORD m_nPreCount = 0;
    DWORD m_nPreHead = 0;
    UINT m_nPreTriggerFrames = 0;
    UINT m_nLeadSkipFrames = 0;
};

}  // namespace tonmira
