// The Qt host of the transport and the collection worker, without any widget.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "base/MessageSink.h"
#include "ui/QtHost.h"

namespace tonmira::test {
namespace {

TEST(QtHost, TimersRepeatUntilKilledAndReportTheirId)
{
    CapturingMessageSink sink;
    std::vector<int> ticks;
    ui::QtHost host(sink, [&](int id) { ticks.push_back(id); });
    host.SetTimer(1, 20);
    host.SetTimer(2, 500);
    EXPECT_EQ(host.TimerInterval(1), 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 3; }, 2000));
    for (int id : ticks)
        EXPECT_EQ(id, 1);
    host.SetTimer(1, 150);  // arming again replaces the period
    EXPECT_EQ(host.TimerInterval(1), 150);
    host.KillTimer(1);
    host.KillTimer(2);
    EXPECT_FALSE(host.IsTimerArmed(1));
    const std::size_t n = ticks.size();
    QTest::qWait(60);
    EXPECT_EQ(ticks.size(), n);

    host.Message("テスト");
    EXPECT_EQ(sink.m_messages, (std::vector<std::string>{"テスト"}));
    QSignalSpy invalidated(&host, &ui::QtHost::analysisInvalidated);
    host.InvalidateAnalysis();  // without a screen only the signal
    EXPECT_EQ(invalidated.count(), 1);
}

TEST(QtHost, WorkerCallsRunOnTheUiThreadInOrderAndAreWaitedFor)
{
    CapturingMessageSink sink;
    ui::QtHost host(sink, [](int) {});
    const QThread* ui = QThread::currentThread();
    std::vector<int> order;  // written on the UI thread only, by the calls
    std::atomic<int> workerSaw{0};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) {
            int value = 0;
            host.RunOnUiThread([&] {
                EXPECT_EQ(QThread::currentThread(), ui);
                order.push_back(i);
                value = i + 1;  // the worker's local, by reference
            });
            // The call has run before RunOnUiThread returns.
            if (value == i + 1)
                workerSaw.fetch_add(1);
        }
        finished.store(true);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.load(); }, 5000));
    worker.join();
    EXPECT_EQ(workerSaw.load(), 50);
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);

    // On the UI thread itself the call runs directly.
    bool ran = false;
    host.RunOnUiThread([&] { ran = true; });
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace tonmira::test
