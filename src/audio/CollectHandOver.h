#pragma once
// The collection engine's entry from the recording timer: called on the transport's thread in
// the tick that finds the end of an event (quiet for longer than the continuous time). The tick
// returns right after the call without advancing the device's read index, handing the buffers
// back or re-arming the timer: the engine stops the recording and records again itself.
namespace tonmira {

class CollectHandOver {
public:
    virtual ~CollectHandOver() = default;
    virtual void OnCollectHandOver() = 0;
};

}  // namespace tonmira
