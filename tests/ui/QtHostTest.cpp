// The Qt host of the transport and the collection worker, without any widget.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

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
}

TEST(QtHost, PostsFromAWorkerRunOnTheUiThreadInOrderAndNotAfterTheHostHasGone)
{
    CapturingMessageSink sink;
    auto host = std::make_unique<ui::QtHost>(sink, [](int) {});
    const QThread* ui = QThread::currentThread();
    std::vector<int> order;  // written on the UI thread only, by the posts
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i)
            host->PostToOwner([&order, ui, i] {
                EXPECT_EQ(QThread::currentThread(), ui);
                order.push_back(i);
            });
    });
    worker.join();
    EXPECT_TRUE(order.empty()) << "posts wait for the UI thread's next turn";
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 50u; }, 5000));
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);

    // A post still queued when the host goes is dropped with it.
    bool ran = false;
    std::thread late([&] { host->PostToOwner([&ran] { ran = true; }); });
    late.join();
    host.reset();
    QTest::qWait(50);
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace tonmira::test
