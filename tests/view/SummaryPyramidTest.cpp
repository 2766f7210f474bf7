// The overview's min/max summary: every level and every query against a direct scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "view/SummaryPyramid.h"

namespace tonmira::view {
namespace {

struct Take {
    std::vector<unsigned char> bytes;
    MonoSamples samples;
};

Take RandomTake(std::uint64_t frames, bool eightBit, unsigned seed)
{
    Take t;
    std::mt19937 random(seed);
    t.bytes.resize(frames * (eightBit ? 1 : 2));
    for (auto& b : t.bytes)
        b = static_cast<unsigned char>(random());
    t.samples = {t.bytes.data(), frames, eightBit};
    return t;
}

MinMax Scan(const MonoSamples& s, std::uint64_t first, std::uint64_t last)
{
    MinMax m{s.At(first), s.At(first)};
    for (std::uint64_t i = first; i < last; ++i) {
        m.min = std::min(m.min, s.At(i));
        m.max = std::max(m.max, s.At(i));
    }
    return m;
}

TEST(SummaryPyramid, EveryLevelAndQueryEqualsADirectScan)
{
    const std::atomic<bool> cancel{false};
    // A length that is no multiple of any block, so every level ends in a short block; 8 and 16 bits.
    for (const bool eightBit : {false, true}) {
        const std::uint64_t frames = 256ull * 4 * 4 * 4 * 3 + 777;
        const Take t = RandomTake(frames, eightBit, eightBit ? 7 : 11);
        SummaryPyramid p;
        double lastProgress = -1;
        ASSERT_TRUE(p.Build(t.samples, cancel, [&](double d) {
            EXPECT_GE(d, lastProgress);
            lastProgress = d;
        }));
        EXPECT_EQ(lastProgress, 1.0);
        ASSERT_EQ(p.Level(p.LevelCount() - 1).size(), 1u);
        for (int level = 0; level < p.LevelCount(); ++level) {
            const std::uint64_t size = p.BlockSize(level);
            const auto& blocks = p.Level(level);
            ASSERT_EQ(blocks.size(), (frames + size - 1) / size) << level;
            for (std::size_t b = 0; b < blocks.size(); ++b)
                ASSERT_EQ(blocks[b], Scan(t.samples, b * size, std::min(frames, (b + 1) * size)))
                    << "level " << level << " block " << b;
        }
        std::mt19937 random(3);
        for (int q = 0; q < 400; ++q) {
            std::uint64_t a = random() % frames;
            std::uint64_t b = random() % frames;
            if (q % 3 == 0)
                b = a + 1 + random() % 600;  // short spans, inside one block or across two
            if (a > b)
                std::swap(a, b);
            b = std::min(std::max(b, a + 1), frames);
            ASSERT_EQ(p.Query(a, b), Scan(t.samples, a, b)) << a << ".." << b;
        }
        EXPECT_EQ(p.Query(0, frames), Scan(t.samples, 0, frames));
        // A small fraction of the take.
        EXPECT_LT(p.MemoryBytes(), t.bytes.size() * (eightBit ? 2 : 1) / 20);
    }
}

TEST(SummaryPyramid, CancelledOrEmptyBuildLeavesNothing)
{
    const Take t = RandomTake(1 << 18, false, 5);
    std::atomic<bool> cancel{true};
    SummaryPyramid p;
    EXPECT_FALSE(p.Build(t.samples, cancel));
    EXPECT_TRUE(p.Empty());
    cancel = false;
    EXPECT_FALSE(p.Build({}, cancel));
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.Query(0, 10), MinMax{});
    // One sample is a whole take.
    const Take one = RandomTake(1, false, 9);
    ASSERT_TRUE(p.Build(one.samples, cancel));
    EXPECT_EQ(p.Query(0, 1), (MinMax{one.samples.At(0), one.samples.At(0)}));
}

}  // namespace
}  // namespace tonmira::view
