#pragma once
// The collection host of a live run without a screen: the worker's calls run on the timer loop's
// thread (the loop must keep running while a worker is busy), and its waits are real sleeps.
#include <chrono>
#include <functional>
#include <thread>

#include "audio/TimerLoop.h"
#include "collect/CollectHost.h"

namespace tonmira {

class LoopCollectHost : public CollectHost {
public:
    explicit LoopCollectHost(TimerLoop& loop) : m_loop(loop) {}

    void RunOnUiThread(const std::function<void()>& fn) override { m_loop.Invoke(fn); }
    void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    void EventProcessed(const EventOutcome& outcome) override
    {
        if (m_onEvent)
            m_onEvent(outcome);
    }

    // On the loop's thread, for each processed event.
    std::function<void(const EventOutcome&)> m_onEvent;

private:
    TimerLoop& m_loop;
};

}  // namespace tonmira
