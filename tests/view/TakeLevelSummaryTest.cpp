// The whole take's spectrogram: short calls in a long take are seen at every width, in their
// column; both spectrograms place a sound at its time; a build shows the whole take coarse first
// and a cancelled build resumes to the same picture, also when redrawn from blocks kept reduced;
// a zoomed picture shows every call in the column the pane's axis gives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

#include "view/PaneTimeAxis.h"
#include "view/Readout.h"
#include "view/SonogramTiles.h"
#include "view/TakePicture.h"
#include "view/TakeLevelSummary.h"

namespace tonmira::view {
namespace {

const double kPi = 2 * std::asin(1.0);

// Quiet noise (about -70 dBFS) with tone bursts of count frames at hz put in at each start.
std::vector<unsigned char> NoiseWithBursts(std::uint64_t frames, int rate, double hz, std::uint64_t count,
                                           const std::vector<std::uint64_t>& starts)
{
    std::vector<std::int16_t> s(frames);
    std::uint32_t noise = 7;
    for (auto& v : s) {
        noise = noise * 1664525u + 1013904223u;
        v = static_cast<std::int16_t>(static_cast<int>(noise >> 29) - 4);
    }
    for (const std::uint64_t start : starts)
        for (std::uint64_t i = 0; i < count && start + i < frames; ++i)
            s[start + i] = static_cast<std::int16_t>(std::lround(8000 * std::sin(2 * kPi * hz * static_cast<double>(i) / rate)));
    std::vector<unsigned char> bytes(frames * 2);
    for (std::uint64_t i = 0; i < frames; ++i) {
        bytes[2 * i] = static_cast<unsigned char>(s[i] & 0xff);
        bytes[2 * i + 1] = static_cast<unsigned char>((s[i] >> 8) & 0xff);
    }
    return bytes;
}

// The columns whose level at hz is at least -40 dBFS.
std::vector<int> BrightColumns(const std::vector<std::uint8_t>& levels, const PictureAxes& a, double hz)
{
    const int row = std::clamp(static_cast<int>((1.0 - AxisFraction(hz, a.minHz, a.maxHz, a.logAxis)) * a.height), 0,
                               a.height - 1);
    std::vector<int> columns;
    for (int x = 0; x < a.width; ++x)
        if (levels[static_cast<std::size_t>(row) * a.width + x] >= 153)
            columns.push_back(x);
    return columns;
}

TEST(TakeLevelSummary, CallsOneWindowLongShowInTheirColumnAtEveryWidth)
{
    const int rate = 8000, n = 512;
    const std::uint64_t frames = 30ull * 60 * rate;  // half an hour: several windows to a block
    // One window long, anywhere: on a hop, between hops, near the start and at the very end.
    const std::vector<std::uint64_t> starts{3, 1234567, 1654321 + 100, 2400000 + 255, frames - n};
    const std::vector<unsigned char> bytes = NoiseWithBursts(frames, rate, 1500, n, starts);
    TakeLevelSummary summary(2);
    summary.Start({bytes.data(), frames, false}, n, {});
    summary.Wait();
    ASSERT_TRUE(summary.Complete());
    EXPECT_GE(summary.WindowsPerBlock(), 4) << "a long take is pooled in blocks";

    for (const int width : {400, 555, 1000, 1600}) {
        const PictureAxes axes{width, 100, rate, 0, rate / 2, false};
        const std::vector<int> bright = BrightColumns(WholeTakeLevels(summary, axes), axes, 1500);
        std::vector<int> callColumns;
        for (const std::uint64_t start : starts)
            callColumns.push_back(ColumnOfFrame(static_cast<double>(start) + n / 2.0, frames, width));
        for (const int column : callColumns) {
            const auto seen = std::count_if(bright.begin(), bright.end(), [&](int x) { return std::abs(x - column) <= 1; });
            EXPECT_GE(seen, 1) << "call at column " << column << " of " << width;
        }
        for (const int x : bright) {
            const bool nearCall =
                std::any_of(callColumns.begin(), callColumns.end(), [&](int c) { return std::abs(x - c) <= 1; });
            EXPECT_TRUE(nearCall) << "column " << x << " of " << width << " bright without a call";
        }
        EXPECT_LE(bright.size(), 2 * starts.size()) << width;
    }
}

TEST(TakeLevelSummary, BothSpectrogramsShowABurstAtItsTime)
{
    const int rate = 44100, n = 1024, width = 400;
    const std::uint64_t frames = 2 * rate;
    // 50 ms at 0.500 s: its middle at 0.525 s.
    const std::vector<unsigned char> bytes = NoiseWithBursts(frames, rate, 3000, rate / 20, {rate / 2});
    const MonoSamples take{bytes.data(), frames, false};
    const double middle = 0.525 * rate;

    TakeLevelSummary summary(2);
    summary.Start(take, n, {});
    summary.Wait();
    const PictureAxes axes{width, 80, rate, 0, rate / 2, false};
    const std::vector<int> bright = BrightColumns(WholeTakeLevels(summary, axes), axes, 3000);
    ASSERT_FALSE(bright.empty());
    // Columns of 5 ms; placed at their windows' starts the burst would stand 11.6 ms early.
    EXPECT_NEAR((bright.front() + bright.back()) / 2.0, ColumnOfFrame(middle, frames, width), 1.0);

    // The part around the position: one spectrum per column, column c at frame c * hop.
    const SpectrogramLayout around{n, rate, 80, 0, rate / 2, false, n / 2.0};
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(n, 1));
    const std::atomic<bool> cancel{false};
    std::vector<int> aroundBright;
    const std::vector<std::pair<int, int>> rowBins = RowBins(around);
    const int row = static_cast<int>((1.0 - 3000.0 / (rate / 2)) * around.rows);
    for (std::int64_t tile = 0; tile * kTileColumns * (n / 2) < static_cast<std::int64_t>(frames); ++tile) {
        std::vector<std::uint8_t> levels;
        ASSERT_TRUE(ComputeTile(fft, take, around, tile, cancel, levels));
        for (int c = 0; c < kTileColumns; ++c)
            if (levels[static_cast<std::size_t>(c * around.rows + row)] >= 153)
                aroundBright.push_back(static_cast<int>(tile * kTileColumns + c));
    }
    ASSERT_FALSE(aroundBright.empty());
    EXPECT_NEAR((aroundBright.front() + aroundBright.back()) / 2.0, middle / (n / 2), 1.0);

    // The take's last frames reach the last column.
    const std::vector<unsigned char> tail = NoiseWithBursts(frames, rate, 3000, 300, {frames - 300});
    summary.Start({tail.data(), frames, false}, n, {});
    summary.Wait();
    const std::vector<int> end = BrightColumns(WholeTakeLevels(summary, axes), axes, 3000);
    ASSERT_FALSE(end.empty());
    EXPECT_EQ(end.back(), width - 1);
}

TEST(PaneTimeAxis, AZoomedPictureShowsEveryCallInItsColumn)
{
    const int rate = 8000, n = 512, width = 600;
    const std::uint64_t frames = 6ull * 60 * rate;
    const std::vector<std::uint64_t> starts{1234567, 1234567 + 20000, 2400000 + 255};
    const std::vector<unsigned char> bytes = NoiseWithBursts(frames, rate, 1500, n, starts);
    TakeLevelSummary summary(2);
    summary.Start({bytes.data(), frames, false}, n, {});
    summary.Wait();
    ASSERT_TRUE(summary.Complete());
    const PictureAxes a{width, 100, rate, 0, rate / 2, false};

    // Zoomed in on the first two calls (about 20 s across), then panned away from them.
    PaneTimeAxis axis;
    axis.SetTake(frames, width, n);
    axis.ZoomAt(axis.ColumnOf(static_cast<double>(starts[0])), 8.0);
    for (const std::int64_t pan : {0, 150, 2000}) {
        axis.Pan(pan);
        const std::vector<int> bright = BrightColumns(RangeLevels(summary, a, axis.FromFrame(), axis.FramesPerColumn()), a, 1500);
        std::vector<int> expected;
        for (const std::uint64_t start : starts) {
            const double x = std::floor(axis.ColumnOf(static_cast<double>(start) + n / 2.0));
            if (x >= 0 && x < width)
                expected.push_back(static_cast<int>(x));
        }
        for (const int x : expected)
            EXPECT_TRUE(std::any_of(bright.begin(), bright.end(), [&](int b) { return std::abs(b - x) <= 1; }))
                << "call at column " << x << " after a pan of " << pan;
        // A block of the summary may be wider than a column: a call lights the columns it covers.
        const int spread = 1 + static_cast<int>(std::ceil(summary.WindowsPerBlock() * (n / 2) / axis.FramesPerColumn()));
        for (const int x : bright)
            EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [&](int e) { return std::abs(e - x) <= spread; }))
                << "column " << x << " bright without a call, after a pan of " << pan;
        if (pan == 0) {
            EXPECT_EQ(expected.size(), 2u) << "both near calls in view";
        }
    }
}

TEST(TakeLevelSummary, EveryRowShowsTheLoudestOfItsBins)
{
    // Noise: every bin of every block at its own level, so a row that missed one of its bins, or
    // took one of its neighbour's, would show another level somewhere.
    const int rate = 8000, n = 1024;
    const std::uint64_t frames = 20ull * rate;
    const std::vector<unsigned char> bytes = NoiseWithBursts(frames, rate, 1000, 0, {});
    TakeLevelSummary summary(2);
    summary.Start({bytes.data(), frames, false}, n, {});
    summary.Wait();
    ASSERT_TRUE(summary.Complete());

    for (const bool log : {false, true})
        for (const int height : {5, 37, 100, 300, 700}) {
            // One column: it stands for every block of the take.
            const PictureAxes axes{1, height, rate, log ? 50 : 0, rate / 2, log};
            const std::vector<std::uint8_t> levels = WholeTakeLevels(summary, axes);
            SpectrogramLayout layout;
            layout.n = n;
            layout.rate = rate;
            layout.rows = height;
            layout.minHz = axes.minHz;
            layout.maxHz = axes.maxHz;
            layout.logAxis = log;
            const auto rowBins = RowBins(layout);
            ASSERT_EQ(rowBins.size(), static_cast<std::size_t>(height));
            int wrong = 0;
            for (int r = 0; r < height; ++r) {
                std::uint8_t loudest = 0;
                for (std::int64_t b = 0; b < summary.Blocks(); ++b)
                    for (int j = rowBins[r].first; j <= rowBins[r].second; ++j)
                        loudest = std::max(loudest, summary.Block(b)[std::min(j / summary.BinGroup(), summary.Bins() - 1)]);
                wrong += levels[static_cast<std::size_t>(r)] == loudest ? 0 : 1;
            }
            EXPECT_EQ(wrong, 0) << height << " rows, " << (log ? "semi-log" : "linear");
        }
}

TEST(TakeLevelSummary, CoarseFirstAndACancelledBuildResumesToTheSamePicture)
{
    const int rate = 8000, n = 256;
    const std::uint64_t frames = 4ull * 60 * rate;
    const std::vector<unsigned char> bytes = NoiseWithBursts(frames, rate, 1000, 4000, {100000, 800000, 1900000});
    const MonoSamples take{bytes.data(), frames, false};
    const PictureAxes axes{700, 60, rate, 0, rate / 2, true};

    TakeLevelSummary whole(2);
    whole.Start(take, n, {});
    whole.Wait();

    std::mutex mutex;
    int firstStageAt = -1;  // progress when the first coarse stage was complete
    std::vector<std::uint8_t> coarse;
    TakeLevelSummary summary(2);
    summary.Start(take, n, [&] {
        std::lock_guard lock(mutex);
        if (firstStageAt < 0 && summary.StagesDone() >= 1) {
            firstStageAt = summary.ProgressPerMille();
            coarse = WholeTakeLevels(summary, axes);
        }
    });
    // Stopped part way and resumed (as around every command), perhaps more than once; drawn in
    // between, as the pane does, keeping the reduced blocks.
    SummaryRows kept;
    for (int i = 0; i < 20 && !summary.Complete(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        summary.Cancel();
        WholeTakeLevels(summary, axes, &kept);
        summary.Resume();
    }
    summary.Wait();
    ASSERT_TRUE(summary.Complete());
    EXPECT_EQ(summary.StagesDone(), summary.StageCount());
    ASSERT_EQ(summary.Blocks(), whole.Blocks());
    std::int64_t differing = 0;
    for (std::int64_t b = 0; b < whole.Blocks(); ++b)
        differing += std::equal(whole.Block(b), whole.Block(b) + whole.Bins(), summary.Block(b)) ? 0 : 1;
    EXPECT_EQ(differing, 0) << "blocks of the resumed build unlike the uninterrupted one's";
    // What was kept while drawing is no older than the summary: after the build, at other axes,
    // and for a new take of the same length.
    EXPECT_EQ(WholeTakeLevels(summary, axes, &kept), WholeTakeLevels(whole, axes));
    const PictureAxes other{700, 90, rate, 100, 3000, false};
    EXPECT_EQ(WholeTakeLevels(summary, other, &kept), WholeTakeLevels(whole, other));
    const std::vector<unsigned char> next = NoiseWithBursts(frames, rate, 2500, 4000, {500000});
    summary.Start({next.data(), frames, false}, n, {});
    whole.Start({next.data(), frames, false}, n, {});
    summary.Wait();
    whole.Wait();
    EXPECT_EQ(WholeTakeLevels(summary, other, &kept), WholeTakeLevels(whole, other));

    std::lock_guard lock(mutex);
    ASSERT_GE(firstStageAt, 0);
    EXPECT_LT(firstStageAt, 100) << "the first stage is a small part of the work";
    // The coarse picture already covers the whole width: no column left dark.
    for (int x = 0; x < axes.width; ++x) {
        bool lit = false;
        for (int r = 0; r < axes.height; ++r)
            lit = lit || coarse[static_cast<std::size_t>(r) * axes.width + x] > 0;
        EXPECT_TRUE(lit) << "column " << x;
    }
}

}  // namespace
}  // namespace tonmira::view
