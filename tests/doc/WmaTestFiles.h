#pragma once
// WMA test inputs made with the ffmpeg command, and checks on decoded 16-bit PCM.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace tonmira::test {

// Runs ffmpeg quietly with the given arguments (already shell-quoted where needed) and writes
// OUT. A missing ffmpeg fails the test: scripts/test installs it.
inline void MakeWithFfmpeg(const std::string& args, const std::string& out)
{
    std::string command = "ffmpeg -nostdin -hide_banner -v error -y " + args + " " + ShellQuote(out) + " </dev/null";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "ffmpeg failed: " << command;
}

// One second of tone: mono 1000 Hz, or stereo with 440 Hz left and 1000 Hz right, so that a
// swapped or mis-interleaved channel shows.
inline void MakeToneWma(const std::string& out, const std::string& codec, int channels, int rate, double seconds = 1.0)
{
    std::string d = std::to_string(seconds);
    std::string r = std::to_string(rate);
    if (channels == 1) {
        MakeWithFfmpeg("-f lavfi -i sine=f=1000:d=" + d + ":r=" + r + " -c:a " + codec + " -f asf", out);
    } else {
        MakeWithFfmpeg("-f lavfi -i sine=f=440:d=" + d + ":r=" + r + " -f lavfi -i sine=f=1000:d=" + d + ":r=" + r +
                           " -filter_complex " + ShellQuote("[0][1]join=inputs=2:channel_layout=stereo") +
                           " -c:a " + codec + " -f asf",
                       out);
    }
}

// One channel of interleaved 16-bit frames.
inline std::vector<double> Channel(const std::uint8_t* data, std::size_t frames, int channels, int channel)
{
    std::vector<double> x(frames);
    const auto* s = reinterpret_cast<const std::int16_t*>(data);
    for (std::size_t i = 0; i < frames; ++i)
        x[i] = s[i * channels + channel];
    return x;
}

// Share of the signal's power that lies in a sinusoid of frequency f (1 = a pure tone of f).
// The first and last `skip` samples are left out: codec delay and padding live there.
inline double ToneShare(const std::vector<double>& x, double f, double rate, std::size_t skip = 4096)
{
    if (x.size() <= 2 * skip)
        return 0.0;
    double c = 0, s = 0, total = 0;
    std::size_t n = x.size() - 2 * skip;
    for (std::size_t i = skip; i < skip + n; ++i) {
        double phase = 2 * M_PI * f * static_cast<double>(i) / rate;
        c += x[i] * std::cos(phase);
        s += x[i] * std::sin(phase);
        total += x[i] * x[i];
    }
    if (total <= 0)
        return 0.0;
    return 2.0 * (c * c + s * s) / (static_cast<double>(n) * total);
}

inline double Rms(const std::vector<double>& x)
{
    double sum = 0;
    for (double v : x)
        sum += v * v;
    return x.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(x.size()));
}

}  // namespace tonmira::test
