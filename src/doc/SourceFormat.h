#pragma once
// What the file behind a take held, and what the load did to make it a take the program
// handles (1-2 channels of 8/16-bit PCM). Shown by info and the window; a converted take or
// a file of a read-only format is never written over.
#include <cstdint>
#include <string>

namespace tonmira {

struct SourceFormat {
    // Container/codec, sample width and channel count as in the file, e.g.
    // "WAV PCM, 16-bit, 2 channels" or "flac/flac, 24-bit, 2 channels". Empty before a load.
    std::string m_strDescription;
    // What the load changed, e.g. "24-bit to 16-bit with rounding, 0 samples clipped";
    // empty when the samples are the file's own.
    std::string m_strConversion;
    // The path the take was loaded from (empty for a recording).
    std::string m_strPath;
    std::uint64_t m_nClipped = 0;  // samples beyond full scale, set to the largest 16-bit value
    // Read by the decoder: the file is of a format the program never writes (also when the name
    // does not say so, or says WAV), so it is never written over even when nothing was converted.
    bool m_bForeign = false;

    bool IsConverted() const { return !m_strConversion.empty(); }
    void Clear() { *this = SourceFormat{}; }
};

}  // namespace tonmira
