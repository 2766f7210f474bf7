// The go-to-time entry: the forms it reads, those it refuses, and the frame a time lands on.
#include <gtest/gtest.h>

#include "doc/TakeFigures.h"
#include "view/TimeEntry.h"

namespace tonmira::view {
namespace {

TEST(TimeEntry, ReadsMinutesHoursAndSeconds)
{
    EXPECT_DOUBLE_EQ(*ParseTimeEntry("1:02.500"), 62.5);
    EXPECT_DOUBLE_EQ(*ParseTimeEntry("1:02:03.25"), 3723.25);
    EXPECT_DOUBLE_EQ(*ParseTimeEntry("754.2"), 754.2);
    EXPECT_DOUBLE_EQ(*ParseTimeEntry(" 90 "), 90);
    EXPECT_DOUBLE_EQ(*ParseTimeEntry("0:05"), 5);
    // The position text of a long take counts minutes past an hour.
    EXPECT_DOUBLE_EQ(*ParseTimeEntry("125:00.000"), 7500);
    EXPECT_DOUBLE_EQ(*ParseTimeEntry("00:00.000"), 0);
    EXPECT_DOUBLE_EQ(*ParseTimeEntry("-1.5"), -1.5);
    EXPECT_DOUBLE_EQ(*ParseTimeEntry("-0:01"), -1);

    for (const char* bad : {"", " ", "abc", "1:2", "1:60", "1:02:60", "1:2:03", "1::02", ":02", "1:", "1:02.",
                            ".5", "1.2.3", "1,5", "1:02:03:04", "--1", "+5", "1e3", "0x10", "1:02.5x", "１:02"})
        EXPECT_FALSE(ParseTimeEntry(bad).has_value()) << '"' << bad << '"';
}

TEST(TimeEntry, TheShownPositionTypedBackLandsOnTheSameText)
{
    for (UINT rate : {8000u, 22050u, 44100u, 48000u, 96000u}) {
        const UINT frames = rate * 3 + 17;
        for (UINT frame = 0; frame < frames; frame += 997) {
            const std::string shown = FormatTakeTime(frame, rate);
            const TimeTarget target = FindTimeTarget(shown, frames, rate, frames);
            ASSERT_EQ(target.status, TimeTarget::Status::Ok) << shown;
            EXPECT_EQ(FormatTakeTime(target.frame, rate), shown) << rate << " " << frame;
        }
    }
    // A whole second at a rate is exactly that many frames, not one more.
    EXPECT_EQ(FindTimeTarget("1", 100000, 44100, 100000).frame, 44100u);
    EXPECT_EQ(FindTimeTarget("0:01.000", 100000, 44100, 100000).frame, 44100u);
}

TEST(TimeEntry, OutsideTheTakeOrNoTimeMovesNothing)
{
    // 10 s at 8000 Hz; the last window starts 512 frames before the end.
    const UINT frames = 80000, rate = 8000, limit = frames - 512;
    const TimeTarget before = FindTimeTarget("-0.001", frames, rate, limit);
    EXPECT_EQ(before.status, TimeTarget::Status::OutOfRange);
    EXPECT_EQ(before.first, "00:00.000");
    EXPECT_EQ(before.last, "00:10.000");
    EXPECT_EQ(FindTimeTarget("10.001", frames, rate, limit).status, TimeTarget::Status::OutOfRange);
    EXPECT_EQ(FindTimeTarget("1:00:00", frames, rate, limit).status, TimeTarget::Status::OutOfRange);
    EXPECT_EQ(FindTimeTarget("ten", frames, rate, limit).status, TimeTarget::Status::BadForm);
    // The end itself is in the take: the position goes as far as the slider does.
    const TimeTarget end = FindTimeTarget("0:10.000", frames, rate, limit);
    EXPECT_EQ(end.status, TimeTarget::Status::Ok);
    EXPECT_EQ(end.frame, limit);
    EXPECT_EQ(FindTimeTarget("9.99", frames, rate, limit).frame, limit);
    EXPECT_EQ(FindTimeTarget("2.5", frames, rate, limit).frame, 20000u);
}

}  // namespace
}  // namespace tonmira::view
