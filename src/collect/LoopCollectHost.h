#pragma once
// The collection host of a live run without a screen: a finished worker posts to the timer loop.
#include <functional>

#include "audio/TimerLoop.h"
#include "collect/CollectHost.h"

namespace tonmira {

class LoopCollectHost : public CollectHost {
public:
    explicit LoopCollectHost(TimerLoop& loop) : m_loop(loop) {}
    void PostToOwner(std::function<void()> fn) override { m_loop.Post(std::move(fn)); }

private:
    TimerLoop& m_loop;
};

}  // namespace tonmira
