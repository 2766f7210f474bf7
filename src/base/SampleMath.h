#pragma once
// The one sample codec of the program, with the one peak scan and the clamped conversion: 8-bit
// samples are offset binary, 16-bit ones little-endian two's complement, at any alignment.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/Types.h"

namespace tonmira {

// The 16-bit sample whose two bytes start at p.
inline int ReadS16(const BYTE* p)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::int16_t s;  // one unaligned load, which the compiler can vectorise
        std::memcpy(&s, p, sizeof s);
        return s;
    } else {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
    }
}

// Sample i (counted in samples, not bytes) as a signed value.
inline int SampleAt(const BYTE* data, int bits, std::size_t i)
{
    if (bits == 8)
        return data[i] - 128;
    return ReadS16(data + 2 * i);
}

// P and k of count samples: the largest magnitude (|s|, or |u - 128| for 8 bits) and the index
// of the first sample holding it. {0, 0} without data.
struct SamplePeak {
    int m_nPeak = 0;
    std::size_t m_nIndex = 0;
};

namespace detail {

// The loudest magnitude of count samples. The smallest and the largest sample are kept in the
// samples' own width, which the compiler vectorises many samples to an instruction; the magnitude
// is max(largest, -smallest) (for 8 bits around 128).
template <int Bits>
int LoudestOf(const BYTE* data, std::size_t count)
{
    if constexpr (Bits == 8) {
        BYTE lo = 255, hi = 0;
        for (std::size_t k = 0; k < count; ++k) {
            lo = data[k] < lo ? data[k] : lo;
            hi = data[k] > hi ? data[k] : hi;
        }
        return count ? std::max(hi - 128, 128 - lo) : 0;
    } else {
        std::int16_t lo = 32767, hi = -32768;
        for (std::size_t k = 0; k < count; ++k) {
            const auto v = static_cast<std::int16_t>(ReadS16(data + 2 * k));
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
        return count ? std::max<int>(hi, -int(lo)) : 0;
    }
}

template <int Bits>
SamplePeak FindSamplePeak(const BYTE* data, std::size_t count)
{
    // The peak first, then the first sample that reaches it: two scans that vectorise beat one
    // that branches on every sample.
    SamplePeak peak;
    peak.m_nPeak = LoudestOf<Bits>(data, count);
    if (peak.m_nPeak == 0)
        return peak;
    for (std::size_t i = 0; i < count; ++i) {
        const int v = Bits == 8 ? data[i] - 128 : ReadS16(data + 2 * i);
        if ((v < 0 ? -v : v) == peak.m_nPeak) {
            peak.m_nIndex = i;
            break;
        }
    }
    return peak;
}

template <int Bits>
bool HasSampleAtLeast(const BYTE* data, std::size_t count, int level)
{
    // Block by block, so that the scan still stops soon after the first loud sample.
    constexpr std::size_t kBlock = 256;
    for (std::size_t i = 0; i < count; i += kBlock) {
        const std::size_t n = std::min(kBlock, count - i);
        if (LoudestOf<Bits>(data + (Bits == 8 ? i : 2 * i), n) >= level)
            return true;
    }
    return false;
}

}  // namespace detail

// The largest magnitude (|s|, or |u - 128| for 8 bits) and the index of the first sample holding
// it; {0, 0} without data. Anything but 8 bits is read as 16.
inline SamplePeak FindSamplePeak(const BYTE* data, std::size_t count, int bits)
{
    if (!data)
        return SamplePeak{};
    return bits == 8 ? detail::FindSamplePeak<8>(data, count) : detail::FindSamplePeak<16>(data, count);
}

// True when one of count samples has a magnitude (as in FindSamplePeak) of at least level.
inline bool HasSampleAtLeast(const BYTE* data, std::size_t count, int bits, int level)
{
    return bits == 8 ? detail::HasSampleAtLeast<8>(data, count, level) : detail::HasSampleAtLeast<16>(data, count, level);
}

// Writes v (already within -32768..32767) as 16-bit sample i.
inline void StoreS16(BYTE* data, std::size_t i, int v)
{
    if constexpr (std::endian::native == std::endian::little) {
        const auto s = static_cast<std::int16_t>(v);
        std::memcpy(data + 2 * i, &s, sizeof s);
    } else {
        auto u = static_cast<std::uint16_t>(v);
        data[2 * i] = static_cast<BYTE>(u & 0xFF);
        data[2 * i + 1] = static_cast<BYTE>(u >> 8);
    }
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
