#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "TakeFactory.h"
#include "TestUtil.h"
#include "collect/CollectSettings.h"
#include "collect/EventFile.h"
#include "collect/EventHost.h"
#include "collect/EventLog.h"
#include "collect/EventProcessor.h"
#include "collect/LocalClock.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftEngine.h"

using namespace tonmira;
using tonmira::test::ReadFileBytes;
using tonmira::test::TempDir;
namespace fs = std::filesystem;

namespace {

struct RecordingHost : EventHost {
    std::vector<int> m_replays;
    int m_nRejectedShown = 0;
    void ReplayEvent(int nPlayCount) override { m_replays.push_back(nPlayCount); }
    void ShowRejectedEvent() override { ++m_nRejectedShown; }
};

// One event: a 1010 Hz tone of peak about 10000 in a 16-bit stereo take at 8000 Hz, analysed
// with N = 512 (bin centres up to 3992 Hz).
struct EventRun {
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};
    CFftEngine fft;
    std::vector<int> spectrum = std::vector<int>(256);
    FixedLocalClock clock{LocalDateTime{2024, 3, 5, 14, 7, 9}};
    RecordingHost host;
    CollectSettings settings;

    EventRun()
    {
        const double pi = 2 * std::asin(1.0);
        const int frames = 3000;
        std::vector<std::int16_t> samples;
        for (int i = 0; i < frames; ++i)
            samples.insert(samples.end(), 2, static_cast<std::int16_t>(10000 * std::sin(2 * pi * 1010 * i / 8000)));
        test::LoadTake16(doc, samples, 2, 8000);
        fft.Init(512, 0);
        settings.m_nBandLowHz = 900;
        settings.m_nBandHighHz = 1100;
    }

    EventOutcome Process(const std::string& folder)
    {
        settings.m_strOutputFolder = folder;
        EventProcessor processor(doc, settings, fft, spectrum.data(), clock, sink, host);
        return processor.Process(5);
    }
};

int PeakOfWav(const std::string& bytes)
{
    int peak = 0;
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2) {
        int v = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
        peak = std::max(peak, std::abs(v));
    }
    return peak;
}

}  // namespace

TEST(EventProcessor, AcceptedEventIsNamedByItsFiguresAndReplayed)
{
    TempDir dir;
    EventRun run;
    run.settings.m_nPlayCount = 2;
    EventOutcome out = run.Process(dir.Path().string());
    const EventFigures& fig = out.m_figures;
    ASSERT_TRUE(fig.m_bAccepted);
    EXPECT_TRUE(fig.m_bBandPeakTest);
    std::string expected = FiguresEventFileName(dir.File("20240305140709.WAV"), fig.m_nPeak, 0, fig.m_nPoints100,
                                                fig.m_fStdDev);
    EXPECT_EQ(out.m_strFinalPath, expected);
    EXPECT_EQ(out.m_strEventFile, expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    // The file holds the captured take; the document now holds the amplified one, and the
    // mono buffer that is replayed was rebuilt from it.
    EXPECT_EQ(PeakOfWav(ReadFileBytes(expected)), fig.m_nPeak);
    EXPECT_EQ(run.host.m_replays, std::vector<int>{2});
    EXPECT_EQ(run.host.m_nRejectedShown, 0);
    int mono = static_cast<std::int16_t>(run.doc.m_pMono[0] | (run.doc.m_pMono[1] << 8));
    int left = static_cast<std::int16_t>(run.doc.m_pData[0] | (run.doc.m_pData[1] << 8));
    EXPECT_EQ(mono, left);
    EXPECT_TRUE(run.sink.m_messages.empty());
    EXPECT_EQ(FormatEventLine(out), expected + " " + std::to_string(fig.m_nPeak) + " 0 " +
                                        std::to_string(fig.m_nPoints100) + " " + StdDevFigure(fig.m_fStdDev, 0) +
                                        " accepted");
    // In the log a field with a line end is quoted as one with a comma is.
    out.m_strInput = "two\nlines";
    EXPECT_NE(EventLog::FormatRow(out).find(",\"two\nlines\","), std::string::npos);
}

TEST(EventProcessor, EventMissingOnlyThePlayLevelKeepsItsName)
{
    TempDir dir;
    EventRun run;
    run.settings.m_bSaveRejected = 1;
    run.settings.m_nPlayLevel = 20000;
    EventOutcome out = run.Process(dir.Path().string());
    EXPECT_FALSE(out.m_figures.m_bAccepted);
    EXPECT_TRUE(out.m_figures.AllConditionsMet());
    EXPECT_EQ(out.m_strFinalPath, out.m_strEventFile);
    EXPECT_TRUE(fs::exists(out.m_strFinalPath));
    EXPECT_EQ(run.host.m_nRejectedShown, 1);
    EXPECT_TRUE(run.host.m_replays.empty());

    // With the band peak test the integration figure is 0, so an amplified take is first
    // written under the plain name.
    TempDir dir2;
    EventRun run2;
    run2.settings.m_bSaveAmplified = 1;
    EventOutcome out2 = run2.Process(dir2.Path().string());
    const EventFigures& fig2 = out2.m_figures;
    EXPECT_EQ(out2.m_strFinalPath, FiguresEventFileName(dir2.File("20240305140709.WAV"), fig2.m_nPeak, 0,
                                                        fig2.m_nPoints100, fig2.m_fStdDev));
    EXPECT_EQ(PeakOfWav(ReadFileBytes(out2.m_strFinalPath)), 32767);
}

// The collection worker and the event command may run processors on different threads; they
// share nothing (run under ThreadSanitizer).
TEST(EventProcessor, IndependentEventsOnTwoThreads)
{
    TempDir dirA;
    TempDir dirB;
    EventRun a;
    EventRun b;
    EventOutcome outA;
    EventOutcome outB;
    std::thread worker([&] { outA = a.Process(dirA.Path().string()); });
    outB = b.Process(dirB.Path().string());
    worker.join();
    EXPECT_EQ(fs::path(outA.m_strFinalPath).filename(), fs::path(outB.m_strFinalPath).filename());
    EXPECT_TRUE(fs::exists(outA.m_strFinalPath));
    EXPECT_TRUE(fs::exists(outB.m_strFinalPath));
}
