#pragma once
// How a finished collection worker reaches the thread that owns the session: the desktop program
// posts to its UI thread, a live run of the command line to its timer loop. An offline run waits
// for the worker itself and needs no post.
#include <functional>

namespace tonmira {

class CollectHost {
public:
    virtual ~CollectHost() = default;
    // Worker thread, as the worker's last step: fn is to run on the owner's thread at its next
    // turn. It may run after the session has already collected the event, and then does nothing.
    virtual void PostToOwner(std::function<void()> /*fn*/) {}
};

}  // namespace tonmira
