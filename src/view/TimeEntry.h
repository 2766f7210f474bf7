#pragma once
// A time typed by the user to move the position to: "m:ss.fff", "h:mm:ss.fff" or plain seconds
// ("754.2"), the fraction optional in each, minutes and hours of any size (the position text
// itself, "mm:ss.mmm", is one of these forms, so what the window shows can be typed back).
#include <optional>
#include <string>
#include <string_view>

#include "base/Types.h"

namespace tonmira::view {

// The seconds text stands for; negative with a leading '-'. Nothing for any other form.
std::optional<double> ParseTimeEntry(std::string_view text);

struct TimeTarget {
    enum class Status { Ok, BadForm, OutOfRange };
    Status status = Status::BadForm;
    // Ok: the frame to move to. The first frame at or after the time, so that the position text
    // of a frame typed back lands on that text again; no further than `limit` (the last window's
    // start), as the slider goes.
    UINT frame = 0;
    // The allowed times, as the position text shows them: "00:00.000" to the take's length.
    std::string first;
    std::string last;
};

// Where text moves the position in a take of `frames` at `rate`: anywhere from its start to its
// end; before or past that is out of range and moves nothing.
TimeTarget FindTimeTarget(std::string_view text, UINT frames, UINT rate, UINT limit);

}  // namespace tonmira::view
