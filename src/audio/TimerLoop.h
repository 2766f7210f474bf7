#pragma once
// The CLI's stand-in for the window system's timers and message queue: runs timer handlers and
// posted calls on the thread that calls Run, in real or virtual time (see Clock). Timers repeat
// like window timers until killed or re-armed.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "audio/Clock.h"

namespace tonmira {

class TimerLoop {
public:
    using TimerHandler = std::function<void(int id)>;

    TimerLoop(Clock& clock, TimerHandler onTimer);

    // Any thread. Arming again replaces the pending time and period.
    void SetTimer(int id, std::uint32_t ms);
    void KillTimer(int id);
    bool IsArmed(int id) const;
    // Period of an armed timer in ms, or 0.
    std::uint32_t Period(int id) const;

    // Any thread: runs fn on the loop's thread at its next turn.
    void Post(std::function<void()> fn);
    // Any other thread: runs fn on the loop's thread and returns when it has run. Must not be
    // called from the loop's own thread.
    void Invoke(std::function<void()> fn);
    // Any thread: Run returns after the call in progress.
    void Quit();

    // In virtual time, whether an idle loop (nothing armed or posted) waits for a call posted by
    // another thread (true: a worker is busy and will post, e.g. to record again) or returns.
    void SetWaitForPosts(bool wait);

    // Runs timers and posted calls until Quit. In virtual time it also returns when nothing is
    // armed or posted, unless SetWaitForPosts(true).
    void Run();
    // Like Run, but returns as soon as `done` holds after an event (true), or false when the clock
    // passes `limitUs` or, in virtual time, nothing is left to do.
    bool RunUntil(const std::function<bool()>& done, std::int64_t limitUs);

    Clock& GetClock() { return m_clock; }

private:
    struct Timer {
        std::int64_t dueUs;
        std::uint32_t periodMs;
    };
    bool RunLoop(const std::function<bool()>* done, std::int64_t limitUs);

    Clock& m_clock;
    TimerHandler m_onTimer;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::map<int, Timer> m_timers;
    std::deque<std::function<void()>> m_tasks;
    bool m_bQuit = false;
    bool m_bWaitForPosts = false;
};

}  // namespace tonmira
