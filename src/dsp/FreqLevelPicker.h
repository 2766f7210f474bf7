#pragma once
// The working part of the detection-level window: its level slider (0..50) re-picks the
// fundamentals of the spectrum the view handed over, with its own copies of rate and bits,
// its own maximum and its own group tables, leaving the view's tables untouched. N is the
// view's (WindowAnalysis::m_nFftSize): a new N withdraws the spectrum, so a spectrum held here
// always has N / 2 magnitudes.
#include <optional>

#include "dsp/Fundamentals.h"

namespace tonmira {

class FreqLevelPicker {
public:
    FreqLevelPicker();

    // Slider moved to level; fftSize is the view's N. Returns the five boxes to show, or
    // nothing when no spectrum has been handed over since the spectrum buffer was last (re)made.
    std::optional<FundamentalBoxes> OnLevelChanged(int level, int fftSize);

    const int* m_pSpectrum = nullptr;  // the view's spectrum; null until the next pick
    int m_nRate = 0;
    int m_nBits = 16;
    int m_nLevel = 0;
    int m_nMax = 0;
    int m_peakGroupScore[kPeakGroupCount];
    double m_peakGroupFreq[kPeakGroupCount][kPeakGroupSlots];
};

}  // namespace tonmira
