// The session as a front end owns it: its own hosts around one document, analysis, transport
// and engine, with N held by the analysis alone.
#include <gtest/gtest.h>

#include <vector>

#include "audio/Clock.h"
#include "audio/LoopTransportHost.h"
#include "audio/SimulatedBackend.h"
#include "audio/TimerLoop.h"
#include "collect/LocalClock.h"
#include "collect/CollectHost.h"
#include "session/TonmiraSession.h"

namespace tonmira {
namespace {

struct SessionHosts {
    CapturingMessageSink sink;
    SimulatedBackend backend;
    VirtualClock clock;
    TonmiraSession* session = nullptr;
    TimerLoop loop{clock, [this](int id) { session->OnTimer(id); }};
    LoopTransportHost view{loop, sink};
    CollectHost collectHost;
    SystemLocalClock localTime;

    SessionHosts()
    {
        clock.m_onAdvance = [this](std::int64_t us) { backend.AdvanceTime(static_cast<std::uint64_t>(us)); };
    }
    // Records for `ms` of virtual time, then stops; returns the frames recorded.
    UINT Record(int ms)
    {
        CTransport& transport = session->Transport();
        transport.OnRecord();
        EXPECT_EQ(session->Doc().m_nState, TransportState::Recording);
        const std::int64_t until = clock.NowUs() + std::int64_t(ms) * 1000;
        loop.RunUntil([] { return false; }, until);
        const UINT frames = transport.RecordedFrames();
        transport.OnStop();
        return frames;
    }
};

TEST(TonmiraSessionTest, TheAnalysisSizeIsTheDeviceBufferOfEveryLaterRecording)
{
    SessionHosts hosts;
    TonmiraSession session(hosts.view, hosts.backend, hosts.collectHost, hosts.localTime);
    hosts.session = &session;
    CTonmiraDoc& doc = session.Doc();
    doc.m_header.nSamplesPerSec = 8000;
    doc.m_header.wBitsPerSample = 16;
    doc.m_header.nChannels = 1;
    hosts.backend.SetInputTake(std::vector<BYTE>(8000 * 2 * 4, 0));

    ASSERT_TRUE(session.SetFftSize(512));
    EXPECT_EQ(session.Analysis().m_fft.m_nSize, 512);
    UINT frames = hosts.Record(1000);
    EXPECT_EQ(session.Transport().Device().m_nBufferLen, 512u);
    EXPECT_GT(frames, 0u);
    EXPECT_EQ(frames % 512, 0u);

    // A new N between takes reaches the devices without anyone copying it.
    ASSERT_TRUE(session.SetFftSize(2048));
    EXPECT_EQ(session.Analysis().m_fft.m_nSize, 2048);
    const UINT before = doc.m_nSamples;
    hosts.Record(1500);
    EXPECT_EQ(session.Transport().Device().m_nBufferLen, 2048u);
    EXPECT_EQ((doc.m_nSamples - before) % 2048, 0u);
    EXPECT_GT(doc.m_nSamples, before);

    EXPECT_FALSE(session.SetFftSize(1000)) << "not a power of two";
    EXPECT_EQ(session.Analysis().m_nFftSize, 2048);
    EXPECT_TRUE(hosts.sink.m_messages.empty());
}

}  // namespace
}  // namespace tonmira
