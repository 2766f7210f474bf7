#pragma once
// What event processing asks of the program around it that only the user-interface side may do.
// The live program posts these to the UI thread and waits; the command line and tests do
// nothing or record the calls.
namespace tonmira {

class EventHost {
public:
    virtual ~EventHost() = default;
    // Replays the accepted event nPlayCount times from the document's (rebuilt) mono buffer,
    // each time waiting until playback has ended, then 10 ms more. nPlayCount may be 0.
    virtual void ReplayEvent(int nPlayCount) { (void)nPlayCount; }
    // After a rejected event: position text back to "00:00.000", controls refreshed.
    virtual void ShowRejectedEvent() {}
};

}  // namespace tonmira
