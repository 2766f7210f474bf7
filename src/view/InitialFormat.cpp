#include "view/InitialFormat.h"

namespace tonmira::view {

bool IsValidRecordFormat(const WavHeader& h)
{
    const DWORD r = h.nSamplesPerSec;
    const bool rate = r == 96000 || r == 48000 || r == 44100 || r == 22050 || r == 11025;
    return rate && (h.wBitsPerSample == 16 || h.wBitsPerSample == 8) && (h.nChannels == 2 || h.nChannels == 1);
}

void FormatFromInputBits(DWORD formats, WavHeader& h)
{
    DWORD rate;
    DWORD group;
    if (formats >= 0x10000) {
        rate = 96000;
        group = (formats >> 16) & 0xF;
    } else if (formats >= 0x1000) {
        rate = 48000;
        group = (formats >> 12) & 0xF;
    } else if (formats >= 0x100) {
        rate = 44100;
        group = (formats >> 8) & 0xF;
    } else if (formats >= 0x10) {
        rate = 22050;
        group = (formats >> 4) & 0xF;
    } else if (formats != 0) {
        rate = 11025;
        group = formats & 0xF;
    } else {
        h.nSamplesPerSec = 44100;
        h.wBitsPerSample = 16;
        h.nChannels = 2;
        return;
    }
    h.nSamplesPerSec = rate;
    // Group bits: 0 mono 8-bit, 1 stereo 8-bit, 2 mono 16-bit, 3 stereo 16-bit.
    if (group & 0xA) {
        h.wBitsPerSample = 16;
        h.nChannels = (group & 0x8) ? 2 : 1;
    } else {
        h.wBitsPerSample = 8;
        h.nChannels = 1;
    }
}

}  // namespace tonmira::view
