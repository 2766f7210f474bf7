#include "collect/EventAnalysis.h"

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "collect/CollectSettings.h"
#include "base/SampleMath.h"
#include "doc/TonmiraDoc.h"
#include "dsp/DetectionMetrics.h"
#include "dsp/FftEngine.h"

namespace tonmira {

namespace {

// Four times full scale: the 16-bit factor mode divides down products beyond it.
constexpr std::int64_t kFactorLimit = 131068;

// Samples before the peak amplified with it, for the walk back to the zero crossing; a walk
// that needs more falls back to amplifying the whole take.
constexpr std::size_t kWalkBack = 8192;

// The window of a take that stays as it is: the samples from the zero crossing before the peak
// to the window's end are amplified in a copy, exactly as amplifying the take would make them,
// and fed from there. False (nothing fed, the take unchanged) when the window does not lie in
// that stretch; count > 0 and the figures' peak are set.
bool FeedAmplifiedWindow(EventFigures& figures, const CTonmiraDoc& doc, const CollectSettings& s, CFftEngine& fft,
                         std::size_t count, std::size_t last)
{
    const int bits = doc.m_header.wBitsPerSample;
    const int channels = doc.m_header.nChannels;
    const std::size_t bytesPerSample = bits == 8 ? 1 : 2;
    const std::size_t peakAt = figures.m_nPeakIndex;
    if (count == 0)
        return false;
    // A whole frame first, so that the copy's frames are the take's.
    std::size_t lo = peakAt > kWalkBack ? (peakAt - kWalkBack) / channels * channels : 0;
    const std::size_t hi = std::min(count, peakAt + static_cast<std::size_t>(fft.m_nSize) * channels);
    std::vector<BYTE> part(doc.m_pData + lo * bytesPerSample, doc.m_pData + hi * bytesPerSample);
    AmplifyEvent(part.data(), hi - lo, bits, s.m_bAlwaysMax, s.m_nAmpFactor, figures.m_nPeak);
    const std::size_t back = ZeroCrossingBefore(part.data(), bits, peakAt - lo);
    if (back == 0 && lo > 0)
        return false;  // the walk reached the copy's first sample: it might go on before it
    std::size_t start = lo + back;
    if (start > last)
        start = last;
    if (start < lo)
        return false;
    figures.m_nWindowStart = start;
    FeedEventWindow(fft, part.data(), doc.m_nSamples - static_cast<UINT>(lo / channels), channels, bits, start - lo);
    return true;
}

}  // namespace

void AmplifyEvent(BYTE* data, std::size_t count, int bits, int alwaysMax, int ampFactor, int peak)
{
    if (peak == 0 || !data)
        return;
    const double p = static_cast<float>(peak);
    const double f = ampFactor;
    if (bits == 8) {
        for (std::size_t i = 0; i < count; ++i) {
            int x = data[i] - 128;
            int y = alwaysMax == 1 ? TruncClamp(127.0 * x / p, -128, 127) : TruncClamp(f * x, -128, 127);
            data[i] = static_cast<BYTE>(128 + y);
        }
        return;
    }
    if (alwaysMax == 1) {
        // As TruncClamp, in the form the compiler vectorises: the value is finite (peak > 0), and
        // clamping before truncating gives the same integer.
        for (std::size_t i = 0; i < count; ++i) {
            const double v = SampleAt(data, 16, i) * 32767.0 / p;
            StoreS16(data, i, static_cast<int>(v < -32768.0 ? -32768.0 : (v > 32767.0 ? 32767.0 : v)));
        }
        return;
    }
    // F x P is an integer product; 64 bits keep a large factor from overflowing it.
    std::int64_t product = static_cast<std::int64_t>(ampFactor) * peak;
    double d = product > kFactorLimit ? static_cast<double>(product / kFactorLimit) : 1.0;
    for (std::size_t i = 0; i < count; ++i)
        StoreS16(data, i, TruncClamp(std::trunc(SampleAt(data, 16, i) * f) / d, -32768, 32767));
}

std::size_t ZeroCrossingBefore(const BYTE* data, int bits, std::size_t k)
{
    int first = SampleAt(data, bits, k);
    std::size_t i = k;
    if (first > 0) {
        while (i > 0 && SampleAt(data, bits, i) > 0)
            --i;
    } else if (first < 0) {
        while (i > 0 && SampleAt(data, bits, i) < 0)
            --i;
    }
    return i;
}

void FeedEventWindow(CFftEngine& fft, const BYTE* data, UINT frames, int channels, int bits, std::size_t start)
{
    const int n = fft.m_nSize;
    const std::size_t samples = static_cast<std::size_t>(frames) * channels;
    for (int i = 0; i < n; ++i) {
        int value = 0;
        if (channels == 2) {
            std::size_t f = start / 2 + static_cast<std::size_t>(i);
            if (f < frames) {
                int left = SampleAt(data, bits, 2 * f);
                int right = SampleAt(data, bits, 2 * f + 1);
                value = (left + right) / 2;  // integer division truncates toward zero
            }
        } else {
            std::size_t s = start + static_cast<std::size_t>(i);
            if (s < samples)
                value = SampleAt(data, bits, s);
        }
        fft.SetSample(i, static_cast<short>(value));
    }
}

void DecideEvent(EventFigures& figures, const CollectSettings& s)
{
    if (figures.m_bBandPeakTest) {
        figures.m_bIntegMet = figures.m_bBandPeak;
    } else {
        double q = figures.m_nIntegration100 / 100;  // whole percent, compared as a real
        figures.m_bIntegMet = s.m_fIntegLow <= q && q <= s.m_fIntegHigh;
    }
    double points = figures.m_nPoints100 / 100;
    figures.m_bPointsMet = s.m_fPointsLow <= points && points <= s.m_fPointsHigh;
    // Both bounds at or below 0 switch the test off; a NaN deviation fails an active test.
    if (s.m_fStdDevLow > 0 || s.m_fStdDevHigh > 0)
        figures.m_bStdDevMet = s.m_fStdDevLow <= figures.m_fStdDev && figures.m_fStdDev <= s.m_fStdDevHigh;
    else
        figures.m_bStdDevMet = true;
    figures.m_bAccepted = figures.AllConditionsMet() && figures.m_nPeak >= s.m_nPlayLevel;
}

EventFigures AnalyseEvent(CTonmiraDoc& doc, const CollectSettings& s, CFftEngine& fft, int* spectrum,
                          int detectLevel, bool amplifyTake)
{
    EventFigures figures;
    const int bits = doc.m_header.wBitsPerSample;
    const int channels = doc.m_header.nChannels;
    const int n = fft.m_nSize;
    const bool usable = doc.m_pData && (bits == 8 || bits == 16) && (channels == 1 || channels == 2);
    const std::size_t count = usable ? static_cast<std::size_t>(doc.m_nSamples) * channels : 0;

    SamplePeak peak = FindSamplePeak(doc.m_pData, count, bits);
    figures.m_nPeak = peak.m_nPeak;
    figures.m_nPeakIndex = peak.m_nIndex;
    // Keep the window inside the take; a take shorter than the window starts at 0.
    const std::size_t last = doc.m_nSamples > static_cast<UINT>(n) ? doc.m_nSamples - static_cast<UINT>(n) : 0;
    if (amplifyTake || !FeedAmplifiedWindow(figures, doc, s, fft, count, last)) {
        AmplifyEvent(doc.m_pData, count, bits, s.m_bAlwaysMax, s.m_nAmpFactor, peak.m_nPeak);
        std::size_t start = count > 0 ? ZeroCrossingBefore(doc.m_pData, bits, peak.m_nIndex) : 0;
        if (start > last)
            start = last;
        figures.m_nWindowStart = start;
        FeedEventWindow(fft, usable ? doc.m_pData : nullptr, usable ? doc.m_nSamples : 0, channels, bits, start);
    }
    fft.Transform(spectrum);

    CollectionMetricsInput input;
    input.m_band.m_nBandLowHz = s.m_nBandLowHz;
    input.m_band.m_nBandHighHz = s.m_nBandHighHz;
    input.m_band.m_nExcludeHz = s.m_nExcludeHz;
    input.m_nBits = bits;
    input.m_fIntegLow = s.m_fIntegLow;
    input.m_fIntegHigh = s.m_fIntegHigh;
    input.m_nDetectLevel = detectLevel;
    CollectionMetrics metrics =
        ComputeCollectionMetrics(spectrum, n, static_cast<int>(doc.m_header.nSamplesPerSec), input);
    figures.m_nDetectLevel = detectLevel;
    figures.m_nSpectrumMax = metrics.m_nSpectrumMax;
    figures.m_bBandPeakTest = metrics.m_bBandPeakTest;
    figures.m_bBandPeak = metrics.m_bBandPeak;
    figures.m_nIntegration100 = metrics.m_nRatio100;
    figures.m_nPoints100 = metrics.m_nAbove100;
    figures.m_fStdDev = metrics.m_fStdDev;
    DecideEvent(figures, s);
    return figures;
}

}  // namespace tonmira
