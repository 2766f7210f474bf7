#pragma once
// The working part of the detection-level window: its level slider (0..50) re-picks the
// fundamentals of the spectrum the view handed over, with its own copies of N, rate and bits,
// its own maximum and its own group tables, leaving the view's tables untouched.
#include <optional>

#include "dsp/Fundamentals.h"

namespace tonmira {

class FreqLevelPicker {
public:
    FreqLevelPicker();

    // Slider moved to level. Returns the five boxes to show, or nothing when no spectrum has
    // been handed over since the spectrum buffer was last (re)made.
    std::optional<FundamentalBoxes> OnLevelChanged(int level);

    const int* m_pSpectrum = nullptr;  // the view's spectrum; null until the next pick
    int m_nFftSize = 0;
    int m_nRate = 0;
    int m_nBits = 16;
    int m_nLevel = 0;
    int m_nMax = 0;
    int m_peakGroupScore[kPeakGroupCount];
    double m_peakGroupFreq[kPeakGroupCount][kPeakGroupSlots];
};

}  // namespace tonmira
