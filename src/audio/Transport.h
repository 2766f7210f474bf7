#pragma once
// CTransport: recording, playback and the transport commands of the main view, without the
// screen. It owns the wave device and the recording's memory, reads and writes the document's
// members directly and reaches the screen through TransportHost. The FFT size N (the length of
// every device buffer) and the frequency range are the analysis's; the transport reads them there
// and sets them there when the rate changes.
//
// Threads: every member function runs on the owner's thread (the UI thread, or the CLI's main
// loop), which also runs the commands and OnTimer, except the three under "Any thread" below.
// Those read or write the only state shared with the collection worker: the transport state
// (written here with release, read with acquire, so a thread that sees Idle also sees what the
// stop wrote) and the collection's busy flag (the worker's release of "not busy" after its last
// write to the take pairs with the acquire on this thread before it touches the take again).
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

#include "audio/CollectHandOver.h"
#include "audio/InputLevels.h"
#include "audio/RecordChunks.h"
#include "audio/RecordSetupValues.h"
#include "audio/WaveDevice.h"
#include "base/Types.h"
#include "doc/TransportState.h"

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
    void OnLock();
    void OnGoTop();
    void OnGoEnd();
    void OnStartMark();
    void OnEndMark();
    // The recording settings: runDialog is shown the document's format and the automatic start
    // level and answers true for OK (the values then hold the choice); an unusable choice is
    // told and asked again.
    void OnRecordSetup(const std::function<bool(RecordSetupValues&)>& runDialog);
    // The position slider; sliderPosition is the slider's own position (used at EndScroll).
    void OnHScroll(ScrollCode code, UINT sliderPosition);
    // The input level of the last batch of buffers taken while recording or collecting, with the
    // clips since the recording started; nothing measured when not recording. Owner thread, as
    // the ticks that measure it (read it after a change announced with the batch).
    const InputLevelMeter& InputLevel() const { return m_inputLevel; }
    // Timer ticks from the host; only id 1 is the transport's.
    void OnTimer(int id);
    // The view goes away: devices closed, timer off, chunks and ring freed (recorded frames lost).
    void OnDestroy();

    // The balance command's work after its dialog (0..100): new balance, mono (and reversed) buffer.
    void ApplyBalance(int balance);
    // Shows frame p as the position: document, slider, position text, analysis.
    void ShowPosition(UINT p);
    // Playback device rate for a take rate at a speed of -12..12 semitones.
    static DWORD SpeedRate(DWORD rate, int speed);

    // The collection engine, when there is one; not owned.
    void SetCollectHandOver(CollectHandOver* handOver) { m_pCollectHandOver = handOver; }

    // --- Any thread ---
    // What the transport is doing, as the collection worker sees it; Idle again after a stop.
    TransportState State() const { return m_nTransport.load(std::memory_order_acquire); }
    // The collection worker owns the take (from the hand-over of an event to its end).
    bool IsCollectBusy() const { return m_bCollectBusy.load(std::memory_order_acquire) != 0; }
    void SetCollectBusy(bool busy) { m_bCollectBusy.store(busy ? 1 : 0, std::memory_order_release); }

    // --- Settings (owner's thread) ---
    // Automatic start level, percent of full scale, 0 = off.
    int AutoStartLevel() const { return m_nAutoStartLevel; }
    void SetAutoStartLevel(int percent) { m_nAutoStartLevel = percent; }
    // Playback speed in semitones, -12..12; applies from the next play command.
    int Speed() const { return m_nSpeed; }
    void SetSpeed(int semitones) { m_nSpeed = semitones; }
    // Format bits of the input device, queried once by the view.
    DWORD InputFormats() const { return m_dwInFormats; }
    void SetInputFormats(DWORD formats) { m_dwInFormats = formats; }
    // What the recording timer needs of the collection: the level that starts an event (0 = no
    // collection), the quiet time that ends it, and the pre-trigger time (0..5000 ms: while
    // collection waits, the latest input is kept in a ring allocated by the record command, not
    // per buffer, and an event begins this much earlier than the buffer that reached the level).
    void SetCollectParameters(int level, int continuousMs, int preTriggerMs);
    int CollectLevel() const { return m_nCollectLevel; }
    int ContinuousMs() const { return m_nContinuousMs; }
    // A new view starts at normal speed, not paused, at position zero.
    void ResetViewState();

    // --- What the screen and the caller read (owner's thread) ---
    // Frames captured into the chunks since the record command.
    UINT RecordedFrames() const { return m_nRecordedFrames; }
    // 128 buffers of N frames the input device fills; null before the first recording.
    const BYTE* RecordRing() const { return m_pRecordRing.get(); }
    UINT PlayLength() const { return m_nPlayLength; }   // mono samples the playback covers
    // The position text, "mm:ss.mmm".
    const std::string& PositionText() const { return m_strPosition; }
    void SetPositionText(std::string text) { m_strPosition = std::move(text); }

    // --- What the screen shows of the transport (owner's thread), announced through the host ---
    // The position the slider stands at (while recording: the window ending on the take's last
    // frame), and the slider's end.
    UINT ShownPosition() const { return m_nShownPosition; }
    UINT PositionLimit() const { return m_nPositionLimit; }
    // Slider end and position for a take that was replaced or edited outside the transport.
    void SetShownRange(UINT limit, UINT position)
    {
        m_nPositionLimit = limit;
        m_nShownPosition = position;
    }
    // The position field's text: the position text, or the time of the position shown.
    const std::string& PositionField() const { return m_strPositionField; }
    // The fields show the members again (position field = position text): kChangeFields.
    void ShowFieldsFromMembers();
    // The playback stream's counters, from the first playback tick on.
    struct StreamCounters {
        bool m_bShown = false;
        DWORD m_nWrite = 0;
        DWORD m_nRead = 0;
        DWORD m_nDone = 0;
        DWORD m_nLastSize = 0;
    };
    const StreamCounters& Counters() const { return m_counters; }
    CWaveDevice& Device() { return m_waveDevice; }
    const CWaveDevice& Device() const { return m_waveDevice; }

private:
    // Recording, in the order of a timer tick's stages (RecordTick).
    void RecordTick();
    // The level a buffer must reach, in sample units: the automatic start level, else the
    // collection level; 0 = none.
    int LevelThreshold() const;
    // One batch of finished buffers r..d-1. False when the recording goes no further here: the
    // chunks could not grow (capture stalls until the stop command) or the event was handed over.
    bool TakeBatch(DWORD r, DWORD d);
    // Waiting for the level: the first buffer that reaches it ends the pause and becomes start
    // (the pre-trigger ring moved into the chunks before it); the quiet ones before it go into the
    // pre-trigger ring. False when the chunks cannot grow.
    bool WaitForLevel(DWORD r, DWORD d, int threshold, DWORD& start);
    bool AnyLoud(DWORD r, DWORD d, int threshold) const;
    bool IsLoud(DWORD index, int threshold) const;
    bool StoreBatch(DWORD start, DWORD d);
    void ShowRecordedPosition();
    // Collection: a batch with sound moves the last-sound mark; a quiet time longer than the
    // continuous time after it ends the event. True when the event was handed over.
    bool HandOverAfterQuiet(DWORD r, DWORD d, bool batchLoud);
    void GiveBatchBack(DWORD d);
    void ScheduleRecordTick();
    // False when the take could not be enlarged: still recording, the chunks kept.
    bool StopRecording();
    // Derived buffers for the take, the marks around all of it, the position at its start.
    void PrepareWholeTake();
    bool CopyToChunks(DWORD index);
    bool CopyBufferToChunks(const BYTE* buffer);
    // Pre-trigger: the ring of whole buffers covering the pre-trigger time, for collection only.
    // False when it cannot be allocated.
    bool PreparePreTrigger(std::size_t bufferBytes);
    // Keeps buffer `index` in the ring while waiting; at the trigger moves the ring into the
    // chunks, oldest first. False when the chunks cannot grow.
    void KeepBeforeTrigger(DWORD index);
    bool CopyPreTriggerToChunks();
    void FreeChunks();
    bool MoveChunksIntoTake();
    DWORD BufferBytes() const;
    // The ring slot buffer `index` was captured into.
    const BYTE* RingSlot(DWORD index) const;
    // Playback
    void PlayTick();
    BYTE* PlayBase() const;
    void SupplyBuffer(DWORD index, BYTE* base);
    // Both records of what the take is doing: the worker's (published first) and the document's.
    void SetState(TransportState state);
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

    // Shared with the collection worker (see the threading rule at the top).
    std::atomic<TransportState> m_nTransport{TransportState::Idle};
    std::atomic<BOOL> m_bCollectBusy{0};

    // Settings
    int m_nAutoStartLevel = 0;
    int m_nSpeed = 0;
    DWORD m_dwInFormats = 0;
    int m_nCollectLevel = 0;
    int m_nContinuousMs = 0;
    int m_nPreTriggerMs = 0;

    // Recording
    bool m_bStopRecording = false;  // the stop command is closing the input: no new tick
    UINT m_nRecordedFrames = 0;
    MallocBytes m_pRecordRing;  // kWaveRingSlots buffers of N frames
    RecordChunks m_chunks;
    InputLevelMeter m_inputLevel;
    int m_nLastSoundBuffer = 0;
    // Pre-trigger ring: m_nPreSlots buffers, m_nPreCount of them filled, the next one written at
    // m_nPreHead. The frames at the start of the chunks beyond the pre-trigger time (the ring
    // holds whole buffers) are left out of the take.
    MallocBytes m_pPreRing;
    DWORD m_nPreSlots = 0;
    DWORD m_nPreCount = 0;
    DWORD m_nPreHead = 0;
    UINT m_nPreTriggerFrames = 0;
    UINT m_nLeadSkipFrames = 0;

    // Playback
    UINT m_nPlayLength = 0;
    UINT m_nPlayStart = 0;
    int m_bOutputPaused = 0;

    std::string m_strPosition;
    std::string m_strPositionField;
    UINT m_nShownPosition = 0;
    UINT m_nPositionLimit = 0;
    StreamCounters m_counters;
    // Last: destroyed first, while the rings its buffers point into still exist.
    CWaveDevice m_waveDevice;
};

}  // namespace tonmira
