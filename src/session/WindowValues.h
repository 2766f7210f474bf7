#pragma once
// The samples the window at the position shows, read in place: the take at the position, or the
// newest capture block while recording without a take. The analysis computes from them and the
// window draws them.
#include <cstddef>
#include <optional>

namespace tonmira {

class CTonmiraDoc;
class CTransport;

struct WindowValues {
    const unsigned char* samples = nullptr;  // the mono take, or the capture block
    int bits = 16;
    int channels = 1;
    std::size_t first = 0;  // frame of the window's first sample
    int count = 0;          // samples the window has (fewer than N at the end of the take)
    // Signed full scale of the values (8-bit as byte - 128; captured frames averaged over the
    // channels, before scaling).
    int fullScale = 32768;
    bool fromCapture = false;
    unsigned blockBytes = 0;  // the capture block's size, for the analysis

    // Sample i of the window, 0 <= i < count.
    int ValueAt(int i) const;
};

// The window of n frames; nothing when there is neither a take nor a capture block. Never reads
// outside the take.
std::optional<WindowValues> CurrentWindowValues(const CTonmiraDoc& doc, const CTransport& transport, int n);

}  // namespace tonmira
