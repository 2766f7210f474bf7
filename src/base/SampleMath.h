#pragma once
// Sample reads, writes and the clamped conversion shared by the event analysis and the range
// expansion: 8-bit samples are offset binary, 16-bit ones little-endian two's complement.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "base/Types.h"

namespace tonmira {

// Sample i (counted in samples, not bytes) as a signed value.
inline int SampleAt(const BYTE* data, int bits, std::size_t i)
{
    if (bits == 8)
        return data[i] - 128;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(data[2 * i] | (data[2 * i + 1] << 8)));
}

// Writes v (already within -32768..32767) as 16-bit sample i.
inline void StoreS16(BYTE* data, std::size_t i, int v)
{
    auto u = static_cast<std::uint16_t>(v);
    data[2 * i] = static_cast<BYTE>(u & 0xFF);
    data[2 * i + 1] = static_cast<BYTE>(u >> 8);
}

// trunc toward zero, limited to lo..hi before converting (an out-of-range float-to-int
// conversion is undefined); NaN gives lo.
inline int TruncClamp(double v, int lo, int hi)
{
    v = std::trunc(v);
    if (!(v >= lo))
        return lo;
    if (v > hi)
        return hi;
    return static_cast<int>(v);
}

}  // namespace tonmira
