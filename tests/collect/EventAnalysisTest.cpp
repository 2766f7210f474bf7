#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "TakeFactory.h"
#include "collect/CollectSettings.h"
#include "collect/EventAnalysis.h"
#include "base/MessageSink.h"
#include "base/SampleMath.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftEngine.h"

using namespace tonmira;

namespace {

std::vector<BYTE> Pcm16(const std::vector<int>& samples)
{
    std::vector<BYTE> bytes;
    for (int s : samples) {
        auto u = static_cast<std::uint16_t>(s);
        bytes.push_back(static_cast<BYTE>(u & 0xFF));
        bytes.push_back(static_cast<BYTE>(u >> 8));
    }
    return bytes;
}

std::vector<int> Read16(const std::vector<BYTE>& bytes)
{
    std::vector<int> out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return out;
}

std::vector<int> Amplified16(std::vector<int> samples, int alwaysMax, int factor)
{
    auto bytes = Pcm16(samples);
    int peak = FindSamplePeak(bytes.data(), samples.size(), 16).m_nPeak;
    AmplifyEvent(bytes.data(), samples.size(), 16, alwaysMax, factor, peak);
    return Read16(bytes);
}

std::vector<int> Amplified8(std::vector<BYTE> samples, int alwaysMax, int factor)
{
    int peak = FindSamplePeak(samples.data(), samples.size(), 8).m_nPeak;
    AmplifyEvent(samples.data(), samples.size(), 8, alwaysMax, factor, peak);
    return std::vector<int>(samples.begin(), samples.end());
}

// A document holding a 16-bit take of the given frames.
struct TakeFixture {
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};

    void Set(const std::vector<int>& samples, int channels, int rate)
    {
        test::LoadTake16(doc, std::vector<std::int16_t>(samples.begin(), samples.end()), static_cast<WORD>(channels),
                         static_cast<DWORD>(rate));
    }
};

// Off the bin grid, so every bin of the spectrum gets some leakage.
std::vector<int> Tone(double hz, int rate, int frames, double amplitude)
{
    std::vector<int> s(frames);
    const double pi = 2 * std::asin(1.0);
    for (int i = 0; i < frames; ++i)
        s[i] = static_cast<int>(amplitude * std::sin(2 * pi * hz * i / rate));
    return s;
}

}  // namespace

TEST(EventAnalysis, PeakIsTheFirstLargestMagnitude)
{
    auto bytes = Pcm16({3, -7, 7, -32768, 32767, -32768});
    SamplePeak p = FindSamplePeak(bytes.data(), 6, 16);
    EXPECT_EQ(p.m_nPeak, 32768);
    EXPECT_EQ(p.m_nIndex, 3u);
    std::vector<BYTE> eight = {128, 0, 255, 0};
    p = FindSamplePeak(eight.data(), 4, 8);
    EXPECT_EQ(p.m_nPeak, 128);
    EXPECT_EQ(p.m_nIndex, 1u);
}

TEST(EventAnalysis, SixteenBitAmplification)
{
    // Always maximum: the peak lands on full scale, the rest scaled and truncated toward zero.
    EXPECT_EQ(Amplified16({16384, -100, 1, 0}, 1, 1), (std::vector<int>{32767, -199, 1, 0}));
    EXPECT_EQ(Amplified16({-32768, 32767}, 1, 1), (std::vector<int>{-32767, 32766}));
    // Factor 10 with peak 20000: F x P = 200000 exceeds 131068, d = trunc(200000 / 131068) = 1.
    EXPECT_EQ(Amplified16({20000, -3000, 7}, 0, 10), (std::vector<int>{32767, -30000, 70}));
    // Factor 20: F x P = 400000, d = 3.
    EXPECT_EQ(Amplified16({20000, 1000, -1000, 1}, 0, 20), (std::vector<int>{32767, 6666, -6666, 6}));
    // Small products divide by 1.
    EXPECT_EQ(Amplified16({100, -50}, 0, 3), (std::vector<int>{300, -150}));
    // Absurd factors from a settings file stay defined: a huge one saturates, 0 silences,
    // a negative one inverts.
    EXPECT_EQ(Amplified16({2, -2, 0}, 0, INT_MAX), (std::vector<int>{32767, -32768, 0}));
    EXPECT_EQ(Amplified16({5, -5}, 0, 0), (std::vector<int>{0, 0}));
    EXPECT_EQ(Amplified16({5, -5}, 0, -2), (std::vector<int>{-10, 10}));
    // Silence stays silence.
    EXPECT_EQ(Amplified16({0, 0}, 1, 1), (std::vector<int>{0, 0}));
}

TEST(EventAnalysis, EightBitAmplification)
{
    EXPECT_EQ(Amplified8({192, 64, 128, 160}, 1, 1), (std::vector<int>{255, 1, 128, 191}));
    // Factor mode keeps 128 at 128 and clips at both ends.
    EXPECT_EQ(Amplified8({128, 178, 78, 130, 0}, 0, 3), (std::vector<int>{128, 255, 0, 134, 0}));
    EXPECT_EQ(Amplified8({128, 128}, 1, 1), (std::vector<int>{128, 128}));
}

TEST(EventAnalysis, WalkBackToTheZeroCrossing)
{
    auto bytes = Pcm16({0, -5, 3, 7, 9});
    EXPECT_EQ(ZeroCrossingBefore(bytes.data(), 16, 4), 1u);
    bytes = Pcm16({2, 0, -3, -9});
    EXPECT_EQ(ZeroCrossingBefore(bytes.data(), 16, 3), 1u);
    bytes = Pcm16({-4, -3, -9});
    EXPECT_EQ(ZeroCrossingBefore(bytes.data(), 16, 2), 0u);
    bytes = Pcm16({5, 0, 5});
    EXPECT_EQ(ZeroCrossingBefore(bytes.data(), 16, 1), 1u);  // a zero sample does not move
    std::vector<BYTE> eight = {120, 130, 200, 129};  // 8-bit: the sign is around 128
    EXPECT_EQ(ZeroCrossingBefore(eight.data(), 8, 3), 0u);
}

TEST(EventAnalysis, WindowInputForMonoAndStereo)
{
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(16, 0));
    // Stereo 16-bit: frame f = start / 2 + i, value = trunc((L + R) / 2).
    std::vector<int> stereo;
    for (int f = 0; f < 20; ++f) {
        stereo.push_back(f * 100 + 1);
        stereo.push_back(-(f * 100));
    }
    stereo[2 * 3] = -3;
    stereo[2 * 3 + 1] = 0;
    auto bytes = Pcm16(stereo);
    FeedEventWindow(fft, bytes.data(), 20, 2, 16, 5);  // start sample 5 -> frame 2
    EXPECT_EQ(fft.m_pInput[0], 0.0);                   // (201 - 200) / 2 = 0
    EXPECT_EQ(fft.m_pInput[1], -1.0);                  // (-3 + 0) / 2 truncates to -1
    // Stereo 8-bit: trunc((L + R - 256) / 2); past the end of the take: silence.
    std::vector<BYTE> eight = {255, 0, 130, 129, 0, 0};
    FeedEventWindow(fft, eight.data(), 3, 2, 8, 0);
    EXPECT_EQ(fft.m_pInput[0], 0.0);   // (127 - 128) / 2 = 0
    EXPECT_EQ(fft.m_pInput[1], 1.0);   // (2 + 1) / 2 = 1
    EXPECT_EQ(fft.m_pInput[2], -128.0);
    EXPECT_EQ(fft.m_pInput[3], 0.0);
    // Mono 8-bit: u - 128 from sample start.
    FeedEventWindow(fft, eight.data(), 6, 1, 8, 1);
    EXPECT_EQ(fft.m_pInput[0], -128.0);
    EXPECT_EQ(fft.m_pInput[1], 2.0);
}

TEST(EventAnalysis, VerdictsOnTones)
{
    const int rate = 8000;
    const int n = 512;
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(n, 0));
    std::vector<int> spectrum(n / 2);

    struct Case {
        const char* name;
        CollectSettings settings;
        int detectLevel;
        bool integMet, pointsMet, stdDevMet, accepted, nanStdDev;
    };
    CollectSettings inBand;
    inBand.m_nBandLowHz = 900;
    inBand.m_nBandHighHz = 1100;
    inBand.m_fIntegLow = 50.0f;
    CollectSettings outOfBand = inBand;
    outOfBand.m_nBandLowHz = 2000;
    outOfBand.m_nBandHighHz = 3000;
    CollectSettings emptyBand = inBand;
    emptyBand.m_nBandLowHz = 3999;  // the highest bin centre is 3992.2 Hz
    emptyBand.m_nBandHighHz = 3999;
    emptyBand.m_fIntegLow = 0.0f;
    emptyBand.m_fIntegHigh = 99.5f;  // the ratio comparison, not the band peak test
    emptyBand.m_fStdDevHigh = 50000.0f;
    CollectSettings peakTest;  // default bounds: the band peak test decides
    peakTest.m_nBandLowHz = 900;
    peakTest.m_nBandHighHz = 1100;
    CollectSettings peakTestMissed = peakTest;
    peakTestMissed.m_nBandLowHz = 2000;
    peakTestMissed.m_nBandHighHz = 3000;
    CollectSettings loudEnough = inBand;
    loudEnough.m_nPlayLevel = 20001;  // the peak before amplification is at most 20000

    const Case cases[] = {
        {"tone in band", inBand, 5, true, true, true, true, false},
        {"tone out of band", outOfBand, 5, false, true, true, false, false},
        {"empty band fails an active deviation test", emptyBand, 5, true, true, false, false, true},
        {"band peak test finds the tone", peakTest, 5, true, true, true, true, false},
        {"band peak test misses it", peakTestMissed, 5, false, true, true, false, false},
        {"detection level 0: ratio 0..100 always holds", peakTestMissed, 0, true, true, true, true, false},
        {"play level not reached", loudEnough, 5, true, true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TakeFixture take;
        take.Set(Tone(1010.0, rate, 2000, 20000.0), 1, rate);
        EventFigures fig = AnalyseEvent(take.doc, c.settings, fft, spectrum.data(), c.detectLevel);
        EXPECT_NEAR(fig.m_nPeak, 20000, 1);
        EXPECT_EQ(fig.m_bIntegMet, c.integMet);
        EXPECT_EQ(fig.m_bPointsMet, c.pointsMet);
        EXPECT_EQ(fig.m_bStdDevMet, c.stdDevMet);
        EXPECT_EQ(fig.m_bAccepted, c.accepted);
        EXPECT_EQ(std::isnan(fig.m_fStdDev), c.nanStdDev);
        if (c.nanStdDev) {
            EXPECT_EQ(fig.m_nPoints100, 0);
        }
        if (fig.m_bBandPeakTest) {
            EXPECT_EQ(fig.m_nIntegration100, 0);
        }
        EXPECT_LE(fig.m_nWindowStart, 2000u - n);
        // Always maximum amplified the take in place.
        EXPECT_EQ(FindSamplePeak(take.doc.m_pData, 2000, 16).m_nPeak, 32767);
    }
    // In band most of the (leaking) energy is inside the band.
    TakeFixture take;
    take.Set(Tone(1010.0, rate, 2000, 20000.0), 1, rate);
    EventFigures fig = AnalyseEvent(take.doc, inBand, fft, spectrum.data(), 5);
    EXPECT_GT(fig.m_nIntegration100, 5000);
    EXPECT_FALSE(fig.m_bBandPeakTest);
}

TEST(EventAnalysis, DecisionRules)
{
    EventFigures fig;
    fig.m_nIntegration100 = 1299;
    fig.m_nPoints100 = 5000;
    fig.m_fStdDev = 100.0f;
    fig.m_nPeak = 10;
    CollectSettings s;
    s.m_fIntegLow = 13.0f;  // 12.99 % counts as 12 %
    s.m_fIntegHigh = 99.5f;
    DecideEvent(fig, s);
    EXPECT_FALSE(fig.m_bIntegMet);
    s.m_fIntegLow = 12.0f;
    DecideEvent(fig, s);
    EXPECT_TRUE(fig.m_bIntegMet);
    EXPECT_TRUE(fig.m_bStdDevMet);  // 0 and 0: off
    s.m_fStdDevLow = 200.0f;        // one positive bound switches it on
    DecideEvent(fig, s);
    EXPECT_FALSE(fig.m_bStdDevMet);
    EXPECT_FALSE(fig.m_bAccepted);
    // NaN bounds from a settings file fail their comparison.
    s = CollectSettings{};
    s.m_fPointsLow = std::nanf("");
    DecideEvent(fig, s);
    EXPECT_FALSE(fig.m_bPointsMet);
}

namespace {

// The scans as plainly written: the first sample of the largest magnitude.
SamplePeak SlowPeak(const BYTE* data, std::size_t count, int bits)
{
    SamplePeak peak;
    for (std::size_t i = 0; i < count; ++i) {
        const int magnitude = std::abs(SampleAt(data, bits, i));
        if (magnitude > peak.m_nPeak)
            peak = SamplePeak{magnitude, i};
    }
    return peak;
}

}  // namespace

TEST(EventAnalysis, VectorisedScansAgreeWithSampleBySampleOnes)
{
    // Lengths across the block size, unaligned data, the extreme values at the start, middle
    // and end, and quiet buffers: peak, its first index and every level threshold around it.
    std::mt19937 random(12);
    for (int bits : {8, 16}) {
        const int bytesPerSample = bits / 8;
        for (std::size_t count : {0u, 1u, 7u, 255u, 256u, 257u, 1000u, 4096u}) {
            for (int shape = 0; shape < 6; ++shape) {
                std::vector<BYTE> storage(count * bytesPerSample + 1);
                BYTE* data = storage.data() + 1;  // odd address
                const int quiet = shape == 5 ? 0 : 40;
                for (std::size_t i = 0; i < count; ++i) {
                    const int v = quiet ? static_cast<int>(random() % (2 * quiet + 1)) - quiet : 0;
                    if (bits == 8)
                        data[i] = static_cast<BYTE>(128 + v);
                    else
                        StoreS16(data, i, v);
                }
                if (count && shape < 5) {
                    const std::size_t at = shape == 0 ? 0 : shape == 1 ? count - 1 : (count * shape) / 5;
                    const int loud = bits == 8 ? (shape % 2 ? -128 : 127) : (shape % 2 ? -32768 : 32767);
                    if (bits == 8)
                        data[at] = static_cast<BYTE>(128 + loud);
                    else
                        StoreS16(data, at, loud);
                    if (shape == 3 && at + 1 < count) {  // the same magnitude again, later
                        if (bits == 8)
                            data[at + 1] = static_cast<BYTE>(128 + loud);
                        else
                            StoreS16(data, at + 1, loud);
                    }
                }
                const SamplePeak slow = SlowPeak(data, count, bits);
                const SamplePeak fast = FindSamplePeak(data, count, bits);
                SCOPED_TRACE(testing::Message() << bits << " bits, " << count << " samples, shape " << shape);
                EXPECT_EQ(fast.m_nPeak, slow.m_nPeak);
                EXPECT_EQ(fast.m_nIndex, slow.m_nIndex);
                for (int level : {-1, 0, 1, slow.m_nPeak - 1, slow.m_nPeak, slow.m_nPeak + 1, 32769})
                    EXPECT_EQ(HasSampleAtLeast(data, count, bits, level), count > 0 && slow.m_nPeak >= level) << level;
            }
        }
    }
}

TEST(EventAnalysis, AlwaysMaximumIsTheTruncatedClampedScaling)
{
    // Every 16-bit value, scaled to the true peak and to peaks below it (which clamp); the
    // peaks include those whose quotients are whole numbers (divisors of 32767 = 7 x 31 x 151,
    // powers of two), and peaks no take has (above full scale, negative).
    std::vector<int> peaks{32768, 32767, 32766, 16384, 12345, 4681, 1057, 1000, 217, 151, 31, 7, 3, 2, 1, 40000, -5};
    std::mt19937 random(5);
    for (int i = 0; i < 16; ++i)
        peaks.push_back(1 + static_cast<int>(random() % 32768));
    std::vector<BYTE> bytes(65536 * 2);
    for (int peak : peaks) {
        for (int v = -32768; v <= 32767; ++v)
            StoreS16(bytes.data(), static_cast<std::size_t>(v + 32768), v);
        AmplifyEvent(bytes.data(), 65536, 16, 1, 1, peak);
        int wrong = 0;
        for (int v = -32768; v <= 32767; ++v)
            wrong += ReadS16(bytes.data() + 2 * (v + 32768)) !=
                     TruncClamp(v * 32767.0 / static_cast<float>(peak), -32768, 32767);
        EXPECT_EQ(wrong, 0) << "peak " << peak;
    }
}

TEST(EventAnalysis, AnalysisWithoutAmplifyingTheTakeGivesTheSameFigures)
{
    // The copy-only analysis against the in-place one on takes whose window lies where the
    // copy is (peak near the start, in the middle, near the end) and where the walk back to the
    // zero crossing goes beyond it (a long stretch of one sign): figures, window and spectrum
    // agree, for 8/16 bits, mono/stereo, both amplification modes.
    const int n = 1024;
    const int rate = 8000;
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(n, 0));
    std::vector<int> spectrumIn(n / 2), spectrumCopy(n / 2);
    std::mt19937 random(3);
    int fastPaths = 0;
    for (int bits : {8, 16}) {
        for (int channels : {1, 2}) {
            for (int shape = 0; shape < 5; ++shape) {
                for (int alwaysMax : {1, 0}) {
                    const std::size_t frames = shape == 4 ? 700 : 30000;
                    const std::size_t count = frames * channels;
                    const int scale = bits == 8 ? 100 : 20000;
                    std::vector<int> values(count);
                    for (std::size_t i = 0; i < count; ++i)  // positive all along for shape 3
                        values[i] = shape == 3 ? 1 + static_cast<int>(random() % 50)
                                               : static_cast<int>(scale / 4 * std::sin(i * 0.05)) + static_cast<int>(random() % 9) - 4;
                    const std::size_t peakAt = shape == 0 ? 37 : shape == 2 ? count - 5 : count / 2 + 11;
                    values[peakAt] = shape == 3 ? 60 : scale;
                    CapturingMessageSink sink;
                    CTonmiraDoc in(sink), copy(sink);
                    std::vector<BYTE> bytes(count * bits / 8);
                    for (std::size_t i = 0; i < count; ++i) {
                        if (bits == 8)
                            bytes[i] = static_cast<BYTE>(128 + values[i]);
                        else
                            StoreS16(bytes.data(), i, values[i]);
                    }
                    for (CTonmiraDoc* doc : {&in, &copy})
                        test::LoadTakeBytes(*doc, bytes, static_cast<WORD>(channels), static_cast<WORD>(bits), rate);
                    CollectSettings settings;
                    settings.m_bAlwaysMax = alwaysMax;
                    settings.m_nAmpFactor = 3;
                    const std::vector<BYTE> before(copy.m_pData, copy.m_pData + count * bits / 8);
                    const EventFigures a = AnalyseEvent(in, settings, fft, spectrumIn.data(), 5, true);
                    const EventFigures b = AnalyseEvent(copy, settings, fft, spectrumCopy.data(), 5, false);
                    SCOPED_TRACE(testing::Message() << bits << " bits, " << channels << " channels, shape " << shape
                                                    << ", always max " << alwaysMax);
                    EXPECT_EQ(a.m_nPeak, b.m_nPeak);
                    EXPECT_EQ(a.m_nWindowStart, b.m_nWindowStart);
                    EXPECT_EQ(a.m_nIntegration100, b.m_nIntegration100);
                    EXPECT_EQ(a.m_nPoints100, b.m_nPoints100);
                    EXPECT_EQ(a.m_nSpectrumMax, b.m_nSpectrumMax);
                    EXPECT_EQ(std::isnan(a.m_fStdDev), std::isnan(b.m_fStdDev));
                    if (!std::isnan(a.m_fStdDev)) {
                        EXPECT_EQ(a.m_fStdDev, b.m_fStdDev);
                    }
                    EXPECT_EQ(a.m_bAccepted, b.m_bAccepted);
                    EXPECT_EQ(spectrumIn, spectrumCopy);
                    fastPaths += std::equal(before.begin(), before.end(), copy.m_pData);
                }
            }
        }
    }
    // The take stayed as it was wherever the window lay in the copy: all but the long walks and
    // the stereo takes with the peak at the end, whose window start (a sample index) is limited
    // by the last start counted in frames, which lies far before the copy.
    EXPECT_EQ(fastPaths, 2 * 2 * 4 * 2 - 2 * 2);
}
