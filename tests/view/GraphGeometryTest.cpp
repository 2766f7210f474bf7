// Grid, waveform and spectrum coordinates of the two graph areas.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "view/GraphGeometry.h"

namespace tonmira::view {
namespace {

// 441 pixels wide (left 10, right 451), 101 high.
constexpr PixelRect kArea{10, 20, 451, 121};

std::vector<int> Expected(const std::vector<long long>& hz, int minHz, int maxHz)
{
    std::vector<int> xs;
    for (long long f : hz)
        xs.push_back(kArea.left + static_cast<int>((f - minHz) * kArea.Width() / (maxHz - minHz)));
    return xs;
}

TEST(GridLines, LinearStepIsTheLargestThatFitsThreeTimes)
{
    // 22050 / 10000 is 2, 22050 / 1000 is 22: every 1000 Hz, 22 lines.
    std::vector<long long> thousands;
    for (int k = 1; k <= 22; ++k)
        thousands.push_back(k * 1000);
    std::vector<int> xs = GridLineXs(kArea, 0, 22050, false);
    EXPECT_EQ(xs, Expected(thousands, 0, 22050));
    EXPECT_EQ(xs.front(), 10 + 1000 * 441 / 22050);

    // 100..400: every 100 from the minimum up to below the maximum.
    EXPECT_EQ(GridLineXs(kArea, 100, 400, false), Expected({100, 200, 300}, 100, 400));
    // A minimum between multiples: the first line is the next multiple, never left of the edge.
    EXPECT_EQ(GridLineXs(kArea, 150, 1000, false).front(), Expected({200}, 150, 1000)[0]);
    EXPECT_EQ(GridLineXs(kArea, 101, 1000, false).front(), Expected({200}, 101, 1000)[0]);

    // 100..350 (range 250): no hundred fits three times, so every 10 Hz.
    xs = GridLineXs(kArea, 100, 350, false);
    ASSERT_EQ(xs.size(), 25u);
    EXPECT_EQ(xs[0], kArea.left);
    EXPECT_EQ(xs[24], kArea.left + 240 * 441 / 250);

    EXPECT_TRUE(GridLineXs(kArea, 0, 2, false).empty());
    EXPECT_TRUE(GridLineXs(kArea, 0, 2, true).empty());
    EXPECT_TRUE(GridLineXs(kArea, 500, 400, false).empty());
}

TEST(GridLines, LogarithmicAxisUsesTheDecadeFrequencies)
{
    ASSERT_EQ(LogGridFrequencies().size(), 55u);
    EXPECT_EQ(LogGridFrequencies().front(), 1);
    EXPECT_EQ(LogGridFrequencies().back(), 1000000);

    const std::vector<int> xs = GridLineXs(kArea, 0, 22050, true);
    // 1..10, 20..100, 200..1000, 2000..10000, 20000.
    ASSERT_EQ(xs.size(), 38u);
    EXPECT_EQ(xs.front(), kArea.left);  // 1 Hz lies on the left edge
    for (std::size_t i = 1; i < xs.size(); ++i)
        EXPECT_GE(xs[i], xs[i - 1]);
    EXPECT_LT(xs.back(), kArea.right);
    // 10 Hz stands at log10(10) / log10(22050) of the width.
    EXPECT_EQ(xs[9], kArea.left + static_cast<int>(1.0 * 441 / 4.343428));

    // A grid frequency equal to the minimum draws nothing; 200 is then the first line.
    const std::vector<int> from100 = GridLineXs(kArea, 100, 1000, true);
    ASSERT_EQ(from100.size(), 9u);
    EXPECT_EQ(from100.front(), kArea.left + static_cast<int>(2.0 * 441 / 2.954243));

    const std::vector<GdiLine> lines = GridLines(kArea, 0, 22050, true);
    EXPECT_EQ(lines.front(), (GdiLine{10, 121, 10, 19}));
}

TEST(WaveformColumns, FullScaleAndSilence)
{
    // half = 50, centre 70.
    // Each sample draws the columns from the previous sample's x up to its own: of two samples
    // over 441 columns the second draws them all.
    const int values[2] = {0, 32767};
    std::vector<GdiLine> lines = WaveformColumns(kArea, values, 2, 2, 32768);
    ASSERT_EQ(lines.size(), 441u);
    EXPECT_EQ(lines.front(), (GdiLine{10, 69, 10, 21}));  // one pixel below the top
    EXPECT_EQ(CentreLine(kArea), (GdiLine{10, 70, 451, 70}));

    const int silence[2] = {0, 0};
    lines = WaveformColumns(kArea, silence, 2, 2, 32768);
    EXPECT_EQ(lines.front(), (GdiLine{10, 71, 10, 71}));  // starts and ends below the centre

    const int low[2] = {0, -32768};
    lines = WaveformColumns(kArea, low, 2, 2, 32768);
    EXPECT_EQ(lines.front(), (GdiLine{10, 71, 10, 120}));

    // 8-bit: byte 255 is +127 of 128.
    const int byte[2] = {0, 127};
    lines = WaveformColumns(kArea, byte, 2, 2, 128);
    EXPECT_EQ(lines.front().y1, 20 + 50 - 1 - 127 * 49 / 128);
}

TEST(WaveformColumns, EachColumnOnceWhateverTheWindowSize)
{
    std::vector<int> values(4096, 1000);
    std::vector<GdiLine> lines = WaveformColumns(kArea, values.data(), 4096, 4096, 32768);
    ASSERT_EQ(lines.size(), 441u);
    for (std::size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(lines[i].x0, kArea.left + static_cast<int>(i));

    // A window cut short by the end of the take draws only as far as its samples reach.
    lines = WaveformColumns(kArea, values.data(), 2048, 4096, 32768);
    EXPECT_EQ(lines.size(), 2047u * 441 / 4095);

    // Narrower than the area: each of 16 samples draws a band.
    lines = WaveformColumns(kArea, values.data(), 16, 16, 32768);
    EXPECT_EQ(lines.size(), 441u);
    EXPECT_EQ(lines[29].x0, 39);
}

TEST(SpectrumBars, HeightsAndTheOpenFrequencyRange)
{
    // 8 bins at 14000 Hz: bin k stands at k * 7000 / 7 = 1000 k Hz.
    const int m[8] = {50000, 50000, 25000, 5000, 0, 50000, 50000, 50000};
    const std::vector<GdiLine> bars = SpectrumBars(kArea, m, 8, 14000, 0, 7000, 50000, false);
    // Bin 0 (at the minimum), bin 4 (silent) and bin 7 (at the maximum) are not drawn.
    ASSERT_EQ(bars.size(), 5u);
    const int height = kArea.bottom - kArea.top + 1;
    EXPECT_EQ(bars[0], (GdiLine{10 + 441 / 7, 121, 10 + 441 / 7, 121 - height}));  // fills the area
    EXPECT_EQ(bars[1].y1, 121 - height / 2);
    EXPECT_EQ(bars[2].y1, 121 - height / 10);  // 5000 of a 50000 floor: a tenth
    EXPECT_EQ(bars[3].x0, 10 + 5 * 441 / 7);

    // Huge magnitudes of a long window do not overflow the height arithmetic.
    const int loud[4] = {0, 12000000, 0, 0};
    const std::vector<GdiLine> tall = SpectrumBars(kArea, loud, 4, 6000, 0, 3000, 12000000, false);
    ASSERT_EQ(tall.size(), 1u);
    EXPECT_EQ(tall[0].y1, 121 - height);

    const std::vector<GdiLine> logBars = SpectrumBars(kArea, m, 8, 14000, 0, 7000, 50000, true);
    ASSERT_EQ(logBars.size(), 5u);
    EXPECT_EQ(logBars[0].x0, 10 + static_cast<int>(3.0 * 441 / 3.845098));
}

TEST(SpectrumBars, OneBarPerColumnAtTheAxisOwnPixel)
{
    // 24001 bins at 48000 Hz: bin i stands at i Hz. Many bins share a column: only the tallest
    // is drawn, at the column the axis gives its frequency.
    std::vector<int> m(24001, 0);
    m[1000] = 5;
    m[1001] = 9;
    m[1002] = 7;
    std::vector<GdiLine> bars = SpectrumBars(kArea, m.data(), 24001, 48000, 0, 24000, 10, false);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0], (GdiLine{10 + 1000 * 441 / 24000, 121, 10 + 1000 * 441 / 24000, 121 - 102 * 9 / 10}));

    // On 100..5000 Hz logarithmic, 170 Hz lies exactly half way (log10 70 / log10 4900 = 1/2):
    // the bar stands where the axis's own arithmetic puts it, at every even width, whatever
    // the rounding of the inverse that finds the column edges.
    m.assign(m.size(), 0);
    m[170] = 10;
    for (int width = 2; width <= 400; width += 2) {
        const PixelRect area{0, 0, width, 50};
        bars = SpectrumBars(area, m.data(), 24001, 48000, 100, 5000, 10, true);
        ASSERT_EQ(bars.size(), 1u);
        EXPECT_EQ(bars[0].x0, static_cast<int>(std::log10(70.0) * width / std::log10(4900.0))) << width;
    }
}

}  // namespace
}  // namespace tonmira::view
