#include "doc/MonoMix.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/SampleMath.h"

namespace tonmira {

namespace {

// Truncation toward zero (-0.5 gives 0). Double is exact here, as extended precision would
// be: each product of a float weight and a 16-bit sample, and their sum, fit in 46 bits.
int Mix(float left, float right, int l, int r)
{
    return static_cast<int>(static_cast<double>(left) * l + static_cast<double>(right) * r);
}

int Magnitude(int s) { return s < 0 ? -s : s; }

// Weights of exactly one half: trunc(L/2 + R/2) is (L + R) / 2 in integers, which C++ also
// truncates toward zero, and never leaves the 16-bit range.
int HalfMix16(const BYTE* frames, UINT n, BYTE* mono, int peak)
{
    UINT i = 0;
#if defined(__SSE2__)
    const __m128i ones = _mm_set1_epi16(1);
    __m128i highest = _mm_setzero_si128();
    __m128i lowest = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8) {
        const BYTE* in = frames + 4 * static_cast<std::size_t>(i);
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16));
        highest = _mm_max_epi16(highest, _mm_max_epi16(a, b));
        lowest = _mm_min_epi16(lowest, _mm_min_epi16(a, b));
        // L + R of each frame in 32 bits, then halved toward zero: add 1 to odd negative sums.
        __m128i sa = _mm_madd_epi16(a, ones);
        __m128i sb = _mm_madd_epi16(b, ones);
        sa = _mm_srai_epi32(_mm_add_epi32(sa, _mm_srli_epi32(sa, 31)), 1);
        sb = _mm_srai_epi32(_mm_add_epi32(sb, _mm_srli_epi32(sb, 31)), 1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(mono + 2 * static_cast<std::size_t>(i)), _mm_packs_epi32(sa, sb));
    }
    std::int16_t high[8], low[8];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(high), highest);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(low), lowest);
    for (int k = 0; k < 8; ++k)
        peak = std::max({peak, static_cast<int>(high[k]), -static_cast<int>(low[k])});
#endif
    for (; i < n; ++i) {
        const int l = ReadS16(frames + 4 * static_cast<std::size_t>(i));
        const int r = ReadS16(frames + 4 * static_cast<std::size_t>(i) + 2);
        peak = std::max({peak, Magnitude(l), Magnitude(r)});
        StoreS16(mono, i, (l + r) / 2);
    }
    return peak;
}

}  // namespace

void BalanceWeights(int balance, float& left, float& right)
{
    balance = std::clamp(balance, 0, 100);
    left = static_cast<float>(100 - balance) / 100.0f;
    right = static_cast<float>(balance) / 100.0f;
}

int MixStereo16(const BYTE* frames, UINT n, float left, float right, BYTE* mono, int peak)
{
    if (left == 0.5f && right == 0.5f)
        return HalfMix16(frames, n, mono, peak);
    for (UINT i = 0; i < n; ++i) {
        const int l = ReadS16(frames + 4 * static_cast<std::size_t>(i));
        const int r = ReadS16(frames + 4 * static_cast<std::size_t>(i) + 2);
        peak = std::max({peak, Magnitude(l), Magnitude(r)});
        StoreS16(mono, i, std::clamp(Mix(left, right, l, r), -32768, 32767));
    }
    return peak;
}

int MixStereo8(const BYTE* frames, UINT n, float left, float right, BYTE* mono, int peak)
{
    const bool half = left == 0.5f && right == 0.5f;
    for (UINT i = 0; i < n; ++i) {
        const int l = frames[2 * static_cast<std::size_t>(i)];
        const int r = frames[2 * static_cast<std::size_t>(i) + 1];
        peak = std::max({peak, Magnitude(l - 128), Magnitude(r - 128)});
        mono[i] = static_cast<BYTE>(half ? (l + r) / 2 : std::clamp(Mix(left, right, l, r), 0, 255));
    }
    return peak;
}

}  // namespace tonmira
