#pragma once
// The recording format a new document starts with when it holds no take and no valid format:
// the best format the input device offers.
#include "base/Types.h"
#include "doc/WavHeader.h"

namespace tonmira::view {

// Rate 96000, 48000, 44100, 22050 or 11025; 16 or 8 bits; 2 or 1 channels.
bool IsValidRecordFormat(const WavHeader& header);

// Sets nSamplesPerSec, wBitsPerSample and nChannels of header from the input device's format
// bits (four per rate, 96000 Hz in the highest group). A device that reports no format at all
// gets 44100 Hz, 16 bits, 2 channels.
void FormatFromInputBits(DWORD formats, WavHeader& header);

}  // namespace tonmira::view
