#pragma once
// One queued buffer: where its data lies and how long it is. The device layer keeps 128 per
// direction for the life of the device; the sample memory belongs to the caller.
#include "base/Types.h"

namespace tonmira {

struct WaveBufferHeader {
    BYTE* lpData = nullptr;
    DWORD dwBufferLength = 0;   // bytes
    DWORD dwBytesRecorded = 0;  // input: bytes the device filled
    DWORD dwFlags = 0;
    BOOL bPrepared = 0;
};

constexpr DWORD kWhdrDone = 1;

}  // namespace tonmira
