#include "collect/RangeExpansion.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "base/SampleMath.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

int RangeFullScale(int bits) { return bits == 8 ? 127 : 32767; }

int MeasureSamplePeak(const BYTE* data, std::size_t count, int bits)
{
    int peak = 0;
    if (!data)
        return 0;
    for (std::size_t i = 0; i < count; ++i) {
        int v = SampleAt(data, bits, i);
        int magnitude = v < 0 ? -v : v;
        if (magnitude > peak)
            peak = magnitude;
    }
    return peak;
}

void ScaleSamples(BYTE* data, std::size_t count, int bits, int level, int peak)
{
    if (peak == 0 || !data)
        return;
    // Level and peak are single-precision values; the product is formed in double, which
    // holds every sample x level exactly.
    const double ratioL = static_cast<float>(level);
    const double ratioP = static_cast<float>(peak);
    for (std::size_t i = 0; i < count; ++i) {
        if (bits == 8) {
            int x = data[i] - 128;
            data[i] = static_cast<BYTE>(128 + TruncClamp(x * ratioL / ratioP, -128, 127));
        } else {
            StoreS16(data, i, TruncClamp(SampleAt(data, 16, i) * ratioL / ratioP, -32768, 32767));
        }
    }
}

int RangeExpansionPeak(CTonmiraDoc& doc)
{
    if (doc.m_nPeak != 0)
        return doc.m_nPeak;
    std::size_t count = static_cast<std::size_t>(doc.m_nSamples) * doc.m_header.nChannels;
    doc.m_nPeak = MeasureSamplePeak(doc.m_pData, count, doc.m_header.wBitsPerSample);
    return doc.m_nPeak;
}

bool ExpandRange(CTonmiraDoc& doc, int peak, int level)
{
    if (level == peak)
        return false;
    std::size_t count = static_cast<std::size_t>(doc.m_nSamples) * doc.m_header.nChannels;
    ScaleSamples(doc.m_pData, count, doc.m_header.wBitsPerSample, level, peak);
    doc.m_nPeak = level;
    doc.SetModifiedFlag();
    doc.BuildMonoBuffer();
    if (doc.m_bReverse)
        doc.BuildReverseBuffer();
    return true;
}

}  // namespace tonmira
