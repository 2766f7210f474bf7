// The overview pane's axes: time labels that read as clock times at any zoom, frequency ticks that
// are round, inside the axis and never crowded, and level readings of the colour levels.
#include <gtest/gtest.h>

#include <cmath>

#include "view/PaneAxes.h"
#include "view/Readout.h"
#include "view/SonogramTiles.h"

namespace tonmira::view {
namespace {

TEST(PaneAxes, TimeLabelsReadAsClockTimesWithTheDecimalsTheirStepNeeds)
{
    EXPECT_EQ(ClockText(0, 600), "0:00:00");
    EXPECT_EQ(ClockText(2 * 3600 + 5 * 60 + 9, 60), "2:05:09");
    EXPECT_EQ(ClockText(3725.5, 1), "1:02:06");
    EXPECT_EQ(ClockText(3725.5, 0.2), "1:02:05.5");
    EXPECT_EQ(ClockText(59.995, 0.01), "0:01:00.00") << "rounding carries into the minutes";
    EXPECT_EQ(ClockText(0.0125, 0.005), "0:00:00.013");
    // The step keeps labels apart on a two-hour take and on a few windows alike, and is no
    // coarser than needed.
    for (const auto& [seconds, width] : {std::pair{7200.0, 1200}, {7200.0, 400}, {3.0, 900}, {0.2, 1600}, {40000.0, 300}}) {
        const double step = TimeTickStep(seconds, width, 90);
        EXPECT_GE(step * width / seconds, 90.0) << seconds << " s over " << width;
        EXPECT_LT(step / 3.0 * width / seconds, 90.0) << seconds << " s over " << width;
    }
    EXPECT_EQ(TimeTickStep(0, 500, 90), 0.0);
}

TEST(PaneAxes, FrequencyTicksAreRoundInsideTheAxisAndApart)
{
    for (const bool logAxis : {false, true})
        for (const auto& [minHz, maxHz, height] : {std::tuple{0, 22050, 300}, {0, 4000, 120}, {300, 3400, 500}, {0, 96000, 60}}) {
            const std::vector<double> ticks = FrequencyTicks(minHz, maxHz, logAxis, height, 24);
            ASSERT_GE(ticks.size(), 2u) << minHz << ".." << maxHz << " log " << logAxis;
            auto oneTwoFive = [](double v) {
                const double mantissa = v / std::pow(10.0, std::floor(std::log10(v)));
                return std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 5) < 1e-9;
            };
            double lastY = -1e9;
            for (std::size_t i = 0; i < ticks.size(); ++i) {
                const double hz = ticks[i];
                EXPECT_GE(hz, minHz);
                EXPECT_LE(hz, maxHz);
                // Semi-log: 1, 2, 5 x 10^k; linear: one 1-2-5 step from a multiple of it.
                if (logAxis) {
                    EXPECT_TRUE(oneTwoFive(hz)) << hz;
                } else if (i > 0) {
                    EXPECT_TRUE(oneTwoFive(hz - ticks[i - 1]) && std::fmod(hz, hz - ticks[i - 1]) == 0) << hz;
                }
                const double y = AxisFraction(hz, minHz, maxHz, logAxis) * height;
                EXPECT_GE(y - lastY, 24.0 - 1e-9) << hz << " log " << logAxis;
                lastY = y;
            }
        }
    EXPECT_EQ(FrequencyText(500), "500 Hz");
    EXPECT_EQ(FrequencyText(1500), "1.5 kHz");
    EXPECT_EQ(FrequencyText(22050), "22.05 kHz");
    // A level read back gives the dBFS it was made from, to the level's resolution.
    for (const double db : {-80.0, -60.0, -6.0, 0.0}) {
        const int magnitude = static_cast<int>(std::pow(10.0, db / 20) * 32768 * 0.5 * std::sqrt(1024.0) / 2);
        EXPECT_NEAR(LevelToDbfs(MagnitudeLevel(magnitude, 1024, 32768)), LevelDbfs(magnitude, 1024, 32768, 1), 0.4) << db;
    }
}

}  // namespace
}  // namespace tonmira::view
