#include "view/FreqLevelPicker.h"

#include "dsp/WindowAnalysis.h"

namespace tonmira::view {

FreqLevelPicker::FreqLevelPicker()
{
    PickPeakGroups(nullptr, 0, 0, 0, 0, m_peakGroupScore, m_peakGroupFreq);  // clears the tables
}

std::optional<FundamentalBoxes> FreqLevelPicker::OnLevelChanged(int level, WindowAnalysis& analysis)
{
    analysis.m_nDetectLevel = level;
    const int* spectrum = analysis.PickedSpectrum();
    const int n = analysis.m_nFftSize;
    if (!spectrum || n < 2)
        return std::nullopt;
    m_nMax = FlooredSpectrumMax(spectrum, n, analysis.PickedBits());
    PickPeakGroups(spectrum, n, analysis.PickedRate(), level, m_nMax, m_peakGroupScore, m_peakGroupFreq);
    return ListFundamentals(m_peakGroupScore, m_peakGroupFreq);
}

}  // namespace tonmira::view
