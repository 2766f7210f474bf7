#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "dsp/Fundamentals.h"

using namespace tonmira;

namespace {

// Picks and lists at 44100 Hz and N = 1024 (bins 43.07 Hz apart, T = 43) unless told
// otherwise. peaks maps bin -> magnitude; the spectrum is exactly N/2 long, so ASan sees
// any read past the last bin. Returns the boxes as "%5.1f" texts joined by spaces.
struct Pick {
    explicit Pick(const std::vector<int>& s, int level = 5, int fftSize = 1024, int rate = 44100, int bits = 16)
    {
        PickPeakGroups(s.data(), fftSize, rate, level, FlooredSpectrumMax(s.data(), fftSize, bits), score, freq);
        int copy[kPeakGroupCount];
        std::memcpy(copy, score, sizeof copy);
        boxes = ListFundamentals(copy, freq);
    }
    std::string Box(int b) const
    {
        std::string text;
        for (double f : boxes[b]) {
            if (!text.empty())
                text += ' ';
            text += FormatFundamental(f);
        }
        return text;
    }
    int score[kPeakGroupCount];
    double freq[kPeakGroupCount][kPeakGroupSlots];
    FundamentalBoxes boxes;
};

std::vector<int> Spectrum(const std::map<int, int>& peaks, int fftSize = 1024)
{
    std::vector<int> s(fftSize / 2, 0);
    for (auto [bin, magnitude] : peaks)
        s[bin] = magnitude;
    return s;
}

constexpr double kBinHz = 22050.0 / 512;

}  // namespace

TEST(Fundamentals, InterpolationPairsWithTheLargerNeighbourTiesRight)
{
    // 20000 is not above 100000 / 5 itself, so only bin 10 starts a climb.
    Pick equal(Spectrum({{9, 20000}, {10, 100000}, {11, 20000}}));
    ASSERT_EQ(equal.boxes[0].size(), 1u);
    EXPECT_DOUBLE_EQ(equal.boxes[0][0], (10 + 20000.0 / 120000) * kBinHz);
    EXPECT_EQ(equal.score[0], 100000);
    Pick left(Spectrum({{9, 30000}, {10, 100000}, {11, 20000}}));
    EXPECT_DOUBLE_EQ(left.boxes[0][0], (9 + 100000.0 / 130000) * kBinHz);
}

TEST(Fundamentals, HarmonicSeriesAndGroups)
{
    // 215.3, 430.7 and 646.0 Hz form one series; 990.5 Hz is 4.6 times the base, 86 Hz off
    // the 5th harmonic, and starts a group of its own, listed first as the strongest.
    auto s = Spectrum({{5, 80000}, {10, 60000}, {15, 40000}, {23, 90000}});
    Pick p(s);
    EXPECT_EQ(p.Box(0), "990.5");
    EXPECT_EQ(p.Box(1), "215.3 430.7 646.0");
    EXPECT_EQ(p.Box(2) + p.Box(3) + p.Box(4), "");
    EXPECT_EQ(p.score[0], 80000);
    // Level 0 picks nothing; level 1 only what exceeds the largest magnitude.
    EXPECT_TRUE(Pick(s, 0).boxes[0].empty());
    EXPECT_TRUE(Pick(s, 1).boxes[0].empty());

    // The 7th harmonic right after the base (2 x 1 < 7 - 1), or after the 2nd (2 x 2 < 6), is
    // refused and founds a group; after the 4th (2 x 4 >= 6) it joins.
    EXPECT_EQ(Pick(Spectrum({{5, 80000}, {35, 70000}})).Box(1), "1507.3");
    EXPECT_EQ(Pick(Spectrum({{5, 80000}, {10, 60000}, {35, 70000}})).Box(1), "1507.3");
    EXPECT_EQ(Pick(Spectrum({{5, 80000}, {10, 60000}, {20, 50000}, {35, 70000}})).Box(0), "215.3 430.7 861.3 1507.3");
    // The 5th after the 2nd is on the limit (2 x 2 = 5 - 1) and joins.
    EXPECT_EQ(Pick(Spectrum({{5, 80000}, {10, 60000}, {25, 70000}})).Box(0), "215.3 430.7 1076.7");

    // Equal scores list the lower group first.
    EXPECT_EQ(Pick(Spectrum({{5, 80000}, {23, 80000}})).Box(0), "215.3");
}

TEST(Fundamentals, ZeroToleranceGivesOneGroupPerPeakAndOnlySixteen)
{
    // N = 65536 at 44100 Hz: H = 32768 exceeds R, so T = 0 and no peak joins a series.
    std::map<int, int> peaks;
    for (int k = 1; k <= 20; ++k)
        peaks[100 * k] = 200000 - 1000 * k;
    Pick p(Spectrum(peaks, 65536), 5, 65536);
    for (int g = 0; g < kPeakGroupCount; ++g) {
        EXPECT_DOUBLE_EQ(p.freq[g][0], 100.0 * (g + 1) * 22050 / 32768) << g;
        EXPECT_EQ(p.freq[g][1], 0.0) << g;
    }
    EXPECT_EQ(p.Box(4), "336.5");
}

TEST(Fundamentals, QuietSpectrumJudgedAgainstTheFloor)
{
    // 10000 is exactly 50000 / 5, not above it.
    Pick p(Spectrum({{20, 10000}, {40, 10001}}));
    EXPECT_EQ(p.Box(0), "1722.7");
    EXPECT_EQ(p.Box(1), "");
    EXPECT_EQ(Pick(Spectrum({{40, 21}}), 5, 1024, 44100, 8).Box(0), "1722.7");  // 8-bit floor 100
}

TEST(Fundamentals, EndsOfTheSpectrumAreNeverReadPast)
{
    // N = 16 at 1600 Hz: 100 Hz per bin.
    std::vector<int> rising(8), falling(8);
    for (int i = 0; i < 8; ++i) {
        rising[i] = 60000 + 1000 * i;
        falling[i] = 100000 - 1000 * i;
    }
    // The climb stops at the last bin, which pairs with its left neighbour.
    Pick up(rising, 5, 16, 1600);
    ASSERT_EQ(up.boxes[0].size(), 1u);
    EXPECT_DOUBLE_EQ(up.boxes[0][0], (6 + 67000.0 / 133000) * 100);
    // A peak at bin 0 pairs to the right.
    Pick down(falling, 5, 16, 1600);
    ASSERT_EQ(down.boxes[0].size(), 1u);
    EXPECT_DOUBLE_EQ(down.boxes[0][0], 99000.0 / 199000 * 100);
    EXPECT_EQ(Pick(std::vector<int>(8, 70000), 5, 16, 1600).boxes[0].size(), 1u);
    EXPECT_EQ(Pick(Spectrum({{5, 90000}, {7, 80000}}, 16), 5, 16, 1600).boxes[0].size(), 1u);
}
