#pragma once
// The PCM format block a device is opened with, field for field as the classic wave API's.
#include "base/Types.h"

namespace tonmira {

struct WaveFormat {
    WORD wFormatTag = 1;  // 1 = PCM, the only tag used
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0;
};

// A PCM block for rate, bits and channels with the derived fields filled in.
inline WaveFormat MakeWaveFormat(DWORD rate, WORD bits, WORD channels)
{
    WaveFormat f;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

}  // namespace tonmira
