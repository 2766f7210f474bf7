#pragma once
// The fixed analysis of one collected event: its peak, amplification of the take in place, one
// FFT window starting at the zero crossing before the peak, the detection figures of that
// spectrum and the verdicts against the collection conditions.
// Pure computation on the arguments: safe on the collection worker thread as long as nothing
// else uses the same document, engine or spectrum meanwhile.
#include <cstddef>

#include "base/SampleMath.h"
#include "base/Types.h"

namespace tonmira {

class CFftEngine;
class CTonmiraDoc;
struct CollectSettings;


// Amplifies count interleaved samples in place, given the peak P found before.
// alwaysMax (exactly 1) scales P to full scale; otherwise samples are multiplied by ampFactor
// (16-bit: divided by d = trunc(F x P / 131068) when F x P exceeds 131068, so four times full
// scale is the most a factor can reach). Results are truncated toward zero and limited to the
// sample range. P = 0 leaves the samples unchanged.
void AmplifyEvent(BYTE* data, std::size_t count, int bits, int alwaysMax, int ampFactor, int peak);

// Walks back from sample k over interleaved samples while they keep the sign of sample k;
// returns the first sample of the other sign (or 0 for that sign, or index 0). A zero sample
// k does not move.
std::size_t ZeroCrossingBefore(const BYTE* data, int bits, std::size_t k);

// Feeds the engine one window of N values from interleaved sample index start (already limited
// by the caller): mono as is, stereo as the truncated mean of a frame's two channels, 8-bit
// centred on 128. Inputs past the end of the take are fed as 0.
void FeedEventWindow(CFftEngine& fft, const BYTE* data, UINT frames, int channels, int bits, std::size_t start);

struct EventFigures {
    int m_nPeak = 0;                  // before amplification
    std::size_t m_nPeakIndex = 0;
    std::size_t m_nWindowStart = 0;   // interleaved sample index
    int m_nIntegration100 = 0;        // hundredths of a percent; 0 with the band peak test
    int m_nPoints100 = 0;             // hundredths of a percent
    float m_fStdDev = 0.0f;           // NaN for an empty band or one of zero magnitudes
    int m_nSpectrumMax = 0;           // the floored spectrum maximum, for the view
    int m_nDetectLevel = 0;           // the level used, for the view
    bool m_bBandPeakTest = false;     // the integration condition was the band peak test
    bool m_bBandPeak = false;         // its result
    bool m_bIntegMet = false;
    bool m_bPointsMet = false;
    bool m_bStdDevMet = false;
    bool m_bAccepted = false;         // all three met and P >= the play level

    bool AllConditionsMet() const { return m_bIntegMet && m_bPointsMet && m_bStdDevMet; }
};

// Runs the whole analysis on the document's take: amplifies it in place and leaves the event's
// spectrum (fft.m_nSize / 2 ints) in spectrum. The engine must be initialised. A take of fewer
// than N frames is analysed from its start, padded with silence. amplifyTake false: the take
// may stay as it is (only the stretch the window is taken from is amplified, in a copy), for a
// caller that neither keeps nor plays it afterwards; the figures are the same.
EventFigures AnalyseEvent(CTonmiraDoc& doc, const CollectSettings& settings, CFftEngine& fft, int* spectrum,
                          int detectLevel, bool amplifyTake = true);

// The three verdicts and acceptance from the figures already computed (steps after the metrics).
void DecideEvent(EventFigures& figures, const CollectSettings& settings);

}  // namespace tonmira
