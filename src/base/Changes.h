#pragma once
// What a session announces to the front ends, and the small publisher that announces it.
// Single-threaded: Subscribe, Unsubscribe and Publish run on the thread that owns the session, and
// every subscriber is called there, in the order it subscribed.
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace tonmira {

// A set of changes, one bit each. One publication carries every change of one command or tick.
using ChangeSet = unsigned;
enum Change : ChangeSet {
    kChangePosition = 1u << 0,      // the position, its text or the position shown while recording
    kChangeTakeReplaced = 1u << 1,  // another take (open, new, a recording's end, a collection event)
    kChangeTakeEdited = 1u << 2,    // the samples of the same take changed (truncate, expand, balance)
    kChangeFormat = 1u << 3,        // rate and format, with N set for them
    kChangeFields = 1u << 4,        // the range and position fields are shown afresh from the members
    kChangeTransport = 1u << 5,     // state, pause, stream counters, marks, lock
    kChangeAnalysis = 1u << 6,      // the spectrum and fundamentals of the window were recomputed
    kChangeEventDone = 1u << 7,     // a collection event was processed and logged
    kChangeFftSize = 1u << 8,       // N alone (the range and format stay)
    kChangeWholeBand = 1u << 9,     // the displayed range goes back to 0 .. rate / 2 (open, new rate)
};

class ChangePublisher {
public:
    using Subscriber = std::function<void(ChangeSet)>;

    // Returns a handle for Unsubscribe. Subscribers are called in the order they subscribed.
    std::size_t Subscribe(Subscriber fn)
    {
        m_subscribers.emplace_back(++m_nLastId, std::move(fn));
        return m_nLastId;
    }
    void Unsubscribe(std::size_t id)
    {
        for (auto& s : m_subscribers)
            if (s.first == id)
                s.second = nullptr;  // erased after the publication in progress, if any
    }

    // Calls every subscriber with `changes` (nothing when empty). A subscriber that publishes
    // again, directly or through a command, has its publication delivered after this one has
    // reached every subscriber, so all of them see the changes in the same order.
    void Publish(ChangeSet changes)
    {
        m_nQueued |= changes;
        if (m_bPublishing || !m_nQueued)
            return;
        m_bPublishing = true;
        while (m_nQueued) {
            const ChangeSet now = std::exchange(m_nQueued, 0u);
            // By index: a subscriber may subscribe another one, which hears the next publication.
            // A copy: subscribing may move the vector's functions during the call.
            for (std::size_t i = 0, count = m_subscribers.size(); i < count; ++i)
                if (Subscriber fn = m_subscribers[i].second)
                    fn(now);
        }
        std::erase_if(m_subscribers, [](const auto& s) { return !s.second; });
        m_bPublishing = false;
    }

private:
    std::vector<std::pair<std::size_t, Subscriber>> m_subscribers;
    std::size_t m_nLastId = 0;
    ChangeSet m_nQueued = 0;
    bool m_bPublishing = false;
};

}  // namespace tonmira
