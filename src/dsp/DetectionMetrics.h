#pragma once
// The detection figures of a spectrum inside a frequency band: integration ratio, standard
// deviation of the band normalised to a band peak of 100000, and share of band bins at or
// above the mean. Two users compute them with small, deliberate differences: the
// detection-condition dialog (on the spectrum on screen) and the collection engine (on each
// event). Pure functions of their inputs; callable from any thread.
#include <string>

namespace tonmira {

// The band and exclusion of both variants, in Hz. bandHighHz 0 means up to rate / 2.
// A bin is in band when bandLowHz <= centre <= upper edge; it is above the exclusion when
// its centre > excludeHz.
struct MetricsBand {
    int m_nBandLowHz = 0;
    int m_nBandHighHz = 0;
    int m_nExcludeHz = 0;
};

// Centre frequency of bin i for rate and FFT size: the midpoint of its lower and upper edge.
double BinCentreHz(int bin, int fftSize, int rate);

// Dialog variant. Results are exact IEEE single-precision computations: an empty band, a band
// of zero magnitudes or a zero spectrum sum give NaN or infinity here; FormatDialogMetrics
// decides how they are shown.
struct DialogMetrics {
    float m_fIntegration = 0.0f;  // percent
    float m_fStdDev = 0.0f;
    float m_fAbove = 0.0f;        // percent
};

// spectrum holds fftSize / 2 magnitudes.
DialogMetrics ComputeDialogMetrics(const int* spectrum, int fftSize, int rate, const MetricsBand& band);

// The three result texts: "%5.2f", "%8.2f", "%5.2f". A value that is not a finite number
// (nothing to compute it from) is shown as 0 in its format.
struct DialogMetricsText {
    std::string m_strIntegration;
    std::string m_strStdDev;
    std::string m_strAbove;
};
DialogMetricsText FormatDialogMetrics(const DialogMetrics& metrics);

// The detection-condition dialog's check before it computes: both band edges within
// 0..rate / 2 (the exclusion is not checked). Otherwise message holds
// "%d 以上, %d 以下の値を入力してください！" with 0 and rate / 2.
bool CheckDialogBandEdges(const MetricsBand& band, int rate, std::string& message);

// Collection-engine variant.
struct CollectionMetricsInput {
    MetricsBand m_band;
    int m_nBits = 16;            // 16 or 8: the floor of the spectrum maximum (50000 or 100)
    float m_fIntegLow = 0.0f;    // integration condition bounds, percent
    float m_fIntegHigh = 100.0f;
    int m_nDetectLevel = 5;      // detection level L, 0..50
};

struct CollectionMetrics {
    int m_nSpectrumMax = 0;        // largest magnitude of all bins, raised to the floor
    bool m_bBandPeakTest = false;  // the band peak test replaced the ratio
    bool m_bBandPeak = false;      // its result: an in-band bin above m_nSpectrumMax / L
    int m_nRatio100 = 0;           // hundredths of a percent; 0 with the band peak test
    int m_nAbove100 = 0;           // hundredths of a percent
    float m_fStdDev = 0.0f;        // NaN for an empty band or a band of zero magnitudes
};

CollectionMetrics ComputeCollectionMetrics(const int* spectrum, int fftSize, int rate,
                                           const CollectionMetricsInput& input);

// The standard deviation as the whole number an event name carries: truncated toward zero;
// a NaN (no band to measure) gives 0 and a value beyond the int range is limited to it.
int TruncatedStdDev(float stdDev);

}  // namespace tonmira
