#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "doc/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "dsp/Fundamentals.h"
#include "dsp/SpectrumAnalysis.h"

using namespace tonmira;

namespace {

// 44100 Hz and N = 1024: bins are 22050 / 512 = 43.07 Hz apart and T = 43.
constexpr int kRate = 44100;
constexpr int kN = 1024;
constexpr double kBinHz = 22050.0 / 512;

struct Picked {
    int score[kPeakGroupCount];
    double freq[kPeakGroupCount][kPeakGroupSlots];
    FundamentalBoxes boxes;
};

// The spectrum is exactly fftSize / 2 long, so ASan sees any read past the last bin.
Picked Pick(const std::vector<int>& s, int level, int fftSize = kN, int rate = kRate, int bits = 16)
{
    Picked p;
    PickPeakGroups(s.data(), fftSize, rate, level, FlooredSpectrumMax(s.data(), fftSize, bits), p.score, p.freq);
    int score[kPeakGroupCount];
    std::memcpy(score, p.score, sizeof score);
    p.boxes = ListFundamentals(score, p.freq);
    return p;
}

std::vector<std::string> Texts(const std::vector<double>& box)
{
    std::vector<std::string> texts;
    for (double f : box)
        texts.push_back(FormatFundamental(f));
    return texts;
}

}  // namespace

TEST(Fundamentals, EqualLeakagePairsWithTheRightNeighbour)
{
    std::vector<int> s(kN / 2, 0);
    s[9] = 20000;  // not above 100000 / 5 itself
    s[10] = 100000;
    s[11] = 20000;
    Picked p = Pick(s, 5);
    ASSERT_EQ(p.boxes[0].size(), 1u);
    EXPECT_DOUBLE_EQ(p.boxes[0][0], (10 + 20000.0 / 120000) * kBinHz);
    EXPECT_EQ(Texts(p.boxes[0]), std::vector<std::string>{"437.8"});
    EXPECT_EQ(p.score[0], 100000);
    // A larger left neighbour pairs to the left.
    s[9] = 30000;
    EXPECT_DOUBLE_EQ(Pick(s, 5).boxes[0][0], (9 + 100000.0 / 130000) * kBinHz);
}

TEST(Fundamentals, HarmonicSeriesAndASecondGroup)
{
    std::vector<int> s(kN / 2, 0);
    s[5] = 80000;   // 215.3 Hz
    s[10] = 60000;  // 430.7
    s[15] = 40000;  // 646.0
    s[23] = 90000;  // 990.5: 4.6 times the base, 86 Hz off the 5th harmonic
    Picked p = Pick(s, 5);
    EXPECT_EQ(Texts(p.boxes[0]), std::vector<std::string>{"990.5"});
    EXPECT_EQ(Texts(p.boxes[1]), (std::vector<std::string>{"215.3", "430.7", "646.0"}));
    for (int b = 2; b < kFundamentalBoxCount; ++b)
        EXPECT_TRUE(p.boxes[b].empty()) << b;
    EXPECT_EQ(p.score[0], 80000);  // the strongest member, the base here

    // Level 0 picks nothing; a higher level keeps only the peaks above max / level.
    for (const auto& box : Pick(s, 0).boxes)
        EXPECT_TRUE(box.empty());
    Picked high = Pick(s, 1);  // only bins above 90000: none
    EXPECT_TRUE(high.boxes[0].empty());
}

TEST(Fundamentals, MemberTooFarAboveThePreviousOrderStartsAnotherGroup)
{
    std::vector<int> s(kN / 2, 0);
    s[5] = 80000;
    s[35] = 70000;  // 7th harmonic right after the base: 2 x 1 < 7 - 1
    s[10] = 0;
    Picked p = Pick(s, 5);
    EXPECT_EQ(Texts(p.boxes[0]), std::vector<std::string>{"215.3"});
    EXPECT_EQ(Texts(p.boxes[1]), std::vector<std::string>{"1507.3"});
    // After the 2nd harmonic the 7th is still too far (2 x 2 < 6).
    s[10] = 60000;
    p = Pick(s, 5);
    EXPECT_EQ(Texts(p.boxes[0]), (std::vector<std::string>{"215.3", "430.7"}));
    EXPECT_EQ(Texts(p.boxes[1]), std::vector<std::string>{"1507.3"});
    s[20] = 50000;  // 4th: 2 x 2 >= 3, joins; then 7th: 2 x 4 >= 6, joins
    p = Pick(s, 5);
    EXPECT_EQ(Texts(p.boxes[0]), (std::vector<std::string>{"215.3", "430.7", "861.3", "1507.3"}));
    EXPECT_TRUE(p.boxes[1].empty());
}

TEST(Fundamentals, ZeroToleranceGivesOneGroupPerPeakAndOnlySixteen)
{
    // N = 65536 at 44100 Hz: H = 32768 exceeds R, so T = 0.
    const int n = 65536;
    std::vector<int> s(n / 2, 0);
    for (int k = 1; k <= 20; ++k)
        s[100 * k] = 200000 - 1000 * k;
    Picked p = Pick(s, 5, n);
    for (int g = 0; g < kPeakGroupCount; ++g) {
        EXPECT_DOUBLE_EQ(p.freq[g][0], 100.0 * (g + 1) * 22050 / 32768) << g;
        EXPECT_EQ(p.freq[g][1], 0.0) << g;
    }
    for (int b = 0; b < kFundamentalBoxCount; ++b)
        ASSERT_EQ(p.boxes[b].size(), 1u);
    EXPECT_DOUBLE_EQ(p.boxes[4][0], 500.0 * 22050 / 32768);
}

TEST(Fundamentals, QuietSpectrumJudgedAgainstTheFloor)
{
    std::vector<int> s(kN / 2, 0);
    s[20] = 10000;  // exactly 50000 / 5: not a peak
    s[40] = 10001;
    Picked p = Pick(s, 5);
    EXPECT_EQ(Texts(p.boxes[0]), std::vector<std::string>{"1722.7"});
    EXPECT_TRUE(p.boxes[1].empty());
    // 8-bit: floor 100, so 21 is a peak at level 5.
    std::vector<int> eight(kN / 2, 0);
    eight[40] = 21;
    EXPECT_EQ(Pick(eight, 5, kN, kRate, 8).boxes[0].size(), 1u);
}

TEST(Fundamentals, EndsOfTheSpectrumAreNeverReadPast)
{
    // Rising to the last bin: the climb stops there and pairs it with its left neighbour.
    std::vector<int> rising(16 / 2);
    for (int i = 0; i < 8; ++i)
        rising[i] = 60000 + 1000 * i;
    Picked p = Pick(rising, 5, 16, 1600);  // R = 800, 100 Hz per bin
    ASSERT_EQ(p.boxes[0].size(), 1u);
    EXPECT_DOUBLE_EQ(p.boxes[0][0], (6 + 67000.0 / 133000) * 100);

    // Falling from bin 0: the peak is bin 0, paired to the right.
    std::vector<int> falling(8);
    for (int i = 0; i < 8; ++i)
        falling[i] = 100000 - 1000 * i;
    p = Pick(falling, 5, 16, 1600);
    ASSERT_EQ(p.boxes[0].size(), 1u);
    EXPECT_DOUBLE_EQ(p.boxes[0][0], 99000.0 / 199000 * 100);

    // Flat and loud everywhere, and a peak in the last bins only.
    Picked flat = Pick(std::vector<int>(8, 70000), 5, 16, 1600);
    EXPECT_EQ(flat.boxes[0].size(), 1u);
    std::vector<int> tail(8, 0);
    tail[5] = 90000;
    tail[7] = 80000;
    EXPECT_EQ(Pick(tail, 5, 16, 1600).boxes[0].size(), 1u);
}

TEST(Fundamentals, ListingTakesTheStrongestAndBreaksTiesLow)
{
    int score[kPeakGroupCount] = {5, 9, 9, 0};
    double freq[kPeakGroupCount][kPeakGroupSlots] = {};
    freq[0][0] = 100;
    freq[1][0] = 200;
    freq[1][1] = 400;
    freq[2][0] = 300;
    freq[3][0] = 999;  // score 0: never listed
    FundamentalBoxes boxes = ListFundamentals(score, freq);
    EXPECT_EQ(boxes[0], (std::vector<double>{200, 400}));
    EXPECT_EQ(boxes[1], std::vector<double>{300});
    EXPECT_EQ(boxes[2], std::vector<double>{100});
    EXPECT_TRUE(boxes[3].empty());
    EXPECT_EQ(score[1], 0);
    EXPECT_EQ(FormatFundamental(3.04), "  3.0");
    EXPECT_EQ(FormatFundamental(22050), "22050.0");
}

namespace {

// A 16-bit mono take of frames with a value pattern.
void MakeTake(CTonmiraDoc& doc, const std::vector<short>& frames, int bits = 16)
{
    doc.m_header.nChannels = 1;
    doc.m_header.nSamplesPerSec = kRate;
    doc.m_header.wBitsPerSample = static_cast<WORD>(bits);
    const std::size_t bytes = frames.size() * (bits / 8) + 1;
    doc.m_pData = static_cast<BYTE*>(std::malloc(bytes));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (bits == 16)
            std::memcpy(doc.m_pData + 2 * i, &frames[i], 2);
        else
            doc.m_pData[i] = static_cast<BYTE>(frames[i] + 128);
    }
    doc.m_pMono = doc.m_pData;
    doc.m_nSamples = static_cast<UINT>(frames.size());
}

}  // namespace

TEST(SpectrumAnalysis, SizesPositionAndShortTakes)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    MakeTake(doc, std::vector<short>(5000, 1000));
    SpectrumAnalysis analysis;
    ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
    EXPECT_EQ(analysis.m_nFftSize, 4096);
    EXPECT_EQ(analysis.m_nMaxFreq, 22050);
    EXPECT_EQ(analysis.m_bRecalcPeaks, 1);

    // DC of 1000 over the whole window: bin 0 = 1000 * sqrt(4096).
    doc.m_nPosition = 900;
    analysis.Recalculate(doc, 5);
    EXPECT_EQ(analysis.m_pSpectrum[0], 64000);
    EXPECT_EQ(analysis.m_nSpectrumMax, 64000);
    EXPECT_EQ(analysis.m_bRecalcPeaks, 0);
    // Past the end only the frames inside the take are fed: 5000 - 4000 = 1000 frames.
    doc.m_nPosition = 4000;
    EXPECT_EQ(analysis.FeedFromTake(doc), 1000);
    doc.m_nPosition = 0xFFFFFFF0u;  // must not wrap around into the take
    EXPECT_EQ(analysis.FeedFromTake(doc), 0);

    // Not a size of the list.
    EXPECT_FALSE(analysis.SetFftSize(1000, doc, sink));
    EXPECT_FALSE(analysis.SetFftSize(262144, doc, sink));
    // A window longer than the take: position 0, only the take is read.
    doc.m_nPosition = 3000;
    ASSERT_TRUE(analysis.ChangeFftSize(doc, 8192, sink));
    EXPECT_EQ(doc.m_nPosition, 0u);
    EXPECT_EQ(analysis.FeedFromTake(doc), 5000);
    doc.m_nPosition = 3000;
    ASSERT_TRUE(analysis.ChangeFftSize(doc, 4096, sink));
    EXPECT_EQ(doc.m_nPosition, 904u);

    EXPECT_FALSE(SpectrumAnalysis::FftSizeFitsTake(doc, 8192, sink));
    EXPECT_TRUE(SpectrumAnalysis::FftSizeFitsTake(doc, 4096, sink));
    ASSERT_EQ(sink.m_messages.size(), 1u);
    EXPECT_EQ(sink.m_messages[0], "データ数が足りません! データ数 = 5000");

    // Without a take nothing is transformed.
    CTonmiraDoc empty(sink);
    empty.m_header.nSamplesPerSec = 8000;
    SpectrumAnalysis idle;
    ASSERT_TRUE(idle.InitialUpdate(empty, sink));
    EXPECT_EQ(idle.m_nFftSize, 512);
    for (const auto& box : idle.Recalculate(empty, 5))
        EXPECT_TRUE(box.empty());
    EXPECT_EQ(idle.m_bRecalcPeaks, 1);
}

TEST(SpectrumAnalysis, EightBitTakeAndCaptureBlocks)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    MakeTake(doc, std::vector<short>(1024, -100), 8);
    SpectrumAnalysis analysis;
    ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
    ASSERT_TRUE(analysis.ChangeFftSize(doc, 1024, sink));
    analysis.Recalculate(doc, 5);
    EXPECT_EQ(analysis.m_pSpectrum[0], 3200);  // 100 * sqrt(1024), no rescaling to 16 bits
    EXPECT_EQ(analysis.m_nSpectrumMax, 3200);

    // Capture blocks: stereo frames are averaged and scaled by the divisor.
    EXPECT_EQ(SpectrumAnalysis::CaptureDivisor(16, false, 500), 32768);
    EXPECT_EQ(SpectrumAnalysis::CaptureDivisor(16, true, 500), 500);
    EXPECT_EQ(SpectrumAnalysis::CaptureDivisor(8, true, 5), 1);  // 5 * 128 / 1000 would be 0
    std::vector<BYTE> stereo(4 * 1024 + 3);
    for (int i = 0; i < 1024; ++i) {
        short l = 1000, r = 3001;
        std::memcpy(&stereo[4 * i], &l, 2);
        std::memcpy(&stereo[4 * i + 2], &r, 2);
    }
    EXPECT_EQ(analysis.FeedFromCaptureBlock(stereo.data(), static_cast<DWORD>(stereo.size()), 2, 16, 32768), 1024);
    analysis.TransformAndPick(5, kRate, 16);
    EXPECT_EQ(analysis.m_pSpectrum[0], 2000 * 32);
    // A loud sample over a low level divisor is limited, not wrapped.
    EXPECT_EQ(analysis.FeedFromCaptureBlock(stereo.data(), 4 * 1024, 2, 16, 100), 1024);
    analysis.TransformAndPick(5, kRate, 16);
    EXPECT_EQ(analysis.m_pSpectrum[0], 32767 * 32);
    // Less than one frame feeds nothing.
    EXPECT_EQ(analysis.FeedFromCaptureBlock(stereo.data(), 3, 2, 16, 32768), 0);
    std::vector<BYTE> eight(2 * 1024, 255);
    EXPECT_EQ(analysis.FeedFromCaptureBlock(eight.data(), 2 * 1024, 2, 8, 128), 1024);
    analysis.TransformAndPick(5, kRate, 8);
    EXPECT_EQ(analysis.m_pSpectrum[0], 127 * 32);  // 8-bit input stays on the 8-bit scale
}

TEST(SpectrumAnalysis, DetectionLevelSliderRepicksWithItsOwnTables)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    std::vector<short> tone(4096);
    for (int i = 0; i < 4096; ++i)  // a square-ish tone on bin 64 of 4096 plus its harmonics
        tone[i] = static_cast<short>((i / 32) % 2 ? 8000 : -8000);
    MakeTake(doc, tone);
    SpectrumAnalysis analysis;
    ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
    // Nothing handed over yet: the slider does nothing.
    EXPECT_FALSE(analysis.m_freqLevel.OnLevelChanged(5).has_value());
    FundamentalBoxes viewBoxes = analysis.Recalculate(doc, 5);
    ASSERT_FALSE(viewBoxes[0].empty());
    EXPECT_EQ(FormatFundamental(viewBoxes[0][0]), "689.1");  // 64 x 44100 / 4096 = 689.06
    const int viewScore0 = analysis.m_peakGroupScore[0];
    const int viewMax = analysis.m_nSpectrumMax;

    auto none = analysis.m_freqLevel.OnLevelChanged(0);
    ASSERT_TRUE(none.has_value());
    for (const auto& box : *none)
        EXPECT_TRUE(box.empty());
    auto again = analysis.m_freqLevel.OnLevelChanged(5);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ((*again)[0], viewBoxes[0]);
    EXPECT_EQ(analysis.m_peakGroupScore[0], viewScore0);
    EXPECT_EQ(analysis.m_nSpectrumMax, viewMax);
    EXPECT_EQ(analysis.m_freqLevel.m_nMax, viewMax);

    // A new size takes the spectrum away from the slider until the next pick.
    ASSERT_TRUE(analysis.ChangeFftSize(doc, 1024, sink));
    EXPECT_FALSE(analysis.m_freqLevel.OnLevelChanged(5).has_value());
}
