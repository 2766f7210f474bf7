#pragma once
// The input level while recording or collecting: peak and RMS per channel in dBFS and whether a
// sample reached full scale, measured over interleaved PCM as the device delivers it (16-bit
// signed little-endian, or 8-bit unsigned). Plain numbers; the transport measures on its own
// thread, after the device has handed the buffers over.
#include <cstddef>
#include <cstdint>

#include "base/Types.h"

namespace tonmira {

struct ChannelLevel {
    double peakDbfs = 0;  // largest magnitude against full scale (32768 or 128); -inf for silence
    double rmsDbfs = 0;   // root mean square against full scale: a full-scale sine reads -3.01
    bool clipped = false; // a sample at the most negative or most positive code
};

class InputLevelMeter {
public:
    static constexpr int kMaxChannels = 2;

    // Starts a new measurement of channels (1 or 2) channels of bits (16, else 8) bits.
    void Reset(int channels, int bits);
    // Forgets the peak and RMS measured so far but keeps the clip flags: a clip stays shown
    // until the next Reset.
    void NewBatch();
    // Adds bytes bytes of interleaved frames (a partial frame at the end is left out).
    void Add(const BYTE* data, std::size_t bytes);
    // Whether anything was added since the last Reset.
    bool Measured() const { return m_nFrames > 0; }
    int Channels() const { return m_nChannels; }
    // Channel c (0 .. Channels() - 1) over everything added since the last Reset.
    ChannelLevel Level(int c) const;

private:
    int m_nChannels = 1;
    int m_nBits = 16;
    std::uint64_t m_nFrames = 0;
    int m_nPeak[kMaxChannels] = {};
    double m_dSquares[kMaxChannels] = {};
    bool m_bClipped[kMaxChannels] = {};
};

}  // namespace tonmira
