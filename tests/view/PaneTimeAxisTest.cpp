// The pane's zoomed time axis: the wheel keeps the frame under the pointer, zooms from the whole
// take down to a few windows and back to the fitted take, panning stays within the take; and a
// picture drawn from the whole-take summary for a zoomed axis shows every call in the column the
// axis gives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "view/PaneTimeAxis.h"
#include "view/Readout.h"
#include "view/TakePicture.h"
#include "view/TakeLevelSummary.h"

namespace tonmira::view {
namespace {

TEST(PaneTimeAxis, ZoomsAroundThePointerBetweenTheWholeTakeAndAFewWindows)
{
    const std::uint64_t frames = 7200ull * 44100;  // two hours
    const int width = 800, n = 4096;
    PaneTimeAxis axis;
    axis.SetTake(frames, width, n);
    ASSERT_TRUE(axis.Fitted());
    EXPECT_DOUBLE_EQ(axis.ToFrame(), static_cast<double>(frames));

    // Zooming in at column 600 keeps the frame under it in place, notch after notch.
    const double under = axis.FrameAt(600.5);
    int notches = 0;
    while (axis.ZoomAt(600.5, 1.25) && notches < 1000) {
        ++notches;
        EXPECT_NEAR(axis.FrameAt(600.5), under, axis.FramesPerColumn()) << "notch " << notches;
    }
    ASSERT_LT(notches, 1000) << "the zoom stops";
    // At the deepest, the pane shows a few windows, not fewer.
    EXPECT_NEAR(axis.ToFrame() - axis.FromFrame(), PaneTimeAxis::kMinWindowsShown * n, 1.0);
    EXPECT_FALSE(axis.ZoomAt(600.5, 1.25));

    // Panning stops at either end of the take.
    EXPECT_TRUE(axis.Pan(-1000000000));
    EXPECT_EQ(axis.FromFrame(), 0.0);
    EXPECT_FALSE(axis.Pan(-1));
    EXPECT_TRUE(axis.Pan(1000000000));
    EXPECT_LE(axis.ToFrame(), static_cast<double>(frames) + axis.FramesPerColumn());
    EXPECT_GT(axis.ToFrame(), static_cast<double>(frames) - axis.FramesPerColumn());
    EXPECT_FALSE(axis.Pan(1));

    // Zooming out comes back to the fitted take (and no further); the wheel there pans nothing.
    for (int k = 0; k < notches + 5; ++k)
        axis.ZoomAt(100, 1 / 1.25);
    EXPECT_TRUE(axis.Fitted());
    EXPECT_DOUBLE_EQ(axis.ToFrame(), static_cast<double>(frames));
    EXPECT_FALSE(axis.Pan(10));

    // A wider pane keeps the zoom and the frame at its left edge; a shorter take than the view
    // fits it again.
    axis.ZoomAt(400, 16);
    const double left = axis.FromFrame(), fpc = axis.FramesPerColumn();
    axis.SetTake(frames, 1000, n);
    EXPECT_DOUBLE_EQ(axis.FramesPerColumn(), fpc);
    EXPECT_DOUBLE_EQ(axis.FromFrame(), left);
    axis.SetTake(60 * 44100, 1000, n);
    EXPECT_TRUE(axis.Fitted());
}

TEST(PaneTimeAxis, AZoomedPictureShowsEveryCallInItsColumn)
{
    const int rate = 8000, n = 512, width = 600;
    const std::uint64_t frames = 6ull * 60 * rate;
    const std::vector<std::uint64_t> starts{1234567, 1234567 + 20000, 2400000 + 255};
    std::vector<unsigned char> bytes(frames * 2, 0);
    const double pi = 2 * std::asin(1.0);
    for (const std::uint64_t start : starts)
        for (std::uint64_t i = 0; i < static_cast<std::uint64_t>(n); ++i) {
            const auto v = static_cast<std::int16_t>(std::lround(8000 * std::sin(2 * pi * 1500 * static_cast<double>(i) / rate)));
            bytes[2 * (start + i)] = static_cast<unsigned char>(v & 0xff);
            bytes[2 * (start + i) + 1] = static_cast<unsigned char>((v >> 8) & 0xff);
        }
    TakeLevelSummary summary(2);
    summary.Start({bytes.data(), frames, false}, n, {});
    summary.Wait();
    ASSERT_TRUE(summary.Complete());
    const PictureAxes a{width, 100, rate, 0, rate / 2, false};
    const int row = static_cast<int>((1.0 - AxisFraction(1500, 0, rate / 2, false)) * a.height);

    // Zoomed in on the first two calls (about 20 s across), then panned away from them.
    PaneTimeAxis axis;
    axis.SetTake(frames, width, n);
    axis.ZoomAt(axis.ColumnOf(static_cast<double>(starts[0])), 8.0);
    for (const std::int64_t pan : {0, 150, 2000}) {
        axis.Pan(pan);
        const std::vector<std::uint8_t> levels = RangeLevels(summary, a, axis.FromFrame(), axis.FramesPerColumn());
        std::vector<int> expected;
        for (const std::uint64_t start : starts) {
            const double x = std::floor(axis.ColumnOf(static_cast<double>(start) + n / 2.0));
            if (x >= 0 && x < width)
                expected.push_back(static_cast<int>(x));
        }
        std::vector<int> bright;
        for (int x = 0; x < width; ++x)
            if (levels[static_cast<std::size_t>(row) * width + x] >= 153)
                bright.push_back(x);
        for (const int x : expected)
            EXPECT_TRUE(std::any_of(bright.begin(), bright.end(), [&](int b) { return std::abs(b - x) <= 1; }))
                << "call at column " << x << " after a pan of " << pan;
        // A block of the summary may be wider than a column: a call lights the columns it covers.
        const int spread = 1 + static_cast<int>(std::ceil(summary.WindowsPerBlock() * (n / 2) / axis.FramesPerColumn()));
        for (const int x : bright)
            EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [&](int e) { return std::abs(e - x) <= spread; }))
                << "column " << x << " bright without a call, after a pan of " << pan << " (call at " << (expected.empty() ? -1 : expected[0]) << ")";
        if (pan == 0) {
            EXPECT_EQ(expected.size(), 2u) << "both near calls in view";
        }
    }
}

}  // namespace
}  // namespace tonmira::view
