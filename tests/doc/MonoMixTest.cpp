#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "doc/MonoMix.h"

using tonmira::BYTE;

namespace {

// The mix written out plainly: trunc(left L + right R) in long double, clamped.
struct Expected {
    std::vector<BYTE> mono;
    int peak = 0;
};

Expected Reference16(const std::vector<std::int16_t>& lr, float left, float right, int peak)
{
    Expected e;
    e.peak = peak;
    for (std::size_t i = 0; i < lr.size() / 2; ++i) {
        const long double sum = static_cast<long double>(left) * lr[2 * i] + static_cast<long double>(right) * lr[2 * i + 1];
        const auto v = static_cast<std::int16_t>(std::clamp(static_cast<long>(sum), -32768L, 32767L));
        e.mono.push_back(static_cast<BYTE>(v & 0xFF));
        e.mono.push_back(static_cast<BYTE>((v >> 8) & 0xFF));
        e.peak = std::max({e.peak, std::abs(static_cast<int>(lr[2 * i])), std::abs(static_cast<int>(lr[2 * i + 1]))});
    }
    return e;
}

}  // namespace

// Every length up to a few vectors (the fast path works 8 frames at a time), the extremes of the
// range, odd negative sums that must round toward zero, and the weights a load uses and others.
TEST(MonoMix, SixteenBitMatchesTheExactMixForEveryLengthAndBalance)
{
    std::mt19937 random(5);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    for (float left : {0.5f, 0.0f, 0.17f, 1.0f}) {
        const float right = left == 0.5f ? 0.5f : 1.0f - left;
        for (std::size_t n : {0, 1, 7, 8, 9, 15, 16, 17, 40, 1001}) {
            std::vector<std::int16_t> lr(2 * n);
            for (auto& s : lr)
                s = static_cast<std::int16_t>(sample(random));
            const std::int16_t edges[][2] = {{-32768, -32768}, {32767, 32767}, {-32768, 32767}, {-3, 0}, {-1, -2}, {5, -6}};
            for (std::size_t k = 0; k < std::min<std::size_t>(n, 6); ++k) {
                lr[2 * (n - 1 - k)] = edges[k][0];
                lr[2 * (n - 1 - k) + 1] = edges[k][1];
            }
            for (int startPeak : {0, 40000}) {
                const Expected e = Reference16(lr, left, right, startPeak);
                std::vector<BYTE> mono(2 * n + 1, 0xEE);
                const int peak = tonmira::MixStereo16(reinterpret_cast<const BYTE*>(lr.data()), static_cast<tonmira::UINT>(n),
                                                      left, right, mono.data(), startPeak);
                EXPECT_EQ(peak, e.peak) << "n=" << n << " left=" << left;
                EXPECT_EQ(std::vector<BYTE>(mono.begin(), mono.end() - 1), e.mono) << "n=" << n << " left=" << left;
                EXPECT_EQ(mono.back(), 0xEE) << "written past the end, n=" << n;
            }
        }
    }
}

TEST(MonoMix, EightBitMixesTheRawBytes)
{
    for (float left : {0.5f, 0.3f}) {
        const float right = 1.0f - left;
        std::vector<BYTE> lr;
        for (int l = 0; l < 256; l += 5)
            for (int r = 0; r < 256; r += 3) {
                lr.push_back(static_cast<BYTE>(l));
                lr.push_back(static_cast<BYTE>(r));
            }
        const auto n = static_cast<tonmira::UINT>(lr.size() / 2);
        std::vector<BYTE> mono(n);
        EXPECT_EQ(tonmira::MixStereo8(lr.data(), n, left, right, mono.data(), 0), 128);  // |0 - 128|
        for (tonmira::UINT i = 0; i < n; ++i) {
            const double sum = static_cast<double>(left) * lr[2 * i] + static_cast<double>(right) * lr[2 * i + 1];
            ASSERT_EQ(mono[i], static_cast<int>(sum)) << "L " << int(lr[2 * i]) << " R " << int(lr[2 * i + 1]);
        }
    }
}
