#pragma once
// Range expansion: rescales every sample of the take so that its peak becomes a chosen level,
// by default the quantisation maximum. UI thread, transport idle.
#include <cstddef>

#include "base/Types.h"

namespace tonmira {

class CTonmiraDoc;

// Quantisation maximum of a sample width: 32767 for 16-bit, 127 for 8-bit.
int RangeFullScale(int bits);

// Largest magnitude over count interleaved samples: |s| for 16-bit, |u - 128| for 8-bit.
int MeasureSamplePeak(const BYTE* data, std::size_t count, int bits);

// Scales count interleaved samples by level / peak in floating point, truncating toward zero and
// limiting to the sample range (-32768..32767, or 0..255 around 128). A peak of 0 (silence)
// leaves the samples as they are.
void ScaleSamples(BYTE* data, std::size_t count, int bits, int level, int peak);

// The peak the command starts from: m_nPeak, or, when it is 0, the measured peak of the take,
// which is then stored in m_nPeak. A stored peak is used even when it no longer matches the take.
int RangeExpansionPeak(CTonmiraDoc& doc);

// Expands the take from peak to level. Nothing happens, and false is returned, when level equals
// peak. Otherwise every sample is scaled, m_nPeak becomes level, the document is marked modified
// and its mono (and, with reverse on, reversed) buffer rebuilt; returns true.
bool ExpandRange(CTonmiraDoc& doc, int peak, int level);

// The slider of the level dialog runs 0..full scale from top to bottom; the level is
// full scale minus the position.
struct RangeSetup {
    int m_nPeakLevel = 0;
    int m_nFullScale = 32767;

    int SliderPosition() const { return m_nFullScale - m_nPeakLevel; }
    int TickFrequency() const { return m_nFullScale / 10; }
    void SetFromSlider(int position) { m_nPeakLevel = m_nFullScale - position; }
};

}  // namespace tonmira
