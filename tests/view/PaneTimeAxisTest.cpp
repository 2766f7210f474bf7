// The pane's zoomed time axis: the wheel keeps the frame under the pointer, zooms from the whole
// take down to a few windows and back to the fitted take, panning stays within the take. (A
// picture drawn for a zoomed axis is checked with the whole-take summary's tests.)
#include <gtest/gtest.h>

#include <cmath>

#include "view/PaneTimeAxis.h"

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

}  // namespace
}  // namespace tonmira::view
