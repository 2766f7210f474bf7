// The spectrogram's tiles: what a chirp looks like, and the scheduler's threads and cancellation.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "view/Readout.h"
#include "view/SonogramTiles.h"

namespace tonmira::view {
namespace {

const double kPi = 2 * std::asin(1.0);

// A linear chirp from f0 to f1 Hz over frames samples.
std::vector<unsigned char> Chirp(int frames, int rate, double f0, double f1)
{
    std::vector<unsigned char> b;
    const double seconds = static_cast<double>(frames) / rate;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double phase = 2 * kPi * (f0 * t + (f1 - f0) * t * t / (2 * seconds));
        const auto v = static_cast<std::int16_t>(std::lround(16000 * std::sin(phase)));
        b.push_back(static_cast<unsigned char>(v & 0xff));
        b.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
    }
    return b;
}

TEST(SonogramTiles, TheRidgeOfAChirpRisesAndFollowsItsFrequency)
{
    const int rate = 8000;
    const int frames = rate * 4;
    const std::vector<unsigned char> bytes = Chirp(frames, rate, 200, 3600);
    const MonoSamples take{bytes.data(), static_cast<std::uint64_t>(frames), false};
    const std::atomic<bool> cancel{false};
    for (const bool logAxis : {false, true}) {
        SpectrogramLayout l{512, rate, 120, 0, rate / 2, logAxis, frames / 128.0};
        CFftEngine fft;
        ASSERT_TRUE(fft.Init(l.n, 1));
        std::vector<std::uint8_t> levels;
        std::vector<int> ridge;
        for (int tile = 0; tile < 2; ++tile) {
            ASSERT_TRUE(ComputeTile(fft, take, l, tile, cancel, levels));
            for (int c = 0; c < kTileColumns; ++c) {
                const std::uint8_t* column = levels.data() + c * l.rows;
                ridge.push_back(static_cast<int>(std::max_element(column, column + l.rows) - column));
            }
        }
        for (std::size_t c = 0; c < ridge.size(); c += 8) {
            // Frequency at the column's first spectrum's middle, as row: the ridge stands there.
            const double t = (c * l.columnFrames + l.n / 2.0) / rate;
            const double hz = 200 + (3600 - 200) * t / 4;
            const double expectedRow = (1.0 - AxisFraction(hz, l.minHz, l.maxHz, logAxis)) * l.rows;
            EXPECT_NEAR(ridge[c], expectedRow, 3.0) << logAxis << " column " << c;
            if (c >= 8) {
                EXPECT_LE(ridge[c], ridge[c - 8]) << "the ridge falls back at column " << c;
            }
        }
        EXPECT_LT(ridge.back(), ridge.front() - l.rows / 4);
    }
    // A raised cancel stops a tile before its first spectrum.
    {
        const std::atomic<bool> stop{true};
        SpectrogramLayout l{512, rate, 10, 0, rate / 2, false, 512};
        CFftEngine fft;
        ASSERT_TRUE(fft.Init(512, 1));
        std::vector<std::uint8_t> levels;
        EXPECT_FALSE(ComputeTile(fft, take, l, 0, stop, levels));
    }
    // A column beyond the take stays dark.
    SpectrogramLayout l{512, rate, 10, 0, rate / 2, false, 512};
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(512, 1));
    std::vector<std::uint8_t> levels;
    ASSERT_TRUE(ComputeTile(fft, take, l, 100, cancel, levels));
    EXPECT_EQ(*std::max_element(levels.begin(), levels.end()), 0);

    // A take of exactly one tile, silent but for its last 8 frames: its last column alone is lit.
    std::vector<unsigned char> edge(2 * 16 * kTileColumns, 0);
    for (std::size_t i = edge.size() - 16; i < edge.size(); i += 2)
        edge[i + 1] = 0x40;
    const SpectrogramLayout one{16, rate, 4, 0, rate / 2, false, 16};
    ASSERT_TRUE(fft.Init(16, 1));
    ASSERT_TRUE(ComputeTile(fft, {edge.data(), edge.size() / 2, false}, one, 0, cancel, levels));
    for (int c = 0; c < kTileColumns; ++c)
        EXPECT_EQ(*std::max_element(levels.begin() + c * 4, levels.begin() + c * 4 + 4) > 0, c == kTileColumns - 1) << c;
}

TEST(SonogramTiles, WorkersAloneComputeAndAResetDropsTheOldGeneration)
{
    const int rate = 44100;
    const int frames = rate * 20;
    auto bytes = std::make_unique<std::vector<unsigned char>>(Chirp(frames, rate, 100, 10000));
    std::mutex mutex;
    std::vector<std::pair<std::uint64_t, std::int64_t>> ready;
    std::set<std::thread::id> threads;
    SonogramTiles tiles(2, [&](std::uint64_t generation, std::int64_t index, SonogramTiles::Levels levels) {
        std::lock_guard lock(mutex);
        ready.emplace_back(generation, index);
        threads.insert(std::this_thread::get_id());
        EXPECT_EQ(levels->size(), static_cast<std::size_t>(kTileColumns * 50));
    });
    const MonoSamples take{bytes->data(), static_cast<std::uint64_t>(frames), false};
    // Large N: each tile takes a while, so the reset below meets running and queued tiles.
    const SpectrogramLayout slow{65536, rate, 50, 0, rate / 2, false, 32768};
    const std::uint64_t first = tiles.Reset(take, slow);
    for (int i = 0; i < 40; ++i)
        tiles.Request(i);
    tiles.Request(3);  // queued already: once only
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const SpectrogramLayout fast{1024, rate, 50, 0, rate / 2, true, 512};
    const std::uint64_t second = tiles.Reset(take, fast);
    EXPECT_GT(second, first);
    std::size_t oldCount;
    {
        std::lock_guard lock(mutex);
        oldCount = ready.size();
    }
    for (int i = 0; i < 6; ++i)
        tiles.Request(i);
    for (int wait = 0; wait < 500; ++wait) {
        {
            std::lock_guard lock(mutex);
            if (ready.size() >= oldCount + 6)
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Nothing is read after a reset to no take: the take may go at once.
    tiles.Request(7);
    tiles.Reset({}, {});
    bytes.reset();
    tiles.Request(8);  // no take: ignored
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    std::lock_guard lock(mutex);
    ASSERT_GE(ready.size(), oldCount + 6);
    std::set<std::int64_t> newIndices;
    for (std::size_t i = oldCount; i < ready.size(); ++i) {
        EXPECT_EQ(ready[i].first, second);
        newIndices.insert(ready[i].second);
    }
    newIndices.erase(7);  // may or may not have finished before the reset
    EXPECT_EQ(newIndices, (std::set<std::int64_t>{0, 1, 2, 3, 4, 5}));
    std::set<std::int64_t> oldIndices;
    for (std::size_t i = 0; i < oldCount; ++i)
        EXPECT_TRUE(oldIndices.insert(ready[i].second).second) << "tile " << ready[i].second << " twice";
    EXPECT_EQ(tiles.TilesOnOwnerThread(), 0);
    EXPECT_FALSE(threads.count(std::this_thread::get_id()));
}

}  // namespace
}  // namespace tonmira::view
