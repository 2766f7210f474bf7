#pragma once
// The collection host of offline runs: the worker and the timer loop take turns, so virtual time
// stands still while the worker computes and moves on only while it waits (a replay, a poll).
// The run is then deterministic and as fast as the machine allows, whatever the thread timing.
// The worker's calls run on the thread that drives the loop, inside ServeWorker.
#include <condition_variable>
#include <functional>
#include <mutex>

#include "collect/CollectHost.h"

namespace tonmira {

class TimerLoop;

class LockstepCollectHost : public CollectHost {
public:
    explicit LockstepCollectHost(TimerLoop& loop) : m_loop(loop) {}

    void RunOnUiThread(const std::function<void()>& fn) override;
    void Sleep(int ms) override;
    void WorkerStarting() override;
    void WorkerFinished() override;
    void EventProcessed(const EventOutcome& outcome) override
    {
        if (m_onEvent)
            m_onEvent(outcome);
    }

    // Driver thread: waits while a worker computes, then runs its pending call or lets the
    // loop's virtual time pass for its wait. False when there is no worker.
    bool ServeWorker();

    // Driver thread, for each processed event.
    std::function<void(const EventOutcome&)> m_onEvent;

private:
    enum class Worker { None, Running, Call, Sleep };
    // Worker side: publish a request and wait until the driver has served it.
    void Park(Worker request);

    TimerLoop& m_loop;
    std::mutex m_mutex;
    std::condition_variable m_turn;
    Worker m_state = Worker::None;
    const std::function<void()>* m_pCall = nullptr;
    int m_nSleepMs = 0;
};

}  // namespace tonmira
