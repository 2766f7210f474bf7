#pragma once
// The local time inside a recording that is processed faster than real time: the time at its
// start plus the seconds of it consumed so far, so event names read as if it had been live.
#include <cstdint>
#include <functional>

#include "collect/LocalClock.h"

namespace tonmira {

class TimelineClock : public LocalClock {
public:
    // seconds: how far into the recording we are now; called from whichever thread asks Now().
    TimelineClock(const LocalDateTime& start, std::function<std::uint64_t()> seconds)
        : m_start(start), m_seconds(std::move(seconds))
    {
    }
    LocalDateTime Now() const override { return AddSeconds(m_start, m_seconds()); }
    // A new start, for a new recording; not while another thread may call Now().
    void SetStart(const LocalDateTime& start) { m_start = start; }

    // Calendar arithmetic on the wall-clock fields (no time zone: the recording's own timeline).
    static LocalDateTime AddSeconds(const LocalDateTime& t, std::uint64_t seconds);

private:
    LocalDateTime m_start;
    std::function<std::uint64_t()> m_seconds;
};

}  // namespace tonmira
