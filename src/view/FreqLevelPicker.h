#pragma once
// The working part of the detection-level window: its level slider (0..50) sets the detection
// level and re-picks the fundamentals of the analysis' last picked spectrum, with its own maximum
// and its own group tables, leaving the analysis' tables untouched.
#include <optional>

#include "dsp/Fundamentals.h"

namespace tonmira {
class WindowAnalysis;
}

namespace tonmira::view {

class FreqLevelPicker {
public:
    FreqLevelPicker();

    // Slider moved to level: the analysis picks at it from now on (also the collection). Returns
    // the five boxes to show, or nothing when the analysis holds no pick since its spectrum
    // buffer was last (re)made.
    std::optional<FundamentalBoxes> OnLevelChanged(int level, WindowAnalysis& analysis);

    int m_nMax = 0;
    int m_peakGroupScore[kPeakGroupCount];
    double m_peakGroupFreq[kPeakGroupCount][kPeakGroupSlots];
};

}  // namespace tonmira::view
