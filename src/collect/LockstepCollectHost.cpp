#include "collect/LockstepCollectHost.h"

#include "audio/TimerLoop.h"

namespace tonmira {

void LockstepCollectHost::Park(Worker request)
{
    std::unique_lock lock(m_mutex);
    m_state = request;
    m_turn.notify_all();
    m_turn.wait(lock, [&] { return m_state == Worker::Running; });
}

void LockstepCollectHost::RunOnUiThread(const std::function<void()>& fn)
{
    m_pCall = &fn;  // read by the driver only after Park publishes it under the mutex
    Park(Worker::Call);
}

void LockstepCollectHost::Sleep(int ms)
{
    m_nSleepMs = ms;
    Park(Worker::Sleep);
}

void LockstepCollectHost::WorkerStarting()
{
    std::lock_guard lock(m_mutex);
    m_state = Worker::Running;
}

void LockstepCollectHost::WorkerFinished()
{
    std::lock_guard lock(m_mutex);
    m_state = Worker::None;
    m_turn.notify_all();
}

bool LockstepCollectHost::ServeWorker()
{
    std::unique_lock lock(m_mutex);
    m_turn.wait(lock, [&] { return m_state != Worker::Running; });
    if (m_state == Worker::None)
        return false;
    const Worker request = m_state;
    lock.unlock();
    if (request == Worker::Call) {
        (*m_pCall)();
    } else {
        // Timers due meanwhile (a replay's feeding) run; then the clock reaches the wake time.
        Clock& clock = m_loop.GetClock();
        const std::int64_t wake = clock.NowUs() + std::int64_t(m_nSleepMs) * 1000;
        m_loop.RunUntil([] { return false; }, wake);
        clock.JumpTo(wake);
    }
    lock.lock();
    m_state = Worker::Running;
    m_turn.notify_all();
    return true;
}

}  // namespace tonmira
