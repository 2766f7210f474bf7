#include "collect/OfflineCollection.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "collect/CollectSettings.h"
#include "collect/EventProcessor.h"
#include "base/Messages.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

OfflineCollection::OfflineCollection(CTonmiraDoc& doc, const CollectSettings& settings, int fftSize,
                                     const LocalDateTime& start, MessageSink& sink, InputSource input,
                                     std::uint64_t inputBytes)
    : m_doc(doc), m_input(std::move(input)), m_nInputBytes(inputBytes)
{
    m_nRate = doc.m_header.nSamplesPerSec ? doc.m_header.nSamplesPerSec : 1;
    m_nFrameBytes = std::max<std::uint32_t>(1, std::uint32_t(doc.m_header.nChannels) * doc.m_header.wBitsPerSample / 8);
    m_nBufferBytes = std::uint64_t(fftSize > 0 ? fftSize : 1) * m_nFrameBytes;

    // Played sound is counted, not kept: a long run replays many events.
    m_backend.m_bKeepOutput = false;
    m_backend.SetInputGenerator(
        [this](BYTE* dst, std::size_t bytes, std::uint64_t position) { FillInput(dst, bytes, position); });
    m_pLoop = std::make_unique<TimerLoop>(m_clock, [this](int id) { m_pTransport->OnTimer(id); });
    m_clock.m_onAdvance = [this](std::int64_t us) { m_backend.AdvanceTime(static_cast<std::uint64_t>(us)); };
    m_pView = std::make_unique<LoopTransportHost>(*m_pLoop, sink);
    m_pTransport = std::make_unique<CTransport>(doc, *m_pView, m_backend);
    m_pTransport->m_nFftSize = fftSize;
    m_bFftReady = fftSize > 0 && m_fft.Init(fftSize, 0);
    m_spectrum.resize(static_cast<std::size_t>(fftSize > 0 ? fftSize / 2 : 0));
    m_pTimeline = std::make_unique<TimelineClock>(start, [this] { return ConsumedBytes() / m_nFrameBytes / m_nRate; });
    m_pHost = std::make_unique<LockstepCollectHost>(*m_pLoop);
    m_pHost->m_onEvent = [this](const EventOutcome& outcome) {
        if (m_onEvent)
            m_onEvent(outcome);
    };
    m_pEngine = std::make_unique<CCollectionEngine>(*m_pTransport, doc, *m_pView, settings, m_fft, m_spectrum.data(),
                                                    *m_pTimeline, *m_pHost);
}

OfflineCollection::~OfflineCollection()
{
    // The engine joins its worker before the transport and the device it used go away.
    m_pEngine.reset();
}

std::uint64_t OfflineCollection::ConsumedBytes() const
{
    // Whole buffers only: the one being filled when the input closed is delivered again.
    return m_nStreamBase.load(std::memory_order_relaxed) +
           m_nDelivered.load(std::memory_order_relaxed) / m_nBufferBytes * m_nBufferBytes;
}

void OfflineCollection::FillInput(BYTE* dst, std::size_t bytes, std::uint64_t position)
{
    if (position == 0) {
        // A new input stream: the recording resumes where the last stream stopped taking buffers.
        m_nStreamBase.store(ConsumedBytes(), std::memory_order_relaxed);
        m_nDelivered.store(0, std::memory_order_relaxed);
    }
    const std::uint64_t at = m_nStreamBase.load(std::memory_order_relaxed) + position;
    std::size_t fromInput = 0;
    if (at < m_nInputBytes)
        fromInput = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, m_nInputBytes - at));
    if (fromInput)
        m_input(dst, fromInput, at);
    // Silence after the end, so that an event still open there ends by its quiet time.
    std::memset(dst + fromInput, m_doc.m_header.wBitsPerSample == 8 ? 0x80 : 0, bytes - fromInput);
    m_nDelivered.store(position + bytes, std::memory_order_relaxed);
}

bool OfflineCollection::InputScanned() const
{
    const std::uint64_t scanned = m_nStreamBase.load(std::memory_order_relaxed) +
                                  std::uint64_t(m_pTransport->m_waveDevice.m_nRead.load()) * m_nBufferBytes;
    return scanned >= m_nInputBytes;
}

void OfflineCollection::Step()
{
    if (m_onStep)
        m_onStep();
}

bool OfflineCollection::Run()
{
    if (!m_bFftReady) {
        m_pView->Message(msg::kMallocFailed);
        return false;
    }
    m_pEngine->m_bFinishing.store(false);
    m_pTransport->OnRecord();
    if (m_doc.m_nState != 2)
        return false;
    for (;;) {
        if (m_pHost->ServeWorker()) {
            Step();
            continue;
        }
        if (m_doc.m_nState != 2)
            break;  // stopped from outside
        // Waiting again with every buffer of the input looked at: nothing more can start.
        if (m_doc.m_bPause == 1 && InputScanned()) {
            m_pTransport->OnStop();
            break;
        }
        // Nothing armed: the capture stalled after a failed allocation; end it as a stop would.
        if (!m_pLoop->RunUntil([] { return true; }, std::numeric_limits<std::int64_t>::max())) {
            m_pTransport->OnStop();
            break;
        }
        Step();
    }
    m_pEngine->JoinWorker();
    return true;
}

}  // namespace tonmira
