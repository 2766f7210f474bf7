#include "dsp/FreqLevelPicker.h"

namespace tonmira {

FreqLevelPicker::FreqLevelPicker()
{
    PickPeakGroups(nullptr, 0, 0, 0, 0, m_peakGroupScore, m_peakGroupFreq);  // clears the tables
}

std::optional<FundamentalBoxes> FreqLevelPicker::OnLevelChanged(int level, int fftSize)
{
    m_nLevel = level;
    if (!m_pSpectrum || fftSize < 2)
        return std::nullopt;
    m_nMax = FlooredSpectrumMax(m_pSpectrum, fftSize, m_nBits);
    PickPeakGroups(m_pSpectrum, fftSize, m_nRate, m_nLevel, m_nMax, m_peakGroupScore, m_peakGroupFreq);
    return ListFundamentals(m_peakGroupScore, m_peakGroupFreq);
}

}  // namespace tonmira
