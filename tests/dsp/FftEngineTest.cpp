#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "dsp/FftEngine.h"

using tonmira::CFftEngine;

namespace {

constexpr int kSentinel = 0x5A5A5A5A;

// Sets every input to f(i), transforms into an array with guard entries after the N/2
// outputs and checks that they survive.
template <typename F>
std::vector<int> Feed(CFftEngine& fft, F f)
{
    for (int i = 0; i < fft.m_nSize; ++i)
        fft.SetSample(i, static_cast<short>(f(i)));
    const int h = fft.m_nSize / 2;
    std::vector<int> out(h + 8, kSentinel);
    fft.Transform(out.data());
    for (int i = h; i < h + 8; ++i)
        EXPECT_EQ(out[i], kSentinel) << "write past the last bin at " << i;
    out.resize(h);
    return out;
}

}  // namespace

TEST(FftEngine, SizesAndReInit)
{
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(16, 0));
    EXPECT_EQ(fft.m_nStages, 4);
    EXPECT_EQ(fft.m_dNorm, 4.0);
    for (int size : {0, -16, 12, 1 << 21})
        EXPECT_FALSE(fft.Init(size, 0)) << size;
    EXPECT_FALSE(fft.IsReady());
    // Re-Init without Release and a double Release must neither crash nor leak.
    ASSERT_TRUE(fft.Init(131072, 1));
    ASSERT_TRUE(fft.Init(64, 2));
    fft.Release();
    fft.Release();
    // N = 1 and 2: no bins, one bin.
    ASSERT_TRUE(fft.Init(2, 0));
    auto out = Feed(fft, [](int i) { return i ? 3 : 5; });
    EXPECT_EQ(out, std::vector<int>{5});  // 8 / sqrt(2) = 5.66
    ASSERT_TRUE(fft.Init(1, 0));
    Feed(fft, [](int) { return 7; });
}

TEST(FftEngine, WindowTables)
{
    const int n = 64;
    CFftEngine fft;
    for (int type : {0, 4, -1}) {
        ASSERT_TRUE(fft.Init(n, type));
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(fft.Window(i), 1.0) << "type " << type;
    }
    // {type, w[0], w[N/4], w[N/2]}; the denominator N makes w[N-1] differ from w[0].
    const double cases[3][4] = {{1, 0.0, 0.5, 1.0}, {2, 0.08, 0.54, 1.0}, {3, 0.0, 0.34, 1.0}};
    for (const auto& c : cases) {
        ASSERT_TRUE(fft.Init(n, static_cast<int>(c[0])));
        EXPECT_NEAR(fft.Window(0), c[1], 1e-15);
        EXPECT_NEAR(fft.Window(n / 4), c[2], 1e-15);
        EXPECT_NEAR(fft.Window(n / 2), c[3], 1e-15);
        EXPECT_GT(fft.Window(n - 1), fft.Window(0));
    }
    fft.SetSample(n / 4, -1000);  // the window is applied on input
    EXPECT_NEAR(fft.m_pInput[n / 4], -340.0, 1e-9);
}

TEST(FftEngine, BinsWorkedOutByHand)
{
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(32, 0));
    for (int v : Feed(fft, [](int) { return 0; }))
        EXPECT_EQ(v, 0);
    // DC: 3 x sqrt(32) = 16.97 is truncated, not rounded; the sign does not matter.
    for (int c : {3, -3}) {
        auto out = Feed(fft, [c](int) { return c; });
        EXPECT_EQ(out[0], 16);
        EXPECT_EQ(std::count(out.begin(), out.end(), 0), 15);
    }
    // A Dirac of 1000: flat at 1000 / sqrt(32) = 176.78.
    for (int v : Feed(fft, [](int i) { return i == 0 ? 1000 : 0; }))
        EXPECT_EQ(v, 176);
    // Cosine on bin 8 (a, 0, -a, 0, ...): 16a / sqrt(32) = 2828.4 for a = 1000.
    auto cosine = Feed(fft, [](int i) { return i % 4 == 0 ? 1000 : i % 4 == 2 ? -1000 : 0; });
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(cosine[k], k == 8 ? 2828 : 0) << k;
    // Nyquist (+a, -a, ...) falls in bin N/2, which is not among the outputs.
    for (int v : Feed(fft, [](int i) { return i % 2 ? -32767 : 32767; }))
        EXPECT_EQ(v, 0);
}

TEST(FftEngine, MatchesDirectDftForEveryWindow)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    const long double pi = std::acos(-1.0L);
    for (int n : {16, 256, 1024}) {
        std::vector<short> input(n);
        for (auto& v : input)
            v = static_cast<short>(sample(random));
        for (int type = 0; type <= 3; ++type) {
            CFftEngine fft;
            ASSERT_TRUE(fft.Init(n, type));
            auto out = Feed(fft, [&](int i) { return input[i]; });
            int checked = 0;
            for (int k = 0; k < n / 2; ++k) {
                std::complex<long double> sum = 0;
                for (int t = 0; t < n; ++t) {
                    long double angle = -2.0L * pi * ((static_cast<long long>(k) * t) % n) / n;
                    sum += static_cast<long double>(fft.m_pInput[t]) * std::polar(1.0L, angle);
                }
                const long double exact = std::abs(sum) / std::sqrt(static_cast<long double>(n));
                // The fast transform's rounding error is far below 1e-6 here; skip only
                // magnitudes that close to a whole number.
                const long double frac = exact - std::floor(exact);
                if (frac < 1e-6L || frac > 1 - 1e-6L)
                    continue;
                ++checked;
                ASSERT_EQ(out[k], static_cast<int>(exact)) << "n=" << n << " window=" << type << " k=" << k;
            }
            EXPECT_GT(checked, n / 2 - 3);
        }
    }
}

TEST(FftEngine, InputsNotSetKeepTheirValuesUntilInit)
{
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(16, 0));
    auto full = Feed(fft, [](int i) { return 100 + i; });
    // Setting only the first half again leaves the rest (and Transform leaves all) as it was.
    for (int i = 0; i < 8; ++i)
        fft.SetSample(i, static_cast<short>(100 + i));
    std::vector<int> again(8);
    fft.Transform(again.data());
    EXPECT_EQ(again, full);
    ASSERT_TRUE(fft.Init(16, 0));
    fft.Transform(again.data());
    EXPECT_EQ(again, std::vector<int>(8, 0));
}
