#pragma once
// The collection engine's entry from the recording timer: called on the transport's thread in
// the tick that finds the end of an event (quiet for longer than the continuous time). When it
// returns true the engine has taken the event: the tick returns right after the call without
// advancing the device's read index, handing the buffers back or re-arming the timer, and the
// engine stops the recording and records again itself. False: nothing was taken and the tick
// goes on as without collection.
namespace tonmira {

class CollectHandOver {
public:
    virtual ~CollectHandOver() = default;
    virtual bool OnCollectHandOver() = 0;
    // Owner's thread: an automatic start level was set, which turns collection off. The level
    // is a collection setting, so it is cleared there (and from there in the timer), not only
    // in the timer's copy.
    virtual void ClearCollectLevel() = 0;
};

}  // namespace tonmira
