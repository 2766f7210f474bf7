#include "dsp/DetectionMetrics.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace tonmira {

namespace {

struct BandTest {
    double low;
    double high;
    double exclude;
    bool InBand(double c) const { return low <= c && c <= high; }
    bool AboveExclusion(double c) const { return c > exclude; }
};

BandTest MakeBandTest(int rate, const MetricsBand& band)
{
    const int r = rate / 2;
    return {static_cast<double>(band.m_nBandLowHz),
            static_cast<double>(band.m_nBandHighHz != 0 ? band.m_nBandHighHz : r),
            static_cast<double>(band.m_nExcludeHz)};
}

struct BandSpread {
    int above = 0;      // bins of the band at or above the mean
    float sumsq = 0.0f;  // their squared deviations from the mean, summed
};

// The second pass of both measures, over the band of the spectrum scaled by `scale`.
BandSpread MeasureBandSpread(const int* spectrum, int fftSize, int rate, const BandTest& test, float scale, float mean)
{
    BandSpread spread;
    for (int i = 1; i < fftSize / 2; ++i) {
        if (!test.InBand(BinCentreHz(i, fftSize, rate)))
            continue;
        const float v = static_cast<float>(spectrum[i]) * scale;
        if (v >= mean)
            ++spread.above;
        spread.sumsq += (v - mean) * (v - mean);
    }
    return spread;
}

std::string FormatFinite(const char* format, float value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, std::isfinite(value) ? static_cast<double>(value) : 0.0);
    return text;
}

}  // namespace

double BinCentreHz(int bin, int fftSize, int rate)
{
    // The edge products are whole numbers; only the divisions are in floating point.
    const long long r = rate / 2;
    const double h = fftSize / 2;
    const double lower = static_cast<double>(bin * r) / h;
    const double upper = static_cast<double>((bin + 1LL) * r) / h;
    return (lower + upper) / 2.0;
}

DialogMetrics ComputeDialogMetrics(const int* spectrum, int fftSize, int rate, const MetricsBand& band)
{
    const int h = fftSize / 2;
    const BandTest test = MakeBandTest(rate, band);

    float total = 0.0f;
    float bandSum = 0.0f;
    int count = 0;
    int m = 0;
    for (int i = 1; i < h; ++i) {
        const double c = BinCentreHz(i, fftSize, rate);
        if (!test.AboveExclusion(c))
            continue;
        total += static_cast<float>(spectrum[i]);
        if (test.InBand(c)) {
            bandSum += static_cast<float>(spectrum[i]);
            ++count;
            if (spectrum[i] > m)
                m = spectrum[i];
        }
    }
    const float scale = 100000.0f / static_cast<float>(m);
    const float mean = (bandSum / static_cast<float>(count)) * scale;

    // This pass does not test the exclusion, so with an exclusion inside the band it sees
    // more bins than the count it divides by; that is how the dialog has always measured.
    const BandSpread spread = MeasureBandSpread(spectrum, fftSize, rate, test, scale, mean);

    DialogMetrics result;
    result.m_fIntegration = bandSum * 100.0f / total;
    result.m_fStdDev = std::sqrt(spread.sumsq / static_cast<float>(count));
    result.m_fAbove = static_cast<float>(spread.above) * 100.0f / static_cast<float>(count);
    return result;
}

DialogMetricsText FormatDialogMetrics(const DialogMetrics& metrics)
{
    return {FormatFinite("%5.2f", metrics.m_fIntegration), FormatFinite("%8.2f", metrics.m_fStdDev),
            FormatFinite("%5.2f", metrics.m_fAbove)};
}

bool CheckDialogBandEdges(const MetricsBand& band, int rate, std::string& message)
{
    const int nyquist = rate / 2;
    auto inRange = [nyquist](int hz) { return hz >= 0 && hz <= nyquist; };
    if (inRange(band.m_nBandLowHz) && inRange(band.m_nBandHighHz))
        return true;
    char text[128];
    std::snprintf(text, sizeof text, "%d 以上, %d 以下の値を入力してください！", 0, nyquist);
    message = text;
    return false;
}

CollectionMetrics ComputeCollectionMetrics(const int* spectrum, int fftSize, int rate,
                                           const CollectionMetricsInput& input)
{
    const int h = fftSize / 2;
    const BandTest test = MakeBandTest(rate, input.m_band);
    CollectionMetrics result;

    int spectrumMax = 0;
    float m = 0.0f;
    for (int i = 0; i < h; ++i) {
        if (spectrum[i] > spectrumMax)
            spectrumMax = spectrum[i];
        if (test.InBand(BinCentreHz(i, fftSize, rate)) && static_cast<float>(spectrum[i]) > m)
            m = static_cast<float>(spectrum[i]);
    }
    const int floor = input.m_nBits == 8 ? 100 : 50000;
    result.m_nSpectrumMax = spectrumMax < floor ? floor : spectrumMax;

    const int level = input.m_nDetectLevel;
    if (input.m_fIntegLow == 0.0f && input.m_fIntegHigh == 100.0f && level != 0) {
        result.m_bBandPeakTest = true;
        const unsigned threshold = static_cast<unsigned>(result.m_nSpectrumMax) / static_cast<unsigned>(level);
        for (int i = 1; i < h; ++i) {
            // A magnitude is never negative, so comparing it as unsigned is exact.
            if (spectrum[i] >= 0 && static_cast<unsigned>(spectrum[i]) > threshold &&
                test.InBand(BinCentreHz(i, fftSize, rate))) {
                result.m_bBandPeak = true;
                break;
            }
        }
    } else {
        float total = 0.0f;
        float bandSum = 0.0f;
        for (int i = 1; i < h; ++i) {
            const double c = BinCentreHz(i, fftSize, rate);
            if (!test.AboveExclusion(c))
                continue;
            total += static_cast<float>(spectrum[i]);
            if (test.InBand(c))
                bandSum += static_cast<float>(spectrum[i]);
        }
        if (total != 0.0f)
            result.m_nRatio100 = static_cast<int>(static_cast<double>(bandSum) * 10000.0 / total);
    }

    const float scale = 100000.0f / m;
    float bandSum2 = 0.0f;
    int count = 0;
    for (int i = 1; i < h; ++i) {
        if (test.InBand(BinCentreHz(i, fftSize, rate))) {
            bandSum2 += static_cast<float>(spectrum[i]) * scale;
            ++count;
        }
    }
    const float mean = bandSum2 / static_cast<float>(count);
    const BandSpread spread = MeasureBandSpread(spectrum, fftSize, rate, test, scale, mean);
    // Whole-number arithmetic: a float quotient could round up across a hundredth.
    if (count != 0)
        result.m_nAbove100 = static_cast<int>(static_cast<long long>(spread.above) * 10000 / count);
    result.m_fStdDev = std::sqrt(spread.sumsq / static_cast<float>(count));
    return result;
}

int TruncatedStdDev(float stdDev)
{
    if (std::isnan(stdDev))
        return 0;
    if (stdDev >= static_cast<float>(INT_MAX))
        return INT_MAX;
    if (stdDev <= static_cast<float>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(stdDev);
}

}  // namespace tonmira
