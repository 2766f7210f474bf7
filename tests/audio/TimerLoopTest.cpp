// The CLI's timer loop: repeating timers, re-arming, virtual time that moves a device first,
// and calls posted from other threads.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "audio/TimerLoop.h"

namespace tonmira {
namespace {

TEST(TimerLoopTest, TimersRepeatUntilKilledAndVirtualTimeJumpsBetweenThem)
{
    VirtualClock clock;
    std::vector<std::int64_t> advances;
    clock.m_onAdvance = [&](std::int64_t us) { advances.push_back(us); };
    std::vector<std::pair<int, std::int64_t>> fired;
    TimerLoop* self = nullptr;
    TimerLoop loop(clock, [&](int id) {
        fired.emplace_back(id, clock.NowUs());
        if (id == 1 && fired.size() == 3)
            self->KillTimer(1);
        if (id == 2)
            self->SetTimer(2, 250);  // re-armed from its own tick
    });
    self = &loop;
    loop.SetTimer(1, 100);
    loop.SetTimer(2, 150);
    EXPECT_TRUE(loop.RunUntil([&] { return fired.size() >= 6; }, 1'000'000));
    // Timer 1 is killed in its second tick (the third event); timer 2 re-arms to 250 ms.
    std::vector<std::pair<int, std::int64_t>> expected = {{1, 100000}, {2, 150000}, {1, 200000},
                                                          {2, 400000}, {2, 650000}, {2, 900000}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(advances.front(), 100000);
    EXPECT_FALSE(loop.IsArmed(1));
    EXPECT_EQ(loop.Period(2), 250u);
    loop.KillTimer(2);
    EXPECT_FALSE(loop.RunUntil([] { return false; }, 10'000'000)) << "nothing armed: returns";

    // Told to, an idle virtual loop waits for a worker's call, which may arm a timer again.
    loop.SetWaitForPosts(true);
    fired.clear();
    std::thread worker([&] { loop.Invoke([&] { loop.SetTimer(1, 50); }); });
    EXPECT_TRUE(loop.RunUntil([&] { return !fired.empty(); }, 10'000'000));
    worker.join();
    EXPECT_EQ(fired.front().first, 1);
}

TEST(TimerLoopTest, OtherThreadsRunCallsOnTheLoopThreadAndQuitIt)
{
    SteadyClock clock;
    int ticks = 0;
    TimerLoop loop(clock, [&](int) { ++ticks; });
    loop.SetTimer(1, 5);
    std::thread::id loopThread;
    std::thread worker([&] {
        int value = 0;
        loop.Invoke([&] {
            value = 42;
            loopThread = std::this_thread::get_id();
        });
        EXPECT_EQ(value, 42);
        loop.Post([&] { loop.Quit(); });
    });
    loop.Run();
    worker.join();
    EXPECT_EQ(loopThread, std::this_thread::get_id());
}

}  // namespace
}  // namespace tonmira
