#include "doc/TakeFigures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "doc/TonmiraDoc.h"

namespace tonmira {

int MeasureTakePeak(const CTonmiraDoc& doc)
{
    if (!doc.m_pData)
        return 0;
    const std::size_t count = static_cast<std::size_t>(doc.m_nSamples) * doc.m_header.nChannels;
    int peak = 0;
    if (doc.m_header.wBitsPerSample == 16) {
        for (std::size_t i = 0; i < count; ++i) {
            std::int16_t s;
            std::memcpy(&s, doc.m_pData + 2 * i, sizeof s);
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        }
    } else {
        for (std::size_t i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(doc.m_pData[i]) - 128));
    }
    return peak;
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
