#pragma once
// WAV files written byte by byte for the collection tests of tonmira-cli.
#include <cmath>
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

// 16-bit mono at 8000 Hz: bursts of 1000 Hz of the given amplitudes, one every two seconds
// from 0.5 s, 0.3 s long.
inline std::string BurstsWav(const std::vector<int>& amplitudes)
{
    const double pi = 2 * std::asin(1.0);
    const int rate = 8000;
    std::vector<int> samples(amplitudes.size() * 2 * rate);
    for (int i = 0; i < static_cast<int>(samples.size()); ++i) {
        const int k = i / (2 * rate), at = i % (2 * rate);
        samples[i] = at >= rate / 2 && at < rate / 2 + 2400
                         ? static_cast<int>(std::lround(amplitudes[k] * std::sin(2 * pi * 1000 * i / rate)))
                         : 0;
    }
    return Wav16(samples, rate);
}

}  // namespace tonmira::test
