#include "session/OfflineCollection.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "collect/CollectSettings.h"
#include "collect/EventProcessor.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

OfflineCollection::OfflineCollection(MessageSink& sink)
    : m_loop(m_clock, [this](int id) { m_session.OnTimer(id); }),
      m_view(m_loop, sink),
      m_timeline(LocalDateTime{}, [this] { return ConsumedBytes() / m_nFrameBytes / m_nRate; }),
      m_session(m_view, m_backend, m_host, m_timeline)
{
    // Played sound is counted, not kept: a long run replays many events.
    m_backend.m_bKeepOutput = false;
    m_session.Collection().m_bTakeHeard = false;
    m_backend.SetInputGenerator(
        [this](BYTE* dst, std::size_t bytes, std::uint64_t position) { FillInput(dst, bytes, position); });
    m_clock.m_onAdvance = [this](std::int64_t us) { m_backend.AdvanceTime(static_cast<std::uint64_t>(us)); };
    m_session.Changes().Subscribe([this](ChangeSet changes) {
        if ((changes & kChangeEventDone) && m_onEvent)
            m_onEvent(m_session.Collection().m_lastEvent);
    });
    m_session.Collection().m_locateEvent = [this](EventOutcome& outcome) { LocateEvent(outcome); };
}

void OfflineCollection::SetInput(InputSource input, std::uint64_t inputBytes, const LocalDateTime& start,
                                 const std::string& name)
{
    m_input = std::move(input);
    m_nInputBytes = inputBytes;
    m_timeline.SetStart(start);
    m_strInputName = name;
}

void OfflineCollection::LocateEvent(EventOutcome& outcome) const
{
    // Called before the next record, so the recorder's position is still the end of this event.
    const std::uint64_t end = ConsumedBytes() / m_nFrameBytes;
    const std::uint64_t start = end > outcome.m_nFrames ? end - outcome.m_nFrames : 0;
    outcome.m_strInput = m_strInputName;
    outcome.m_dOffsetSeconds = static_cast<double>(start) / m_nRate;
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
    std::memset(dst + fromInput, m_session.Doc().m_header.wBitsPerSample == 8 ? 0x80 : 0, bytes - fromInput);
    m_nDelivered.store(position + bytes, std::memory_order_relaxed);
}

bool OfflineCollection::InputScanned() const
{
    const std::uint64_t scanned =
        m_nStreamBase.load(std::memory_order_relaxed) +
        std::uint64_t(m_session.Transport().Device().m_nRead.load(std::memory_order_relaxed)) * m_nBufferBytes;
    return scanned >= m_nInputBytes;
}

void OfflineCollection::Step()
{
    if (m_onStep)
        m_onStep();
}

bool OfflineCollection::Run()
{
    CTonmiraDoc& doc = m_session.Doc();
    const int n = m_session.Analysis().m_nFftSize;
    if (!m_session.Analysis().m_pSpectrum || n <= 0)
        return false;
    m_nRate = doc.m_header.nSamplesPerSec ? doc.m_header.nSamplesPerSec : 1;
    m_nFrameBytes = std::max<std::uint32_t>(1, std::uint32_t(doc.m_header.nChannels) * doc.m_header.wBitsPerSample / 8);
    m_nBufferBytes = std::uint64_t(n) * m_nFrameBytes;

    m_session.ApplyCollectSettings();
    CTransport& transport = m_session.Transport();
    CollectionCycle& cycle = m_session.Collection();
    m_session.Command([&] { transport.OnRecord(); });
    if (doc.m_nState != TransportState::Recording)
        return false;
    auto stop = [&] { m_session.Command([&] { transport.OnStop(); }); };
    for (;;) {
        if (cycle.IsWorkerBusy()) {
            m_session.Command([&] { cycle.WaitForWorker(); }, 0);
            Step();
            continue;
        }
        if (!cycle.IsRunning()) {
            if (doc.m_nState != TransportState::Recording)
                break;  // stopped from outside
            // Waiting again with every buffer of the input looked at: nothing more can start.
            if (doc.m_bPause == 1 && InputScanned()) {
                stop();
                break;
            }
        }
        // Nothing armed: the capture stalled after a failed allocation; end it as a stop would.
        if (!m_loop.RunUntil([] { return true; }, std::numeric_limits<std::int64_t>::max())) {
            stop();
            break;
        }
        Step();
    }
    return true;
}

}  // namespace tonmira
