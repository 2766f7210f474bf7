#include <gtest/gtest.h>

#include <filesystem>

#include "CollectionFixture.h"
#include "collect/CollectSettings.h"
#include "collect/EventAnalysis.h"
#include "collect/EventFile.h"
#include "collect/TimelineClock.h"
#include "dsp/FftEngine.h"

using namespace tonmira;
using namespace tonmira::test;
namespace fs = std::filesystem;

namespace {

using CollectionEngineTest = CollectionFixture;

int LoudInInput(const std::vector<BYTE>& input, double fromS, double toS, int level)
{
    int loud = 0;
    for (std::size_t i = static_cast<std::size_t>(fromS * 8000); i < static_cast<std::size_t>(toS * 8000); ++i) {
        int v = static_cast<std::int16_t>(input[2 * i] | (input[2 * i + 1] << 8));
        loud += std::abs(v) >= level;
    }
    return loud;
}

TEST_F(CollectionEngineTest, OneEventPerBurstInOrderWithTheFiguresOfItsFile)
{
    // Gaps of 0.15 s inside a burst pair are shorter than the continuous time and do not split it.
    MakeInput(12.0, {{1.0, 0.3, 12000}, {3.0, 0.2, 9000}, {3.35, 0.2, 9000}, {6.0, 0.5, 3000}, {9.0, 0.1, 20000}});
    settings.m_nContinuousMs = 300;
    ASSERT_TRUE(Collect());
    EXPECT_TRUE(sink.m_messages.empty());
    ASSERT_EQ(events.size(), 4u);
    const int peaks[] = {12000, 9000, 3000, 20000};
    const double spans[][2] = {{1.0, 1.3}, {3.0, 3.55}, {6.0, 6.5}, {9.0, 9.1}};
    for (std::size_t e = 0; e < events.size(); ++e) {
        const EventOutcome& out = events[e].outcome;
        SCOPED_TRACE(e);
        EXPECT_EQ(out.m_figures.m_nPeak, peaks[e]);
        ASSERT_FALSE(out.m_strFinalPath.empty());
        // The file holds the burst whole, as captured (not amplified), and nothing loud from elsewhere.
        EXPECT_EQ(LoudSamples(out.m_strFinalPath, 1000), LoudInInput(input, spans[e][0], spans[e][1], 1000));
        EXPECT_EQ(LoudSamples(out.m_strFinalPath, peaks[e] + 1), 0);
        EXPECT_EQ(fs::file_size(out.m_strFinalPath), 44u + 2u * events[e].frames);

        // The figures are those of the analysis of the file's own take.
        CapturingMessageSink s;
        CTonmiraDoc file(s);
        ASSERT_TRUE(file.OnOpenDocument(out.m_strFinalPath));
        CFftEngine fft;
        ASSERT_TRUE(fft.Init(kN, 0));
        std::vector<int> spectrum(kN / 2);
        EventFigures fig = AnalyseEvent(file, settings, fft, spectrum.data(), 5);
        EXPECT_EQ(fig.m_nPeak, out.m_figures.m_nPeak);
        EXPECT_EQ(fig.m_nIntegration100, out.m_figures.m_nIntegration100);
        EXPECT_EQ(fig.m_nPoints100, out.m_figures.m_nPoints100);
        EXPECT_EQ(StdDevFigure(fig.m_fStdDev, 0), StdDevFigure(out.m_figures.m_fStdDev, 0));
    }
    // Names follow the recording's timeline: each is written once its event's quiet time is over.
    EXPECT_EQ(fs::path(events[0].outcome.m_strFinalPath).filename().string().substr(0, 14), "20240305140710");
    EXPECT_EQ(fs::path(events[3].outcome.m_strFinalPath).filename().string().substr(0, 14), "20240305140718");
    EXPECT_EQ(Files().size(), 4u);
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    EXPECT_FALSE(doc.HasTake());

    // The engine logs every event in the folder's events.csv: frames and file as reported.
    const std::string log = ReadFileBytes(dir.File("events.csv"));
    std::vector<std::string> rows;
    for (std::size_t at = 0, end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2)
        rows.push_back(log.substr(at, end - at));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].substr(0, 9), "datetime,");
    for (std::size_t e = 0; e < events.size(); ++e) {
        EXPECT_NE(rows[e + 1].find("," + std::to_string(events[e].frames) + ","), std::string::npos) << rows[e + 1];
        EXPECT_NE(rows[e + 1].find("," + events[e].outcome.m_strFinalPath + ",no"), std::string::npos) << rows[e + 1];
    }
}

TEST_F(CollectionEngineTest, ContinuousTimeZeroStillNeedsMoreThanOneBuffer)
{
    // A click inside one buffer: the take reaches two buffers before the quiet tick hands over.
    MakeInput(3.0, {{0.5 + 10.0 / kRate, 20.0 / kRate, 12000}, {1.5, 0.4, 12000}});
    settings.m_nContinuousMs = 0;
    ASSERT_TRUE(Collect());
    ASSERT_EQ(events.size(), 2u);
    for (const CollectedEvent& e : events)
        EXPECT_GT(e.frames, UINT(kN));
    EXPECT_EQ(LoudSamples(events[1].outcome.m_strFinalPath, 1000), LoudInInput(input, 1.5, 1.9, 1000));
}

TEST_F(CollectionEngineTest, EightBitLevelFiftyCountsOnlyMagnitudesOfFiftyOrMore)
{
    doc.m_header.wBitsPerSample = 8;
    settings.m_nCollectLevel = 50;
    // Quiet at 79 and 177 throughout, one sample of 78 at 1 s and one of 178 at 3 s.
    input.assign(5 * kRate, 128);
    for (std::size_t i = 0; i < input.size(); ++i)
        input[i] = (i % 2) ? 79 : 177;
    input[1 * kRate] = 78;
    input[3 * kRate] = 178;
    ASSERT_TRUE(Collect());
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].outcome.m_figures.m_nPeak, 50);
    EXPECT_EQ(events[1].outcome.m_figures.m_nPeak, 50);
}

TEST_F(CollectionEngineTest, RejectedEventsLeaveNoFileUnlessKept)
{
    // Loud enough to play, but the points condition cannot hold: every event is rejected.
    MakeInput(4.0, {{0.5, 0.3, 12000}, {2.5, 0.3, 12000}});
    settings.m_fPointsLow = 100.0f;
    settings.m_fPointsHigh = 100.0f;

    settings.m_bSaveRejected = 0;
    ASSERT_TRUE(Collect());
    ASSERT_EQ(events.size(), 2u);
    EXPECT_FALSE(events[0].outcome.m_figures.m_bAccepted);
    EXPECT_TRUE(Files().empty());

}

TEST_F(CollectionEngineTest, RejectedEventsAreKeptMarkedAndAmplifiedWhenAsked)
{
    // Kept and marked "A"; amplified takes reach full scale in the file.
    MakeInput(4.0, {{0.5, 0.3, 12000}, {2.5, 0.3, 12000}});
    settings.m_fPointsLow = 100.0f;
    settings.m_fPointsHigh = 100.0f;
    settings.m_bSaveRejected = 1;
    settings.m_bSaveAmplified = 1;
    ASSERT_TRUE(Collect());
    ASSERT_EQ(events.size(), 2u);
    auto files = Files();
    ASSERT_EQ(files.size(), 2u);
    for (const std::string& name : files) {
        EXPECT_EQ(name.substr(name.size() - 5), ".WAVA");
        EXPECT_EQ(LoudSamples(dir.File(name), 32767), LoudInInput(input, 0.5, 0.8, 12000));
    }
}

TEST_F(CollectionEngineTest, EventMissingOnlyThePlayLevelKeepsItsFiguresName)
{
    MakeInput(2.0, {{0.5, 0.3, 3000}});
    settings.m_nPlayLevel = 3001;
    settings.m_bSaveRejected = 1;
    ASSERT_TRUE(Collect());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].outcome.m_figures.AllConditionsMet());
    EXPECT_FALSE(events[0].outcome.m_figures.m_bAccepted);
    auto files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(dir.File(files[0]), events[0].outcome.m_strFinalPath);
    EXPECT_EQ(files[0].substr(files[0].size() - 4), ".WAV");
    EXPECT_EQ(files[0].substr(14, 6), "-03000");
}

TEST_F(CollectionEngineTest, EmptyFolderRunsTheCycleWithoutFiles)
{
    MakeInput(3.0, {{0.5, 0.3, 12000}, {1.8, 0.3, 12000}});
    settings.m_strOutputFolder.clear();
    settings.m_nPlayCount = 1;
    Start();
    CountReplays();
    ASSERT_TRUE(Collect());
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].outcome.m_strFinalPath, "");
    EXPECT_TRUE(Files().empty());
    EXPECT_EQ(replays, 2);
}

TEST_F(CollectionEngineTest, PlayCountZeroReplaysNothing)
{
    MakeInput(4.0, {{0.5, 0.3, 12000}, {2.5, 0.3, 12000}});
    settings.m_nPlayCount = 0;
    Start();
    CountReplays();
    ASSERT_TRUE(Collect());
    ASSERT_EQ(events.size(), 2u);
    EXPECT_TRUE(events[0].outcome.m_figures.m_bAccepted);
    EXPECT_EQ(replays, 0);
    EXPECT_EQ(run->Backend().FramesPlayed(), 0u);
}

TEST_F(CollectionEngineTest, ReplaysAnAcceptedEventTwiceForPlayCountTwo)
{
    MakeInput(4.0, {{0.5, 0.3, 12000}, {2.5, 0.3, 12000}});
    settings.m_nPlayCount = 2;
    Start();
    CountReplays();
    ASSERT_TRUE(Collect());
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(replays, 4);
    EXPECT_EQ(run->Backend().OpenCount(WaveDirection::Output), 4);
    // Each replay plays the whole take (the device may run on a little while it is closed).
    EXPECT_GE(run->Backend().FramesPlayed(), 2u * (events[0].frames + events[1].frames));
    // Replays take no recording time: the second event is found where it is in the recording.
    EXPECT_EQ(LoudSamples(events[1].outcome.m_strFinalPath, 1000), LoudInInput(input, 2.5, 2.8, 1000));
}

TEST_F(CollectionEngineTest, SettingsChangedWhileProcessingApplyFromTheNextEvent)
{
    MakeInput(4.0, {{0.5, 0.3, 12000}, {2.5, 0.3, 12000}});
    settings.m_nPlayCount = 2;
    Start();
    // As the settings dialog would, while the worker runs the first event.
    CountReplays([&] {
        if (run->Collection().IsRunning())
            settings.m_nPlayCount = 0;
    });
    ASSERT_TRUE(Collect());
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(replays, 2);
}

TEST_F(CollectionEngineTest, StopWhileWaitingEndsTheRecordingWithNothing)
{
    MakeInput(3.0, {{2.0, 0.3, 12000}});
    int steps = 0;
    Start().m_onStep = [&] {
        if (++steps == 10)
            run->Transport().OnStop();
    };
    ASSERT_TRUE(Collect());
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    EXPECT_FALSE(doc.HasTake());
    EXPECT_TRUE(Files().empty());
}

TEST_F(CollectionEngineTest, StopWhileCapturingDiscardsTheEventAndTheNextTakeStartsFromNothing)
{
    MakeInput(5.0, {{1.0, 0.5, 12000}, {3.0, 0.3, 9000}});
    settings.m_nContinuousMs = 500;
    // An earlier take in the document stays as it was.
    std::vector<std::int16_t> old(1000, 77);
    LoadTake16(doc, old, 1, kRate);
    Start().m_onStep = [&] {
        // In the quiet after the first burst, before its continuous time is over.
        if (doc.m_nState == TransportState::Recording && doc.m_bPause == 0 && run->ConsumedBytes() >= 2 * 17 * kRate / 10)
            run->Transport().OnStop();
    };
    ASSERT_TRUE(Collect());
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    ASSERT_EQ(doc.m_nSamples, 1000u);
    EXPECT_EQ(std::memcmp(doc.m_pData, old.data(), 2000), 0);
    EXPECT_EQ(run->Transport().RecordedFrames(), 0u);
    EXPECT_TRUE(Files().empty());

    // Going on: the old take is appended to once, then only the second burst is captured.
    run->m_onStep = nullptr;
    ASSERT_TRUE(run->Run());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(LoudSamples(events[0].outcome.m_strFinalPath, 1000), LoudInInput(input, 3.0, 3.3, 1000));
    EXPECT_EQ(events[0].outcome.m_figures.m_nPeak, 9000);
    EXPECT_EQ(fs::file_size(events[0].outcome.m_strFinalPath), 44u + 2u * events[0].frames);
    EXPECT_GT(events[0].frames, 1000u + kN);
}

TEST_F(CollectionEngineTest, StopWhileProcessingOnlyEndsTheReplay)
{
    MakeInput(4.0, {{0.5, 0.5, 12000}, {2.5, 0.3, 12000}});
    settings.m_nPlayCount = 2;
    bool stopped = false;
    Start();
    CountReplays([&] {
        if (!stopped && doc.m_nState == TransportState::Playing && run->Backend().FramesPlayed() > 0) {
            stopped = true;
            run->Transport().OnStop();
        }
    });
    ASSERT_TRUE(Collect());
    EXPECT_TRUE(stopped);
    // The second replay of the first event still happens, and collection goes on.
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(replays, 4);
    EXPECT_LT(run->Backend().FramesPlayed(), 2u * (events[0].frames + events[1].frames));
    EXPECT_EQ(Files().size(), 2u);
}

TEST_F(CollectionEngineTest, EventThatCannotJoinTheTakeIsLostAndCollectionGoesOn)
{
    MakeInput(4.0, {{0.5, 0.3, 12000}, {2.5, 0.3, 9000}});
    // A take so long that the frame count of take + event would not fit: it cannot grow.
    // Planted: a count the two bytes do not hold, as no memory here holds such a take.
    doc.m_pData = static_cast<BYTE*>(std::malloc(2));
    doc.m_pData[0] = doc.m_pData[1] = 0;
    doc.m_nSamples = 0xFFFFFF00u;
    doc.m_nEndMark = doc.m_nSamples - 1;
    ASSERT_TRUE(Collect());
    ASSERT_EQ(sink.m_messages.size(), 1u);
    EXPECT_EQ(sink.m_messages[0], "バッファの取得に失敗しました！");
    // Nothing written or analysed from the lost event; the next one is whole.
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].outcome.m_figures.m_nPeak, 9000);
    EXPECT_EQ(LoudSamples(events[0].outcome.m_strFinalPath, 1000), LoudInInput(input, 2.5, 2.8, 1000));
    EXPECT_EQ(Files().size(), 1u);
}

TEST(TimelineClockTest, AddsSecondsAcrossDaysMonthsAndLeapYears)
{
    auto add = [](LocalDateTime t, std::uint64_t s) { return TimelineClock::AddSeconds(t, s); };
    EXPECT_EQ(add({2024, 2, 28, 23, 59, 59}, 1), (LocalDateTime{2024, 2, 29, 0, 0, 0}));
    EXPECT_EQ(add({2023, 2, 28, 23, 59, 59}, 1), (LocalDateTime{2023, 3, 1, 0, 0, 0}));
    EXPECT_EQ(add({2024, 12, 31, 22, 0, 0}, 7200), (LocalDateTime{2025, 1, 1, 0, 0, 0}));
    EXPECT_EQ(add({2024, 3, 5, 14, 7, 9}, 0), (LocalDateTime{2024, 3, 5, 14, 7, 9}));
}

}  // namespace
