#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "dsp/FftEngine.h"

using tonmira::CFftEngine;

namespace {

constexpr int kSentinel = 0x5A5A5A5A;

// Transforms into an array with guard entries after the N/2 outputs and checks they survive.
std::vector<int> TransformGuarded(CFftEngine& fft)
{
    const int h = fft.m_nSize / 2;
    std::vector<int> out(h + 8, kSentinel);
    fft.Transform(out.data());
    for (int i = h; i < h + 8; ++i)
        EXPECT_EQ(out[i], kSentinel) << "write past the last bin at " << i;
    out.resize(h);
    return out;
}

// |X[k]| / sqrt(N) by the defining sum, in long double.
std::vector<long double> DirectMagnitudes(const std::vector<double>& x)
{
    const int n = static_cast<int>(x.size());
    const long double pi = std::acos(-1.0L);
    std::vector<long double> mags(n / 2);
    for (int k = 0; k < n / 2; ++k) {
        std::complex<long double> sum = 0;
        for (int t = 0; t < n; ++t) {
            long double angle = -2.0L * pi * static_cast<long double>((static_cast<long long>(k) * t) % n) / n;
            sum += static_cast<long double>(x[t]) * std::complex<long double>(std::cos(angle), std::sin(angle));
        }
        mags[k] = std::abs(sum) / std::sqrt(static_cast<long double>(n));
    }
    return mags;
}

}  // namespace

TEST(FftEngine, TablesForSixteen)
{
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(16, 0));
    EXPECT_EQ(fft.m_nStages, 4);
    EXPECT_DOUBLE_EQ(fft.m_dNorm, 4.0);
    const int expected[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(fft.m_pBitRev[i], expected[i]) << i;
    // Stage 2 (span 4): entry 1 is e^(-i pi/2).
    EXPECT_NEAR(fft.m_ppTwiddle[2][1].re, 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(fft.m_ppTwiddle[2][1].im, -1.0);

    // Every size of the list gets a permutation that is its own inverse.
    for (int n = 16; n <= 131072; n *= 2) {
        ASSERT_TRUE(fft.Init(n, 0));
        int bits = 0;
        while ((1 << bits) < n)
            ++bits;
        ASSERT_EQ(fft.m_nStages, bits);
        for (int i = 0; i < n; i += 37) {
            int reversed = 0;
            for (int b = 0; b < bits; ++b)
                reversed |= ((i >> b) & 1) << (bits - 1 - b);
            ASSERT_EQ(fft.m_pBitRev[i], reversed) << "n=" << n << " i=" << i;
        }
        ASSERT_EQ(fft.m_pBitRev[n - 1], n - 1);
    }
}

TEST(FftEngine, RefusesSizesThatAreNotPowersOfTwo)
{
    CFftEngine fft;
    for (int size : {0, -16, 3, 12, 1000, 1 << 21}) {
        EXPECT_FALSE(fft.Init(size, 0)) << size;
        EXPECT_FALSE(fft.IsReady());
    }
    // Release twice and re-Init without Release must neither crash nor leak.
    ASSERT_TRUE(fft.Init(32, 1));
    ASSERT_TRUE(fft.Init(64, 2));
    fft.Release();
    fft.Release();
    EXPECT_FALSE(fft.IsReady());
}

TEST(FftEngine, WindowTables)
{
    const int n = 64;
    CFftEngine fft;
    for (int type : {0, 4, -1}) {
        ASSERT_TRUE(fft.Init(n, type));
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(fft.m_pWindow[i], 1.0) << "type " << type;
    }
    ASSERT_TRUE(fft.Init(n, 1));  // Hann, denominator N: periodic, not symmetric about (N-1)/2
    EXPECT_EQ(fft.m_pWindow[0], 0.0);
    EXPECT_DOUBLE_EQ(fft.m_pWindow[n / 2], 1.0);
    EXPECT_GT(fft.m_pWindow[n - 1], 0.0);
    EXPECT_NEAR(fft.m_pWindow[n / 4], 0.5, 1e-15);
    ASSERT_TRUE(fft.Init(n, 2));  // Hamming
    EXPECT_NEAR(fft.m_pWindow[0], 0.08, 1e-15);
    EXPECT_DOUBLE_EQ(fft.m_pWindow[n / 2], 1.0);
    ASSERT_TRUE(fft.Init(n, 3));  // Blackman
    EXPECT_NEAR(fft.m_pWindow[0], 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(fft.m_pWindow[n / 2], 1.0);
    EXPECT_NEAR(fft.m_pWindow[n / 4], 0.34, 1e-15);

    // SetSample applies the window.
    fft.SetSample(n / 4, -1000);
    EXPECT_NEAR(fft.m_pInput[n / 4], -340.0, 1e-9);
}

TEST(FftEngine, BinsWorkedOutByHand)
{
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(32, 0));

    // All zeros.
    for (int v : TransformGuarded(fft))
        EXPECT_EQ(v, 0);

    // DC: c * sqrt(32) = 16.97 for c = 3, truncated (not rounded) to 16; -3 gives the same.
    for (short c : {3, -3}) {
        for (int i = 0; i < 32; ++i)
            fft.SetSample(i, c);
        auto out = TransformGuarded(fft);
        EXPECT_EQ(out[0], 16);
        for (int k = 1; k < 16; ++k)
            EXPECT_EQ(out[k], 0) << k;
    }

    // Dirac of height 1000: a flat spectrum of 1000 / sqrt(32) = 176.78.
    for (int i = 0; i < 32; ++i)
        fft.SetSample(i, i == 0 ? 1000 : 0);
    for (int v : TransformGuarded(fft))
        EXPECT_EQ(v, 176);

    // A cosine on bin 8 (period 4: a, 0, -a, 0): |X[8]| = 16a, out = 16a / sqrt(32) = 2.83a.
    for (int i = 0; i < 32; ++i)
        fft.SetSample(i, static_cast<short>(i % 4 == 0 ? 1000 : i % 4 == 2 ? -1000 : 0));
    auto cosine = TransformGuarded(fft);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(cosine[k], k == 8 ? 2828 : 0) << k;

    // Nyquist (+a, -a, ...) lies in bin N/2, which is not among the outputs.
    for (int i = 0; i < 32; ++i)
        fft.SetSample(i, static_cast<short>(i % 2 ? -32767 : 32767));
    for (int v : TransformGuarded(fft))
        EXPECT_EQ(v, 0);
}

TEST(FftEngine, FullScaleSineOnABin)
{
    // Amplitude 32767 on bin 100 of 4096: about 32767 * sqrt(4096) / 2 = 1048544.
    const int n = 4096;
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(n, 0));
    const double pi = std::acos(-1.0);
    for (int i = 0; i < n; ++i)
        fft.SetSample(i, static_cast<short>(std::lround(32767.0 * std::sin(2.0 * pi * 100 * i / n))));
    auto out = TransformGuarded(fft);
    EXPECT_NEAR(out[100], 1048544, 2);
    // Elsewhere only the rounding of the samples to whole numbers shows.
    for (int k = 0; k < n / 2; ++k) {
        if (k != 100) {
            EXPECT_LE(out[k], 3) << k;
        }
    }
}

TEST(FftEngine, MatchesDirectDftForEveryWindow)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    for (int n : {16, 256, 1024}) {
        std::vector<short> input(n);
        for (auto& v : input)
            v = static_cast<short>(sample(random));
        for (int type = 0; type <= 3; ++type) {
            CFftEngine fft;
            ASSERT_TRUE(fft.Init(n, type));
            std::vector<double> windowed(n);
            for (int i = 0; i < n; ++i) {
                fft.SetSample(i, input[i]);
                windowed[i] = input[i] * fft.m_pWindow[i];
            }
            // Exact size under ASan: any write past N/2 ints is caught there too.
            std::vector<int> out(n / 2);
            fft.Transform(out.data());
            auto exact = DirectMagnitudes(windowed);
            int checked = 0;
            for (int k = 0; k < n / 2; ++k) {
                // Rounding error of the fast transform is far below 1e-6 at these sizes;
                // skip only magnitudes that lie that close to a whole number.
                long double frac = exact[k] - std::floor(exact[k]);
                if (frac < 1e-6L || frac > 1 - 1e-6L)
                    continue;
                ++checked;
                ASSERT_EQ(out[k], static_cast<int>(exact[k])) << "n=" << n << " window=" << type << " k=" << k;
            }
            EXPECT_GT(checked, n / 2 - 3);
        }
    }
}

TEST(FftEngine, InputsNotSetKeepTheirValuesUntilInit)
{
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(16, 0));
    for (int i = 0; i < 16; ++i)
        fft.SetSample(i, 100);
    auto full = TransformGuarded(fft);
    // Setting only the first half again leaves the rest as it was.
    for (int i = 0; i < 8; ++i)
        fft.SetSample(i, 100);
    EXPECT_EQ(TransformGuarded(fft), full);
    // Transform itself does not disturb the inputs.
    EXPECT_EQ(TransformGuarded(fft), full);
    // A new Init starts from zeros.
    ASSERT_TRUE(fft.Init(16, 0));
    for (int v : TransformGuarded(fft))
        EXPECT_EQ(v, 0);
}
