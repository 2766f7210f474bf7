#pragma once
// Time for the transport's timer loop: real (the CLI and the GUI on a device) or virtual (offline
// collection and tests on the simulated device, where time jumps from one timer to the next).
#include <chrono>
#include <cstdint>
#include <functional>

namespace tonmira {

class Clock {
public:
    virtual ~Clock() = default;
    // Microseconds; a real clock counts on std::chrono::steady_clock's scale.
    virtual std::int64_t NowUs() = 0;
    // A virtual clock jumps to `us` (never backwards) and returns true; a real clock returns
    // false and the caller waits.
    virtual bool JumpTo(std::int64_t us) = 0;
};

class SteadyClock : public Clock {
public:
    std::int64_t NowUs() override
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    bool JumpTo(std::int64_t) override { return false; }
};

// Starts at 0. Each jump first tells m_onAdvance how far time moves, so that a simulated device
// can produce and consume the frames of that time before the timer fires.
class VirtualClock : public Clock {
public:
    std::int64_t NowUs() override { return m_nNowUs; }
    bool JumpTo(std::int64_t us) override
    {
        if (us > m_nNowUs) {
            if (m_onAdvance)
                m_onAdvance(us - m_nNowUs);
            m_nNowUs = us;
        }
        return true;
    }
    std::function<void(std::int64_t deltaUs)> m_onAdvance;

private:
    std::int64_t m_nNowUs = 0;
};

}  // namespace tonmira
