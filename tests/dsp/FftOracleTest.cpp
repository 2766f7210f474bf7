// CFftEngine against the plain radix-2 transform (RadixTwoFft), bin by bin, for every size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "dsp/FftEngine.h"
#include "dsp/RadixTwoFft.h"

using tonmira::CFftEngine;
using tonmira::test::RadixTwoFft;

namespace {

// |X[k]| / sqrt(N) of the engine's (windowed) inputs, summed directly in long double.
long double ExactBin(const double* input, int n, int k)
{
    const long double pi = std::acos(-1.0L);
    long double re = 0, im = 0;
    for (int t = 0; t < n; ++t) {
        const long double angle = -2.0L * pi * static_cast<long double>((static_cast<long long>(k) * t) % n) / n;
        re += input[t] * std::cos(angle);
        im += input[t] * std::sin(angle);
    }
    return std::sqrt(re * re + im * im) / std::sqrt(static_cast<long double>(n));
}

short Clamp(long v) { return static_cast<short>(std::max(-32768L, std::min(32767L, v))); }

struct InputKind {
    std::string name;
    std::function<short(int i, int n)> sample;
};

std::vector<InputKind> Kinds()
{
    auto random = std::make_shared<std::mt19937>(2024);
    const double pi = std::acos(-1.0);
    return {
        {"random 16-bit", [random](int, int) { return static_cast<short>(std::uniform_int_distribution<int>(-32768, 32767)(*random)); }},
        {"random 8-bit", [random](int, int) { return static_cast<short>(std::uniform_int_distribution<int>(-128, 127)(*random)); }},
        // Between bins, full scale.
        {"tone 16-bit", [pi](int i, int n) { return Clamp(std::lround(32767 * std::sin(2 * pi * i * (0.173 * n + 0.41) / n + 0.3))); }},
        // On bin N/8.
        {"tone 8-bit", [pi](int i, int) { return Clamp(std::lround(127 * std::sin(2 * pi * i / 8.0))); }},
        {"silence", [](int, int) { return short{0}; }},
        // |c| sqrt(N) is a whole number whenever N is a power of four.
        {"constant", [](int, int) { return short{-32768}; }},
        {"impulse", [](int i, int n) { return static_cast<short>(i == n / 3 ? 32767 : 0); }},
    };
}

}  // namespace

TEST(RadixTwoFft, TablesAsWorkedOutByHand)
{
    RadixTwoFft fft;
    ASSERT_TRUE(fft.Init(16, 0));
    EXPECT_EQ(fft.m_nStages, 4);
    const int expected[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(fft.m_pBitRev[i], expected[i]) << i;
    EXPECT_NEAR(fft.m_ppTwiddle[2][1].re, 0.0, 1e-15);  // e^(-i pi/2)
    EXPECT_DOUBLE_EQ(fft.m_ppTwiddle[2][1].im, -1.0);
}

// Both compute the same sums in a different order, so a bin may only differ where the exact
// magnitude lies within rounding of a whole number, by 1, and rarely.
TEST(FftEngine, MatchesRadixTwoOnEveryBinForEverySize)
{
    struct Tally {
        long bins = 0;
        long offByOne = 0;
    };
    std::map<std::string, Tally> tally;
    const auto kinds = Kinds();
    for (int n = 16; n <= 131072; n *= 2) {
        RadixTwoFft oracle;
        CFftEngine fft;
        ASSERT_TRUE(oracle.Init(n, 0));
        ASSERT_TRUE(fft.Init(n, 0));
        std::vector<int> expected(n / 2), got(n / 2 + 1, 0x5A5A5A5A);
        for (const auto& kind : kinds) {
            for (int i = 0; i < n; ++i) {
                const short v = kind.sample(i, n);
                oracle.SetSample(i, v);
                fft.SetSample(i, v);
            }
            oracle.Transform(expected.data());
            fft.Transform(got.data());
            ASSERT_EQ(got[n / 2], 0x5A5A5A5A) << "write past the last bin, n=" << n;
            Tally& t = tally[kind.name];
            t.bins += n / 2;
            for (int k = 0; k < n / 2; ++k) {
                if (got[k] == expected[k])
                    continue;
                const long double exact = ExactBin(fft.m_pInput.get(), n, k);
                ASSERT_EQ(std::abs(got[k] - expected[k]), 1) << kind.name << " n=" << n << " k=" << k;
                ASSERT_LT(std::fabs(exact - std::round(exact)), 1e-6L)
                    << kind.name << " n=" << n << " k=" << k << " exact " << static_cast<double>(exact);
                ++t.offByOne;
            }
        }
    }
    for (const auto& [name, t] : tally)
        EXPECT_LE(t.offByOne * 10000, t.bins) << name << ": " << t.offByOne << " of " << t.bins << " bins differ";
}

TEST(FftEngine, WindowedInputsMatchRadixTwo)
{
    std::mt19937 random(99);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    for (int type = 1; type <= 3; ++type) {
        for (int n : {16, 2048, 32768}) {
            RadixTwoFft oracle;
            CFftEngine fft;
            ASSERT_TRUE(oracle.Init(n, type));
            ASSERT_TRUE(fft.Init(n, type));
            for (int i = 0; i < n; ++i) {
                ASSERT_EQ(fft.Window(i), oracle.m_pWindow[i]) << "type " << type << " i=" << i;
                const auto v = static_cast<short>(sample(random));
                oracle.SetSample(i, v);
                fft.SetSample(i, v);
            }
            std::vector<int> expected(n / 2), got(n / 2);
            oracle.Transform(expected.data());
            fft.Transform(got.data());
            EXPECT_EQ(got, expected) << "type " << type << " n=" << n;
        }
    }
}

// Engines on separate threads share one plan per size: planning must be serialised, and the
// transforms must not disturb each other.
TEST(FftEngine, EnginesOnSeveralThreads)
{
    const int sizes[] = {256, 4096, 512, 8192, 1024};
    auto run = [&](int thread, int round) {
        const int n = sizes[(thread + round) % 5];
        CFftEngine fft;
        if (!fft.Init(n, 0))
            return std::vector<int>();
        for (int i = 0; i < n; ++i)
            fft.SetSample(i, static_cast<short>((i * 7919 + thread * 31) % 65536 - 32768));
        std::vector<int> out(n / 2);
        fft.Transform(out.data());
        return out;
    };
    std::vector<std::vector<std::vector<int>>> results(4, std::vector<std::vector<int>>(10));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int r = 0; r < 10; ++r)
                results[t][r] = run(t, r);
        });
    for (auto& th : threads)
        th.join();
    for (int t = 0; t < 4; ++t)
        for (int r = 0; r < 10; ++r)
            ASSERT_EQ(results[t][r], run(t, r)) << "thread " << t << " round " << r;
}
