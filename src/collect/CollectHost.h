#pragma once
// What the collection worker needs from the program that owns the transport: a way to run the
// view's own operations (stop, record, play, control updates, messages) on the thread that owns
// them, and a way to wait in the transport's time. The desktop program posts the calls to the UI
// thread and waits; the command line runs them on its timer loop, in real time when live and in
// virtual time when it collects from a file.
#include <functional>

namespace tonmira {

struct EventOutcome;

class CollectHost {
public:
    virtual ~CollectHost() = default;

    // Worker thread: runs fn on the owner's thread and returns after it has run.
    virtual void RunOnUiThread(const std::function<void()>& fn) = 0;
    // Worker thread: waits ms milliseconds of the transport's time (the replay and drawing polls).
    virtual void Sleep(int ms) = 0;

    // Owner's thread, right before a worker thread is started for an event.
    virtual void WorkerStarting() {}
    // Worker thread, as the last thing the worker does; it no longer calls the host afterwards.
    virtual void WorkerFinished() {}
    // Owner's thread: an event has been processed (its file, figures and verdict).
    virtual void EventProcessed(const EventOutcome& /*outcome*/) {}
};

}  // namespace tonmira
