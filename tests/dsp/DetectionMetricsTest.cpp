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

MetricsBand Band(int low, int high, int exclude)
{
    MetricsBand band;
    band.m_nBandLowHz = low;
    band.m_nBandHighHz = high;
    band.m_nExcludeHz = exclude;
    return band;
}

CollectionMetricsInput Collection(MetricsBand band, float integLow, float integHigh, int level, int bits = 16)
{
    CollectionMetricsInput input;
    input.m_band = band;
    input.m_nBits = bits;
    input.m_fIntegLow = integLow;
    input.m_fIntegHigh = integHigh;
    input.m_nDetectLevel = level;
    return input;
}

}  // namespace

TEST(DetectionMetrics, BinCentres)
{
    EXPECT_DOUBLE_EQ(BinCentreHz(1, 1024, 44100), 64.599609375);
    EXPECT_DOUBLE_EQ(BinCentreHz(3, kN, kRate), 224.0);
    // Odd rates: R is rate / 2 truncated.
    EXPECT_DOUBLE_EQ(BinCentreHz(0, kN, 1025), 32.0);
}

TEST(DetectionMetrics, DialogAllEnergyInOneBin)
{
    std::vector<int> s(8, 0);
    s[3] = 5000;
    // Bins 2..5 in band, nothing excluded.
    DialogMetrics m = ComputeDialogMetrics(s.data(), kN, kRate, Band(100, 400, 0));
    EXPECT_FLOAT_EQ(m.m_fIntegration, 100.0f);
    EXPECT_FLOAT_EQ(m.m_fAbove, 25.0f);  // the peak alone reaches the mean 100000 / 4
    EXPECT_NEAR(m.m_fStdDev, std::sqrt((75000.0 * 75000 + 3 * 25000.0 * 25000) / 4), 0.01);
    DialogMetricsText text = FormatDialogMetrics(m);
    EXPECT_EQ(text.m_strIntegration, "100.00");
    EXPECT_EQ(text.m_strStdDev, "43301.27");
    EXPECT_EQ(text.m_strAbove, "25.00");
}

TEST(DetectionMetrics, DialogEdgesInclusiveAndExclusionOnlyInFirstPass)
{
    std::vector<int> s = {1000, 10, 20, 30, 40, 50, 60, 70};
    // Band 160..288 holds bins 2, 3, 4; the exclusion at 160 drops bin 2 from the ratio,
    // the count and the mean, but the second pass still measures it.
    DialogMetrics m = ComputeDialogMetrics(s.data(), kN, kRate, Band(160, 288, 160));
    EXPECT_FLOAT_EQ(m.m_fIntegration, 28.0f);  // (30 + 40) / (30 + ... + 70); bin 0 never used
    const double mean = 35 * 2500.0;            // S = 100000 / 40
    EXPECT_FLOAT_EQ(m.m_fAbove, 50.0f);         // one of the three bins, divided by the count 2
    double sumsq = 0;
    for (double v : {50000.0, 75000.0, 100000.0})
        sumsq += (v - mean) * (v - mean);
    EXPECT_NEAR(m.m_fStdDev, std::sqrt(sumsq / 2), 0.01);

    // An upper edge of 0 means R; the same as giving 512.
    DialogMetrics zero = ComputeDialogMetrics(s.data(), kN, kRate, Band(100, 0, 0));
    DialogMetrics full = ComputeDialogMetrics(s.data(), kN, kRate, Band(100, 512, 0));
    EXPECT_EQ(zero.m_fIntegration, full.m_fIntegration);
    EXPECT_EQ(zero.m_fStdDev, full.m_fStdDev);
    EXPECT_EQ(zero.m_fAbove, full.m_fAbove);
    EXPECT_FLOAT_EQ(full.m_fIntegration, 270.0f * 100 / 280);  // bin 1 (centre 96) is below 100
}

TEST(DetectionMetrics, DialogShowsZeroWhereNothingCanBeComputed)
{
    std::vector<int> s = {0, 10, 20, 30, 40, 50, 60, 70};
    // No centre lies in 500..510.
    DialogMetricsText empty = FormatDialogMetrics(ComputeDialogMetrics(s.data(), kN, kRate, Band(500, 510, 0)));
    EXPECT_EQ(empty.m_strIntegration, " 0.00");
    EXPECT_EQ(empty.m_strStdDev, "    0.00");
    EXPECT_EQ(empty.m_strAbove, " 0.00");
    // All magnitudes zero: no sum, no band peak.
    std::vector<int> silent(8, 0);
    DialogMetrics m = ComputeDialogMetrics(silent.data(), kN, kRate, Band(0, 0, 0));
    EXPECT_TRUE(std::isnan(m.m_fIntegration));
    DialogMetricsText text = FormatDialogMetrics(m);
    EXPECT_EQ(text.m_strIntegration, " 0.00");
    EXPECT_EQ(text.m_strStdDev, "    0.00");
    EXPECT_EQ(text.m_strAbove, " 0.00");
}

TEST(DetectionMetrics, CollectionRatioMeanAndPoints)
{
    std::vector<int> s = {1000, 10, 20, 30, 40, 50, 60, 70};
    // Bounds 0..99.5 keep the ratio; the exclusion affects only the ratio.
    CollectionMetrics m = ComputeCollectionMetrics(s.data(), kN, kRate, Collection(Band(160, 288, 160), 0.0f, 99.5f, 5));
    EXPECT_FALSE(m.m_bBandPeakTest);
    EXPECT_EQ(m.m_nRatio100, 2800);
    EXPECT_EQ(m.m_nSpectrumMax, 50000);  // floor of a 16-bit take
    EXPECT_EQ(m.m_nAbove100, 6666);      // 2 of 3, truncated
    EXPECT_NEAR(m.m_fStdDev, std::sqrt(2 * 25000.0 * 25000 / 3), 0.01);
    EXPECT_EQ(TruncatedStdDev(m.m_fStdDev), 20412);

    // The maximum M includes bin 0 here, unlike the dialog.
    std::vector<int> loud = {200000, 100000, 0, 0, 0, 0, 0, 0};
    CollectionMetrics c = ComputeCollectionMetrics(loud.data(), kN, kRate, Collection(Band(0, 0, 0), 0.0f, 50.0f, 0));
    EXPECT_EQ(c.m_nSpectrumMax, 200000);
    EXPECT_EQ(c.m_nRatio100, 10000);
    EXPECT_EQ(c.m_nAbove100, 1428);  // one of seven at or above 50000 / 7
    DialogMetrics d = ComputeDialogMetrics(loud.data(), kN, kRate, Band(0, 0, 0));
    EXPECT_NEAR(d.m_fStdDev, std::sqrt((std::pow(100000 - 100000.0 / 7, 2) + 6 * std::pow(100000.0 / 7, 2)) / 7), 0.05);
    EXPECT_NEAR(c.m_fStdDev, d.m_fStdDev / 2, 0.05);

    // A ratio of 12.99 % is 1299 hundredths.
    std::vector<int> part = {0, 1299, 0, 0, 0, 0, 0, 8701};
    EXPECT_EQ(ComputeCollectionMetrics(part.data(), kN, kRate, Collection(Band(0, 200, 0), 0.0f, 99.0f, 5)).m_nRatio100, 1299);
}

TEST(DetectionMetrics, CollectionBandPeakTest)
{
    // Quiet 16-bit spectrum: judged against the floor 50000, so level 5 needs > 10000.
    std::vector<int> s = {0, 10000, 0, 0, 0, 0, 20000, 0};
    MetricsBand lowBand = Band(0, 200, 0);  // bins 0, 1 and 2
    CollectionMetrics m = ComputeCollectionMetrics(s.data(), kN, kRate, Collection(lowBand, 0.0f, 100.0f, 5));
    EXPECT_TRUE(m.m_bBandPeakTest);
    EXPECT_FALSE(m.m_bBandPeak);  // 10000 is not above 10000; 20000 is out of band
    EXPECT_EQ(m.m_nRatio100, 0);
    s[1] = 10001;
    EXPECT_TRUE(ComputeCollectionMetrics(s.data(), kN, kRate, Collection(lowBand, 0.0f, 100.0f, 5)).m_bBandPeak);
    // Bin 0 never counts for the test.
    std::vector<int> dc = {60000, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(ComputeCollectionMetrics(dc.data(), kN, kRate, Collection(lowBand, 0.0f, 100.0f, 5)).m_bBandPeak);
    // Level 0 turns the test off and the ratio is computed.
    CollectionMetrics off = ComputeCollectionMetrics(s.data(), kN, kRate, Collection(lowBand, 0.0f, 100.0f, 0));
    EXPECT_FALSE(off.m_bBandPeakTest);
    EXPECT_EQ(off.m_nRatio100, 3333);
    // 8-bit floor is 100: level 5 needs > 20.
    std::vector<int> small = {0, 21, 0, 0, 0, 0, 0, 0};
    CollectionMetrics eight = ComputeCollectionMetrics(small.data(), kN, kRate, Collection(lowBand, 0.0f, 100.0f, 5, 8));
    EXPECT_EQ(eight.m_nSpectrumMax, 100);
    EXPECT_TRUE(eight.m_bBandPeak);
}

TEST(DetectionMetrics, CollectionEmptyOrSilentBand)
{
    std::vector<int> s = {0, 10, 20, 30, 40, 50, 60, 70};
    for (MetricsBand band : {Band(500, 510, 0), Band(0, 0, 0)}) {
        std::vector<int> input = band.m_nBandLowHz == 500 ? s : std::vector<int>(8, 0);
        CollectionMetrics m = ComputeCollectionMetrics(input.data(), kN, kRate, Collection(band, 0.0f, 99.0f, 5));
        EXPECT_EQ(m.m_nRatio100, 0);
        EXPECT_EQ(m.m_nAbove100, 0);
        EXPECT_TRUE(std::isnan(m.m_fStdDev));  // so an active condition on it fails
        EXPECT_EQ(TruncatedStdDev(m.m_fStdDev), 0);
    }
    EXPECT_EQ(TruncatedStdDev(1e20f), 2147483647);
    EXPECT_EQ(TruncatedStdDev(99.99f), 99);
}
