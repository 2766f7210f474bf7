#pragma once
// Figures of a take that the property dialog and the command line show.
#include <string>

#include "base/Types.h"

namespace tonmira {

class CTonmiraDoc;

// Largest sample magnitude over all channels of the take, measured now: |s| for 16-bit,
// |u - 128| for 8-bit samples. 0 without a take.
int MeasureTakePeak(const CTonmiraDoc& doc);

// Length of nSamples frames at nRate Hz as "%02d:%02d.%03d" (minutes, seconds, milliseconds),
// milliseconds truncated. A rate of 0 gives "00:00.000".
std::string FormatTakeTime(UINT nSamples, UINT nRate);

}  // namespace tonmira
