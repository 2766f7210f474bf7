// What the session announces and when: one publication per command, heard by every subscriber in
// the order they subscribed, after the analysis has followed; and a collection event handed to
// the worker and back while the owner keeps computing on the take it shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "TakeFactory.h"
#include "audio/Clock.h"
#include "audio/LoopTransportHost.h"
#include "audio/SimulatedBackend.h"
#include "audio/TimerLoop.h"
#include "collect/LocalClock.h"
#include "collect/LoopCollectHost.h"
#include "session/TonmiraSession.h"

namespace tonmira {
namespace {

constexpr DWORD kRate = 8000;
constexpr int kN = 256;

// 16-bit mono samples: a 1000 Hz tone of `amplitude` in the given seconds, silence elsewhere.
std::vector<std::int16_t> Tone(double seconds, double fromS, double toS, int amplitude)
{
    const double pi = 2 * std::asin(1.0);
    std::vector<std::int16_t> s(static_cast<std::size_t>(seconds * kRate), 0);
    for (std::size_t i = static_cast<std::size_t>(fromS * kRate); i < s.size() && i < toS * kRate; ++i)
        s[i] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * pi * 1000.0 * double(i) / kRate)));
    return s;
}

struct Live {
    CapturingMessageSink sink;
    SimulatedBackend backend;
    VirtualClock clock;
    TonmiraSession* session = nullptr;
    std::function<void(int)> onOtherTimer;
    TimerLoop loop{clock, [this](int id) {
                       if (id == kTransportTimer || id == kCollectTimer)
                           session->OnTimer(id);
                       else if (onOtherTimer)
                           onOtherTimer(id);
                   }};
    LoopTransportHost host{loop, sink};
    LoopCollectHost collectHost{loop};
    FixedLocalClock localTime{LocalDateTime{2024, 3, 5, 14, 7, 9}};
    TonmiraSession s{host, backend, collectHost, localTime};

    Live()
    {
        session = &s;
        clock.m_onAdvance = [this](std::int64_t us) { backend.AdvanceTime(static_cast<std::uint64_t>(us)); };
        s.Doc().m_header.nSamplesPerSec = kRate;
        s.Doc().m_header.wBitsPerSample = 16;
        s.Doc().m_header.nChannels = 1;
    }
};

// A subscriber that publishes while it is told of a change (a pane whose reaction moves the
// position) has its news heard after every subscriber heard the first: all hear one order.
TEST(SessionChanges, NewsPublishedDuringAPublicationComesAfterIt)
{
    ChangePublisher publisher;
    std::vector<std::string> heard;
    publisher.Subscribe([&](ChangeSet c) {
        heard.push_back("a" + std::to_string(c));
        if (c == kChangeTakeReplaced)
            publisher.Publish(kChangePosition);
    });
    publisher.Subscribe([&](ChangeSet c) { heard.push_back("b" + std::to_string(c)); });
    publisher.Publish(kChangeTakeReplaced);
    const std::string replaced = std::to_string(kChangeTakeReplaced), moved = std::to_string(kChangePosition);
    EXPECT_EQ(heard, (std::vector<std::string>{"a" + replaced, "b" + replaced, "a" + moved, "b" + moved}));
}

TEST(SessionChanges, OneCommandIsOnePublicationHeardInOrderWithTheAnalysisAlreadyDone)
{
    Live live;
    TonmiraSession& s = live.s;
    CTonmiraDoc& doc = s.Doc();
    const std::vector<std::int16_t> take = Tone(1.0, 0.25, 0.5, 12000);
    test::LoadTake16(doc, take, 1, kRate);
    s.Follow(true);
    ASSERT_TRUE(s.InitialUpdate());

    struct Heard {
        char who;
        ChangeSet changes;
        int bin;  // the tone's bin as the subscriber finds it
    };
    std::vector<Heard> heard;
    const int n = s.Analysis().m_nFftSize;
    const int toneBin = 1000 * n / static_cast<int>(kRate);
    bool nested = false;
    s.Changes().Subscribe([&](ChangeSet c) {
        heard.push_back({'A', c, s.Analysis().m_pSpectrum[toneBin]});
        if (!nested) {
            nested = true;
            s.Command([&] { s.Transport().OnStartMark(); });  // heard after B has heard the step
        }
    });
    s.Changes().Subscribe([&](ChangeSet c) { heard.push_back({'B', c, s.Analysis().m_pSpectrum[toneBin]}); });

    // From silence into the tone: one page step.
    ASSERT_EQ(s.Analysis().m_pSpectrum[toneBin], 0);
    s.Command([&] {
        for (int i = 0; i < 4; ++i)
            s.Transport().OnHScroll(ScrollCode::PageRight, 0);
    });
    ASSERT_EQ(heard.size(), 4u);
    EXPECT_EQ(std::string({heard[0].who, heard[1].who, heard[2].who, heard[3].who}), "ABAB");
    for (int i : {0, 1}) {
        EXPECT_EQ(heard[i].changes & (kChangePosition | kChangeAnalysis), kChangePosition | kChangeAnalysis);
        EXPECT_GT(heard[i].bin, 10000) << "the spectrum at the new position, before anyone hears of it";
    }
    EXPECT_EQ(doc.m_nPosition, 4u * n);
    EXPECT_EQ(heard[2].changes, ChangeSet(kChangeTransport));
    EXPECT_EQ(doc.m_nStartMark, 4u * n);

    // Without a screen to show it, nothing is computed and no analysis is announced.
    s.Follow(false);
    heard.clear();
    s.Command([&] { s.Transport().OnGoTop(); });
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].changes & kChangeAnalysis, 0u);
    EXPECT_GT(heard[0].bin, 10000) << "still the spectrum of the tone";
}

TEST(SessionChanges, AnEventGoesToTheWorkerAndBackWhileTheOwnerKeepsShowingTheTake)
{
    Live live;
    TonmiraSession& s = live.s;
    // Each recording reads the input device from its start: every event is this burst.
    const std::vector<std::int16_t> burst = Tone(3.0, 0.5, 0.8, 12000);
    std::vector<BYTE> input(burst.size() * 2);
    std::memcpy(input.data(), burst.data(), input.size());
    live.backend.SetInputTake(input);
    ASSERT_TRUE(s.SetFftSize(kN));
    s.Follow(true);
    s.Settings().m_nCollectLevel = 1000;
    s.Settings().m_nContinuousMs = 200;
    s.Settings().m_nPlayCount = 1;
    s.ApplyCollectSettings();

    // The owner's thread keeps working on what it shows while a worker computes.
    int computedWhileWorking = 0;
    constexpr int kRepaint = 7;
    live.onOtherTimer = [&](int) {
        if (s.Collection().IsWorkerBusy()) {
            s.Command([] {}, kChangeAnalysis);
            ++computedWhileWorking;
        }
    };
    live.loop.SetTimer(kRepaint, 1);
    std::vector<int> peaks;
    std::vector<bool> takeShown;
    s.Changes().Subscribe([&](ChangeSet c) {
        if (c & kChangeEventDone) {
            peaks.push_back(s.Collection().m_lastEvent.m_figures.m_nPeak);
            takeShown.push_back(s.Doc().m_pMono != nullptr && s.Doc().m_nSamples > 0);
        }
    });
    s.OnRecord();
    ASSERT_EQ(s.Doc().m_nState, TransportState::Recording);
    ASSERT_TRUE(live.loop.RunUntil([&] { return peaks.size() == 2 && !s.Collection().IsRunning(); },
                                   std::numeric_limits<std::int64_t>::max()));
    live.loop.KillTimer(kRepaint);
    EXPECT_EQ(peaks, (std::vector<int>{12000, 12000}));
    EXPECT_EQ(takeShown, (std::vector<bool>{true, true}));
    EXPECT_EQ(live.backend.OpenCount(WaveDirection::Output), 2) << "each accepted event replayed once";
    EXPECT_EQ(s.Doc().m_nState, TransportState::Recording) << "listening for the next event";
    EXPECT_FALSE(s.Doc().HasTake());
    EXPECT_TRUE(live.sink.m_messages.empty());
    s.ShutDown();
    EXPECT_EQ(s.Doc().m_nState, TransportState::Idle);
    RecordProperty("computedWhileWorking", computedWhileWorking);
}

}  // namespace
}  // namespace tonmira
