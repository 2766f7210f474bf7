#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/DetectionMetrics.h"

using namespace tonmira;

namespace {

// Rate 1024 and N = 16: R = 512, H = 8, bin i has its centre at 64 i + 32 Hz, so band
// edges can fall exactly on centres (96, 160, 224, 288, 352, 416, 480 for bins 1..7).
constexpr int kRate = 1024;
constexpr int kN = 16;

MetricsBand Band(int low, int high, int exclude) { return {low, high, exclude}; }

CollectionMetrics Collect(const std::vector<int>& s, MetricsBand band, float integHigh, int level, int bits = 16)
{
    CollectionMetricsInput input;
    input.m_band = band;
    input.m_nBits = bits;
    input.m_fIntegHigh = integHigh;
    input.m_nDetectLevel = level;
    return ComputeCollectionMetrics(s.data(), kN, kRate, input);
}

}  // namespace

TEST(DetectionMetrics, DialogAllEnergyInOneBin)
{
    EXPECT_DOUBLE_EQ(BinCentreHz(1, 1024, 44100), 64.599609375);
    std::vector<int> s(8, 0);
    s[3] = 5000;
    // Bins 2..5 in band: the peak alone reaches the mean 100000 / 4.
    DialogMetricsText text = FormatDialogMetrics(ComputeDialogMetrics(s.data(), kN, kRate, Band(100, 400, 0)));
    EXPECT_EQ(text.m_strIntegration, "100.00");
    EXPECT_EQ(text.m_strStdDev, "43301.27");  // sqrt((75000^2 + 3 x 25000^2) / 4)
    EXPECT_EQ(text.m_strAbove, "25.00");
}

TEST(DetectionMetrics, DialogEdgesInclusiveAndExclusionOnlyInFirstPass)
{
    std::vector<int> s = {1000, 10, 20, 30, 40, 50, 60, 70};
    // Band 160..288 holds bins 2, 3, 4; the exclusion at 160 drops bin 2 from the ratio,
    // the count and the mean, but the second pass still measures it. Bin 0 is never used.
    DialogMetrics m = ComputeDialogMetrics(s.data(), kN, kRate, Band(160, 288, 160));
    EXPECT_FLOAT_EQ(m.m_fIntegration, 28.0f);  // (30 + 40) / (30 + ... + 70)
    EXPECT_FLOAT_EQ(m.m_fAbove, 50.0f);         // one of three bins, divided by the count 2
    const double mean = 35 * 2500.0;            // S = 100000 / 40
    double sumsq = 0;
    for (double v : {50000.0, 75000.0, 100000.0})
        sumsq += (v - mean) * (v - mean);
    EXPECT_NEAR(m.m_fStdDev, std::sqrt(sumsq / 2), 0.01);

    // An upper edge of 0 means R.
    DialogMetrics zero = ComputeDialogMetrics(s.data(), kN, kRate, Band(100, 0, 0));
    DialogMetrics full = ComputeDialogMetrics(s.data(), kN, kRate, Band(100, 512, 0));
    EXPECT_FLOAT_EQ(zero.m_fIntegration, 270.0f * 100 / 280);  // bin 1 (centre 96) is below 100
    EXPECT_EQ(zero.m_fStdDev, full.m_fStdDev);
    EXPECT_EQ(zero.m_fAbove, full.m_fAbove);
}

TEST(DetectionMetrics, DialogShowsZeroWhereNothingCanBeComputed)
{
    std::vector<int> s = {0, 10, 20, 30, 40, 50, 60, 70};
    std::vector<int> silent(8, 0);
    // No centre in 500..510; an all-zero spectrum has no sum and no band peak.
    for (const auto* spectrum : {&s, &silent}) {
        DialogMetrics m = ComputeDialogMetrics(spectrum->data(), kN, kRate, Band(spectrum == &s ? 500 : 0, 510, 0));
        EXPECT_FALSE(std::isfinite(m.m_fStdDev));
        DialogMetricsText text = FormatDialogMetrics(m);
        EXPECT_EQ(text.m_strIntegration, " 0.00");
        EXPECT_EQ(text.m_strStdDev, "    0.00");
        EXPECT_EQ(text.m_strAbove, " 0.00");
    }
}

TEST(DetectionMetrics, CollectionRatioMeanAndPoints)
{
    std::vector<int> s = {1000, 10, 20, 30, 40, 50, 60, 70};
    // Bounds 0..99.5 keep the ratio; the exclusion affects only the ratio.
    CollectionMetrics m = Collect(s, Band(160, 288, 160), 99.5f, 5);
    EXPECT_FALSE(m.m_bBandPeakTest);
    EXPECT_EQ(m.m_nRatio100, 2800);
    EXPECT_EQ(m.m_nSpectrumMax, 50000);  // floor of a 16-bit take
    EXPECT_EQ(m.m_nAbove100, 6666);      // 2 of 3, truncated
    EXPECT_EQ(static_cast<int>(m.m_fStdDev), 20412);  // sqrt(2 x 25000^2 / 3)

    // Here M includes bin 0, unlike the dialog's: the normalised spread halves.
    std::vector<int> loud = {200000, 100000, 0, 0, 0, 0, 0, 0};
    CollectionMetrics c = Collect(loud, Band(0, 0, 0), 50.0f, 0);
    EXPECT_EQ(c.m_nSpectrumMax, 200000);
    EXPECT_EQ(c.m_nAbove100, 1428);  // one of seven at or above the mean
    EXPECT_NEAR(c.m_fStdDev, ComputeDialogMetrics(loud.data(), kN, kRate, Band(0, 0, 0)).m_fStdDev / 2, 0.05);

    // A ratio of 12.99 % is 1299 hundredths.
    std::vector<int> part = {0, 1299, 0, 0, 0, 0, 0, 8701};
    EXPECT_EQ(Collect(part, Band(0, 200, 0), 99.0f, 5).m_nRatio100, 1299);
}

TEST(DetectionMetrics, CollectionBandPeakTest)
{
    // Quiet 16-bit spectrum: judged against the floor 50000, so level 5 needs > 10000.
    std::vector<int> s = {60000, 10000, 0, 0, 0, 0, 20000, 0};
    MetricsBand band = Band(0, 200, 0);  // bins 0, 1 and 2; bin 0 never counts for the test
    CollectionMetrics m = Collect(s, band, 100.0f, 5);
    EXPECT_TRUE(m.m_bBandPeakTest);
    EXPECT_FALSE(m.m_bBandPeak);
    EXPECT_EQ(m.m_nRatio100, 0);
    s[1] = 12001;  // above 60000 / 5
    EXPECT_TRUE(Collect(s, band, 100.0f, 5).m_bBandPeak);
    // Level 0 turns the test off and the ratio is computed.
    CollectionMetrics off = Collect(s, band, 100.0f, 0);
    EXPECT_FALSE(off.m_bBandPeakTest);
    EXPECT_EQ(off.m_nRatio100, 3750);
    // 8-bit floor is 100: level 5 needs > 20.
    std::vector<int> small = {0, 21, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(Collect(small, band, 100.0f, 5, 8).m_bBandPeak);
}

TEST(DetectionMetrics, CollectionEmptyOrSilentBand)
{
    std::vector<int> s = {0, 10, 20, 30, 40, 50, 60, 70};
    for (const auto& [spectrum, band] : {std::pair{s, Band(500, 510, 0)}, {std::vector<int>(8, 0), Band(0, 0, 0)}}) {
        CollectionMetrics m = Collect(spectrum, band, 99.0f, 5);
        EXPECT_EQ(m.m_nRatio100, 0);
        EXPECT_EQ(m.m_nAbove100, 0);
        EXPECT_TRUE(std::isnan(m.m_fStdDev));  // so an active condition on it fails
    }
}
