#pragma once
// WAV files written byte by byte for the collection tests of tonmira-cli.
#include <cstdint>
#include <string>
#include <vector>

namespace tonmira::test {

// The low `bytes` bytes of v, little-endian.
inline std::string Le(std::uint32_t v, int bytes)
{
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
    return s;
}

// A 16-bit mono WAV file of the given samples.
inline std::string Wav16(const std::vector<int>& samples, int rate)
{
    std::string data;
    for (int s : samples)
        data += Le(static_cast<std::uint16_t>(s), 2);
    return "RIFF" + Le(36 + data.size(), 4) + "WAVE" + "fmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) + Le(rate, 4) +
           Le(rate * 2, 4) + Le(2, 2) + Le(16, 2) + "data" + Le(data.size(), 4) + data;
}

}  // namespace tonmira::test
