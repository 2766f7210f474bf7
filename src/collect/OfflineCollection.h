#pragma once
// Automatic collection from a recording instead of a sound card: the recording is fed through
// the simulated input device buffer by buffer while a timer loop runs the transport's recording
// timer in virtual time, so the same recorder and engine as live process an hour in seconds.
//
// The input is held while an event is processed: live, the input device is closed from the
// worker's stop to its next record and that sound is never heard; a recording has no such
// deadline, so here the next take resumes where the last one stopped taking buffers and nothing
// of the recording is skipped, whatever the play count. The frames of a buffer still being filled
// at that stop are delivered again. Event names carry the start time plus the recording time
// consumed when the event file is written.
//
// Threads: construct, Run and destroy on one thread (the driver). The worker's calls into the
// transport and the document run on the driver's thread, in turn with the worker.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "audio/Clock.h"
#include "audio/LoopTransportHost.h"
#include "audio/SimulatedBackend.h"
#include "audio/TimerLoop.h"
#include "audio/Transport.h"
#include "collect/CollectionEngine.h"
#include "collect/LockstepCollectHost.h"
#include "collect/TimelineClock.h"
#include "dsp/FftEngine.h"

namespace tonmira {

class CTonmiraDoc;
struct CollectSettings;

class OfflineCollection {
public:
    // Fills dst (bytes of whole frames in the document's format) from byte offset `offset` of the
    // recording; offset + bytes never exceeds the length given to the constructor.
    using InputSource = std::function<void(BYTE* dst, std::size_t bytes, std::uint64_t offset)>;

    // doc gives the format (rate, bits, channels) and receives each event in turn; settings must
    // have a collection level. fftSize is N, the capture buffer and FFT length (a power of two).
    OfflineCollection(CTonmiraDoc& doc, const CollectSettings& settings, int fftSize, const LocalDateTime& start,
                      MessageSink& sink, InputSource input, std::uint64_t inputBytes);
    ~OfflineCollection();
    OfflineCollection(const OfflineCollection&) = delete;
    OfflineCollection& operator=(const OfflineCollection&) = delete;

    // Records until the whole input has been scanned and the last event processed, then stops.
    // Run again to go on from where the input stopped. False when the FFT engine could not be set
    // up (after the memory message) or the recording could not start.
    bool Run();

    // Each processed event, on the driver's thread.
    std::function<void(const EventOutcome&)> m_onEvent;
    // After every timer tick and every call or wait of the worker, on the driver's thread: tests
    // use it to press stop at a chosen moment.
    std::function<void()> m_onStep;

    CTransport& Transport() { return *m_pTransport; }
    CCollectionEngine& Engine() { return *m_pEngine; }
    SimulatedBackend& Backend() { return m_backend; }
    // Bytes of the recording the recorder has taken or dropped so far.
    std::uint64_t ConsumedBytes() const;

private:
    void FillInput(BYTE* dst, std::size_t bytes, std::uint64_t position);
    bool InputScanned() const;
    void Step();

    CTonmiraDoc& m_doc;
    InputSource m_input;
    std::uint64_t m_nInputBytes;
    std::uint64_t m_nBufferBytes;
    std::uint32_t m_nRate;
    std::uint32_t m_nFrameBytes;
    // Driver thread only (the simulated device pumps there); the worker reads the consumed
    // position for the names while the driver waits for it, so these need no stronger order.
    std::atomic<std::uint64_t> m_nStreamBase{0};  // recording offset of the open stream's first byte
    std::atomic<std::uint64_t> m_nDelivered{0};   // bytes the open stream has delivered

    SimulatedBackend m_backend;
    VirtualClock m_clock;
    std::unique_ptr<TimerLoop> m_pLoop;
    std::unique_ptr<LoopTransportHost> m_pView;
    std::unique_ptr<CTransport> m_pTransport;
    CFftEngine m_fft;
    std::vector<int> m_spectrum;
    std::unique_ptr<TimelineClock> m_pTimeline;
    std::unique_ptr<LockstepCollectHost> m_pHost;
    std::unique_ptr<CCollectionEngine> m_pEngine;
    bool m_bFftReady = false;
};

}  // namespace tonmira
