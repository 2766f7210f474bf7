#include "doc/TakeFigures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/SampleMath.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

int MeasureTakePeak(const CTonmiraDoc& doc)
{
    const std::size_t count = static_cast<std::size_t>(doc.m_nSamples) * doc.m_header.nChannels;
    return FindSamplePeak(doc.m_pData, count, doc.m_header.wBitsPerSample).m_nPeak;
}

std::string FormatTakeTime(UINT nSamples, UINT nRate)
{
    // 64 bits: a long take at a low rate exceeds 32 bits of milliseconds.
    unsigned long long t = 0;
    if (nRate != 0)
        t = static_cast<unsigned long long>(static_cast<double>(nSamples) / nRate * 1000.0);
    char text[48];
    std::snprintf(text, sizeof text, "%02llu:%02llu.%03llu", t / 60000, (t % 60000) / 1000, t % 1000);
    return text;
}

}  // namespace tonmira
