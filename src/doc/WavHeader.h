#pragma once
// The canonical 44-byte WAV header the document keeps as its format.
#include "base/Types.h"

namespace tonmira {

#pragma pack(push, 1)
struct WavHeader {
    char riffId[4];
    DWORD riffSize;
    char waveId[4];
    char fmtId[4];
    DWORD fmtSize;
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    // Also the scratch chunk header while a file is searched for its data chunk.
    char dataId[4];
    DWORD dataSize;
};
#pragma pack(pop)

static_assert(sizeof(WavHeader) == 44, "WavHeader must be the 44-byte on-disk layout");

}  // namespace tonmira
