#include "audio/TimerLoop.h"

#include <future>
#include <limits>

namespace tonmira {

TimerLoop::TimerLoop(Clock& clock, TimerHandler onTimer) : m_clock(clock), m_onTimer(std::move(onTimer)) {}

void TimerLoop::SetTimer(int id, std::uint32_t ms)
{
    {
        std::lock_guard lock(m_mutex);
        m_timers[id] = Timer{m_clock.NowUs() + std::int64_t(ms) * 1000, ms};
    }
    m_wake.notify_all();
}

void TimerLoop::KillTimer(int id)
{
    std::lock_guard lock(m_mutex);
    m_timers.erase(id);
}

bool TimerLoop::IsArmed(int id) const
{
    std::lock_guard lock(m_mutex);
    return m_timers.count(id) != 0;
}

std::uint32_t TimerLoop::Period(int id) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_timers.find(id);
    return it == m_timers.end() ? 0 : it->second.periodMs;
}

void TimerLoop::Post(std::function<void()> fn)
{
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(fn));
    }
    m_wake.notify_all();
}

void TimerLoop::Invoke(std::function<void()> fn)
{
    std::promise<void> ran;
    std::future<void> finished = ran.get_future();
    Post([&] {
        fn();
        ran.set_value();
    });
    finished.wait();
}

void TimerLoop::Quit()
{
    {
        std::lock_guard lock(m_mutex);
        m_bQuit = true;
    }
    m_wake.notify_all();
}

void TimerLoop::SetWaitForPosts(bool wait)
{
    {
        std::lock_guard lock(m_mutex);
        m_bWaitForPosts = wait;
    }
    m_wake.notify_all();
}

void TimerLoop::Run() { RunLoop(nullptr, std::numeric_limits<std::int64_t>::max()); }

bool TimerLoop::RunUntil(const std::function<bool()>& done, std::int64_t limitUs)
{
    return RunLoop(&done, limitUs);
}

bool TimerLoop::RunLoop(const std::function<bool()>* done, std::int64_t limitUs)
{
    const bool isVirtual = m_clock.JumpTo(m_clock.NowUs());
    std::unique_lock lock(m_mutex);
    m_bQuit = false;
    for (;;) {
        if (m_bQuit)
            return false;
        if (!m_tasks.empty()) {
            auto task = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            task();
            if (done && (*done)())
                return true;
            lock.lock();
            continue;
        }
        // The earliest timer (lowest id first among equals, as the map orders them).
        auto next = m_timers.end();
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it)
            if (next == m_timers.end() || it->second.dueUs < next->second.dueUs)
                next = it;
        if (next == m_timers.end()) {
            if (isVirtual && !m_bWaitForPosts)
                return false;
            m_wake.wait(lock);
            continue;
        }
        const std::int64_t due = next->second.dueUs;
        if (due > limitUs)
            return false;
        if (m_clock.NowUs() < due) {
            if (isVirtual) {
                lock.unlock();
                m_clock.JumpTo(due);
                lock.lock();
            } else {
                m_wake.wait_until(lock, std::chrono::steady_clock::time_point(std::chrono::microseconds(due)));
            }
            continue;
        }
        const int id = next->first;
        // Repeats until killed or re-armed, like a window timer.
        next->second.dueUs = due + std::int64_t(next->second.periodMs) * 1000;
        lock.unlock();
        m_onTimer(id);
        if (done && (*done)())
            return true;
        lock.lock();
    }
}

}  // namespace tonmira
