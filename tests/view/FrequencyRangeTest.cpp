// The frequency display range: spin steps keep minimum < maximum within 0..rate/2.
#include <gtest/gtest.h>

#include "view/FrequencyRange.h"

namespace tonmira::view {
namespace {

TEST(FrequencyRange, MaximumSpin)
{
    // Up past rate / 2 stops there and refuses the step.
    SpinStep s = StepMaxFrequency(22000, 100, 0, 22050);
    EXPECT_EQ(s.value, 22050);
    EXPECT_FALSE(s.allowed);
    s = StepMaxFrequency(22000, 10, 0, 22050);
    EXPECT_EQ(s.value, 22010);
    EXPECT_TRUE(s.allowed);
    // Down onto the minimum stops one above it.
    s = StepMaxFrequency(105, -10, 100, 22050);
    EXPECT_EQ(s.value, 101);
    EXPECT_FALSE(s.allowed);
    EXPECT_FALSE(StepMaxFrequency(110, -10, 100, 22050).allowed);  // exactly onto it, too
}

TEST(FrequencyRange, MinimumSpin)
{
    SpinStep s = StepMinFrequency(0, -1, 22050);
    EXPECT_EQ(s.value, 0);
    EXPECT_FALSE(s.allowed);
    s = StepMinFrequency(50, -10, 22050);
    EXPECT_EQ(s.value, 40);
    EXPECT_TRUE(s.allowed);
    s = StepMinFrequency(22000, 100, 22050);
    EXPECT_EQ(s.value, 22049);
    EXPECT_FALSE(s.allowed);
    s = StepMinFrequency(22000, 10, 22050);
    EXPECT_EQ(s.value, 22010);
    EXPECT_TRUE(s.allowed);
}

TEST(FrequencyRange, MessagesAndAcceleration)
{
    EXPECT_EQ(RangeMessageOnLeave(0, 22050, true), "");
    EXPECT_EQ(RangeMessageOnLeave(500, 500, true), "最低周波数より大きな値を入力してください！");
    EXPECT_EQ(RangeMessageOnLeave(600, 500, false), "最大周波数より小さな値を入力してください！");
    EXPECT_EQ(SpinAcceleration(0), 1);
    EXPECT_EQ(SpinAcceleration(999), 1);
    EXPECT_EQ(SpinAcceleration(1000), 10);
    EXPECT_EQ(SpinAcceleration(2500), 100);
}

}  // namespace
}  // namespace tonmira::view
