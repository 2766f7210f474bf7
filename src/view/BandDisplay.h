#pragma once
// What the window shows of the analysis beyond the analysis itself: the displayed frequency range
// (the minimum and maximum edits) and the detection-level window's own pick. The view core owns
// it; the analysis below knows nothing of either.
#include "view/FreqLevelPicker.h"

namespace tonmira::view {

struct BandDisplay {
    // A take opened or the recording rate changed: the whole band 0 .. rate / 2.
    void ShowWholeBand(unsigned rate)
    {
        m_nMinFreq = 0;
        m_nMaxFreq = static_cast<int>(rate / 2);
    }

    int m_nMaxFreq = 0;
    int m_nMinFreq = 0;
    FreqLevelPicker m_freqLevel;
};

}  // namespace tonmira::view
